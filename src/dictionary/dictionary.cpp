#include "dictionary/dictionary.h"

#include <stdexcept>

namespace dictionary {

int Dictionary::LoadUserIdioms(const std::string& path) {
  user_ = ReadUserIdioms(path);
  return UserIdiomCount();
}

int Dictionary::Size() const { return kBuiltinIdiomCount + UserIdiomCount(); }

const std::u16string& Dictionary::Idiom(int index) const { return Entry(index).idiom; }

const std::u16string& Dictionary::IdiomReading(int index) const { return Entry(index).reading; }

const std::u16string& Dictionary::IdiomMeaning(int index) const { return Entry(index).meaning; }

const IdiomEntry& Dictionary::Entry(int index) const {
  if (index < 0 || index >= Size()) {
    throw std::out_of_range("dictionary index " + std::to_string(index) + " outside 0.." +
                            std::to_string(Size() - 1));
  }
  if (index < kUserIndexBase) {
    return BuiltinIdioms()[static_cast<std::size_t>(index)];
  }
  return user_[static_cast<std::size_t>(index - kUserIndexBase)];
}

}  // namespace dictionary
