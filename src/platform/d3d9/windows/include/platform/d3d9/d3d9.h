// On Windows the device is the system's own Direct3D 9 (d3d9.dll). This folder comes
// before src/ on the include path of the Windows build, so the shared code's
// "platform/d3d9/d3d9.h" finds this header instead of the software device's.
#pragma once

#include <windows.h>

#include <d3d9.h>
