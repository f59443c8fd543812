// Names of Direct3D result codes and pixel formats, as the debug log shows them.
#pragma once

#include <cstdint>
#include <string>

namespace dg {

// The Direct3D 9 name of a result; several carry a trailing space, which is part of the
// name. Any other code gives "UNKNOWN ERROR ... $" and its eight upper-case hex digits.
std::string D3DResultName(std::int32_t code);

// The format's name without its "D3DFMT_" prefix, or "UNKNOWN".
std::string D3DFormatName(std::uint32_t format);

}  // namespace dg
