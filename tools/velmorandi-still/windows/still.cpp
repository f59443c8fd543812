// Windows: PPM only.
#include "velmorandi-still/still.h"

namespace still {

const std::vector<std::string>& ImageEndings() {
  static const std::vector<std::string> none;
  return none;
}

bool WriteImage(const shell::Frame& /*frame*/, const std::string& /*path*/) { return false; }

}  // namespace still
