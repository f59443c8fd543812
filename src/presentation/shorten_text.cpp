#include "presentation/shorten_text.h"

#include <vector>

#include "platform/text/text.h"

namespace presentation {

std::string ShortenText(std::string_view ansi) {
  // Start offset of every character, plus the end.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < ansi.size();) {
    starts.push_back(i);
    const bool pair =
        platform::IsLeadByte(static_cast<unsigned char>(ansi[i])) && i + 1 < ansi.size();
    i += pair ? 2 : 1;
  }
  const std::size_t count = starts.size();
  if (count <= kShortenLimit) return std::string(ansi);
  starts.push_back(ansi.size());
  std::string out(ansi.substr(0, starts[kShortenHead]));
  out += "...";
  out += ansi.substr(starts[count - kShortenTail]);
  return out;
}

}  // namespace presentation
