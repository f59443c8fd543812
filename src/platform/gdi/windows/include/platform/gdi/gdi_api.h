// The Windows backend of the glyph layer: the system's own GDI. The contract
// (platform/gdi/gdi.h) includes this file; nothing else does.
#pragma once

#include <windows.h>

namespace platform::gdi {

using ::BOOL;
using ::BYTE;
using ::DWORD;
using ::LONG;
using ::SHORT;
using ::UINT;
using ::WORD;

using ::FIXED;
using ::GLYPHMETRICS;
using ::HDC;
using ::HFONT;
using ::LOGFONTA;
using ::MAT2;
using ::POINT;
using ::SIZE;
using ::TEXTMETRICA;

using ::CreateCompatibleDC;
using ::CreateFontIndirectA;
using ::DeleteDC;
using ::DeleteObject;
using ::GetGlyphOutlineA;
using ::GetTextExtentPoint32A;
using ::GetTextMetricsA;
using ::SelectObject;

}  // namespace platform::gdi
