// The names and English texts of the MCIERR_* codes the program meets, shared by every
// system's backend.
#pragma once

#include <string>

#include "platform/winmm/winmm_types.h"

namespace platform {

// The English text for `code` (0 included), or null when the code is not one of ours.
const char* MciErrorText(MCIERROR code);

// Copies `text` NUL-ended into `buffer`, cut to `length` - 1 bytes; a cut never splits a
// UTF-8 sequence. Nothing happens for a null buffer or a length of 0.
void CopyCut(const std::string& text, char* buffer, UINT length);

}  // namespace platform
