// The idioms the game draws from: 170 built-in entries and the user's own list.
//
// One index space covers both: 0..169 are the built-in entries in table order, 170 + k is
// entry k of the user list (file order). Every text is UTF-16; an idiom is exactly four
// code units ("々" counts as one).
#pragma once

#include <string>
#include <vector>

#include "dictionary/user_idioms.h"

namespace dictionary {

inline constexpr int kBuiltinIdiomCount = 170;
inline constexpr int kUserIndexBase = 170;

struct IdiomEntry {
  std::u16string idiom;
  std::u16string reading;
  std::u16string meaning;
};

// The built-in table, in index order; constant for the life of the program.
const std::vector<IdiomEntry>& BuiltinIdioms();

// Reads the user list at `path` (the text rule of platform/text.h: UTF-8 when valid, else
// CP932) and returns its valid groups in file order. A missing file, fewer than 18 lines,
// or no valid group gives an empty list; nothing is reported. A file that starts with a
// UTF-16 byte-order mark is refused as a whole (no entries): read as CP932, its byte pairs
// could otherwise form four-unit garbage idioms. While it reads, the list costs its size
// and about as much again for the entries.
UserIdioms LoadUserIdiomList(const std::string& path);
// The same entries, each as three UTF-16 strings.
std::vector<IdiomEntry> ReadUserIdioms(const std::string& path);

// The number of valid groups of the user list at `path`, by exactly the same rules.
int CountValidUserIdioms(const std::string& path);

// The built-in table plus one loaded user list.
class Dictionary {
 public:
  // Loads the user list at `path`, replacing any earlier one; returns its size U.
  int LoadUserIdioms(const std::string& path);

  int UserIdiomCount() const { return user_.Count(); }
  // kBuiltinIdiomCount + UserIdiomCount().
  int Size() const;

  // `index` must lie in 0 .. Size() - 1.
  std::u16string Idiom(int index) const;
  std::u16string IdiomReading(int index) const;
  std::u16string IdiomMeaning(int index) const;

 private:
  // Throws std::out_of_range for an index outside 0 .. Size() - 1.
  void Check(int index) const;
  UserIdioms user_;
};

}  // namespace dictionary
