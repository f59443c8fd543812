// TEMPORARY stand-in for the dictionary library until it lands on main. Not the real table.
#include <fstream>
#include <sstream>
#include "dictionary/dictionary.h"
namespace dictionary {
const std::vector<IdiomEntry>& BuiltinIdioms() {
  static const std::vector<IdiomEntry> table = [] {
    std::vector<IdiomEntry> t;
    for (int i = 0; i < kBuiltinIdiomCount; ++i) {
      std::u16string idiom;
      for (int p = 0; p < 4; ++p) idiom.push_back(static_cast<char16_t>(0x4E00 + i * 4 + p));
      std::u16string meaning(static_cast<std::size_t>(7 + i % 32), u'意');
      t.push_back({idiom, u"よみかた", meaning});
    }
    return t;
  }();
  return table;
}
static std::u16string U16(const std::string& s) {
  std::u16string out; std::size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    char32_t cp; int n;
    if (b < 0x80) { cp = b; n = 1; } else if (b < 0xE0) { cp = b & 0x1F; n = 2; } else if (b < 0xF0) { cp = b & 0x0F; n = 3; } else { cp = b & 7; n = 4; }
    for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += n;
    if (cp >= 0x10000) { cp -= 0x10000; out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10))); out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF))); }
    else out.push_back(static_cast<char16_t>(cp));
  }
  return out;
}
std::vector<IdiomEntry> ReadUserIdioms(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<IdiomEntry> out;
  if (!in) return out;
  std::vector<std::string> lines; std::string line;
  while (std::getline(in, line)) { if (!line.empty() && line.back() == '\r') line.pop_back(); lines.push_back(line); }
  if (lines.size() < 18) return out;
  for (std::size_t k = 15; k + 2 < lines.size(); k += 3) {
    IdiomEntry e{U16(lines[k]), U16(lines[k + 2]), U16(lines[k + 1])};
    if (e.idiom.size() == 4 && !e.meaning.empty() && !e.reading.empty()) out.push_back(e);
  }
  return out;
}
int CountValidUserIdioms(const std::string& path) { return static_cast<int>(ReadUserIdioms(path).size()); }
int Dictionary::LoadUserIdioms(const std::string& path) { user_ = ReadUserIdioms(path); return UserIdiomCount(); }
int Dictionary::Size() const { return kBuiltinIdiomCount + UserIdiomCount(); }
const IdiomEntry& Dictionary::Entry(int index) const {
  return index < kBuiltinIdiomCount ? BuiltinIdioms().at(static_cast<std::size_t>(index)) : user_.at(static_cast<std::size_t>(index - kUserIndexBase));
}
const std::u16string& Dictionary::Idiom(int i) const { return Entry(i).idiom; }
const std::u16string& Dictionary::IdiomReading(int i) const { return Entry(i).reading; }
const std::u16string& Dictionary::IdiomMeaning(int i) const { return Entry(i).meaning; }
}  // namespace dictionary
