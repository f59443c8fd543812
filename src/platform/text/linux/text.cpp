// CP932 through glibc iconv. glibc's "CP932" table is the Windows one: 0x5C is U+005C,
// 0x815F is U+FF3C, 0x8160 is U+FF5E, 0x817C is U+FF0D, and the NEC and IBM extension rows
// decode. iconv stops at the first byte it cannot convert; the loop below replaces that
// character and resumes after it, so one bad byte never loses the rest of the text.
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <functional>

#include "platform/text/text.h"

namespace platform {
namespace {

constexpr const char* kUtf16Native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One conversion descriptor per direction and thread, opened on first use and closed when
// the thread ends. A descriptor is stateful, so it cannot be shared between threads.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Called at a character iconv refused; appends the replacement to `out` and returns how many
// input bytes the refused character spans (at least 1, at most rest.size()).
using InvalidHandler = std::function<std::size_t(std::string_view rest, std::string& out)>;

// Linear in the input whatever its bytes: iconv writes into a fixed chunk that is appended
// to `out`, so a refused character costs its replacement and nothing more.
std::string RunIconv(const IconvHandle& handle, std::string_view input,
                     const InvalidHandler& onInvalid) {
  std::string out;
  if (!handle.valid()) {
    for (std::size_t pos = 0; pos < input.size();) {
      pos += onInvalid(input.substr(pos), out);
    }
    return out;
  }
  out.reserve(input.size() * 2);
  iconv(handle.get(), nullptr, nullptr, nullptr, nullptr);
  char chunk[16384];
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t result = iconv(handle.get(), &in, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(chunk, sizeof chunk - outLeft);
    if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    const std::size_t skip = onInvalid(std::string_view(in, inLeft), out);
    in += skip;
    inLeft -= skip;
  }
  return out;
}

const IconvHandle& AnsiToUtf16Handle() {
  thread_local const IconvHandle handle(kUtf16Native, "CP932");
  return handle;
}

const IconvHandle& Utf16ToAnsiHandle() {
  thread_local const IconvHandle handle("CP932", kUtf16Native);
  return handle;
}

// True when the byte at the front opens no CP932 character at all: 0xFD..0xFF, or a lead
// byte without a byte that can trail it.
bool SurelyUndecodable(std::string_view rest) {
  const auto first = static_cast<unsigned char>(rest[0]);
  if (first >= 0xFD) return true;
  const bool lead = (first >= 0x81 && first <= 0x9F) || first >= 0xE0;
  if (!lead) return false;
  if (rest.size() < 2) return true;
  const auto second = static_cast<unsigned char>(rest[1]);
  return !((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFC));
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

void AppendUnit(std::string& out, char16_t unit) {
  char bytes[sizeof unit];
  std::memcpy(bytes, &unit, sizeof unit);
  out.append(bytes, sizeof unit);
}

char16_t UnitAt(std::string_view bytes, std::size_t index) {
  char16_t unit = 0;
  std::memcpy(&unit, bytes.data() + index * sizeof unit, sizeof unit);
  return unit;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view ansi) {
  // A lead byte followed by a byte that can trail is one unmapped character; a lead byte
  // before anything else stands alone, so the byte after it (a line end, say) survives.
  const std::string bytes =
      RunIconv(AnsiToUtf16Handle(), ansi, [](std::string_view rest, std::string& out) {
        const auto first = static_cast<unsigned char>(rest[0]);
        if (first < 0x80) {
          AppendUnit(out, first);  // only reached when iconv is unavailable
          return std::size_t{1};
        }
        AppendUnit(out, u'\uFFFD');
        // 0xFD..0xFF count as lead bytes for the byte-by-byte rules but open no character.
        const bool pair = IsLeadByte(first) && first <= 0xFC && rest.size() >= 2 &&
                          IsTrailByte(static_cast<unsigned char>(rest[1]));
        std::size_t used = pair ? 2 : 1;
        // Bytes that no CP932 table decodes are replaced here too: each call of iconv costs
        // microseconds, which a file of such bytes would otherwise pay per byte.
        while (used < rest.size() && SurelyUndecodable(rest.substr(used))) {
          AppendUnit(out, u'\uFFFD');
          ++used;
        }
        return used;
      });
  std::u16string text(bytes.size() / sizeof(char16_t), u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(char16_t));
  return text;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  const std::string_view bytes(reinterpret_cast<const char*>(text.data()),
                               text.size() * sizeof(char16_t));
  return RunIconv(Utf16ToAnsiHandle(), bytes, [](std::string_view rest, std::string& out) {
    const std::size_t units = rest.size() / sizeof(char16_t);
    if (units == 0) return rest.size();
    const char16_t unit = UnitAt(rest, 0);
    if (unit < 0x80) {
      out += static_cast<char>(unit);  // only reached when iconv is unavailable
      return sizeof(char16_t);
    }
    // One '?' per character; the replacement character and everything beyond the basic
    // plane (CP932 holds none of them) are replaced here without asking iconv again.
    std::size_t used = 0;
    do {
      out += '?';
      const char16_t at = UnitAt(rest, used);
      const bool pair = at >= 0xD800 && at <= 0xDBFF && used + 1 < units &&
                        UnitAt(rest, used + 1) >= 0xDC00 && UnitAt(rest, used + 1) <= 0xDFFF;
      used += pair ? 2 : 1;
    } while (used < units && (UnitAt(rest, used) == 0xFFFD ||
                              (UnitAt(rest, used) >= 0xD800 && UnitAt(rest, used) <= 0xDFFF)));
    return used * sizeof(char16_t);
  });
}

DecodedLine DecodeTextLine(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return {std::string(bytes), true};
  std::string utf8 = AnsiToUtf8(bytes);
  // Lossless when the text converts back to the very same bytes: no byte was replaced and
  // no two byte sequences met in one character.
  // CP932 holds no U+FFFD: one in the text is a replaced byte.
  const bool lossless = utf8.find("\xEF\xBF\xBD") == std::string::npos && Utf8ToAnsi(utf8) == bytes;
  return {std::move(utf8), lossless};
}

std::string DecodeTextFile(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
    out += DecodeTextLine(bytes.substr(0, length)).utf8;
    bytes.remove_prefix(length);
  }
  return out;
}

std::string EncodeTextFile(std::string_view utf8) { return std::string(utf8); }

}  // namespace platform
