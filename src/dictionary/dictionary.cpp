#include "dictionary/dictionary.h"

#include <stdexcept>

namespace dictionary {

int Dictionary::LoadUserIdioms(const std::string& path) {
  user_ = UserIdioms{};  // the old list goes before the new one is read
  user_ = LoadUserIdiomList(path);
  return UserIdiomCount();
}

int Dictionary::Size() const { return kBuiltinIdiomCount + UserIdiomCount(); }

std::u16string Dictionary::Idiom(int index) const {
  Check(index);
  return index < kUserIndexBase ? BuiltinIdioms()[static_cast<std::size_t>(index)].idiom
                                : user_.Idiom(index - kUserIndexBase);
}

std::u16string Dictionary::IdiomReading(int index) const {
  Check(index);
  return index < kUserIndexBase ? BuiltinIdioms()[static_cast<std::size_t>(index)].reading
                                : user_.Reading(index - kUserIndexBase);
}

std::u16string Dictionary::IdiomMeaning(int index) const {
  Check(index);
  return index < kUserIndexBase ? BuiltinIdioms()[static_cast<std::size_t>(index)].meaning
                                : user_.Meaning(index - kUserIndexBase);
}

void Dictionary::Check(int index) const {
  if (index < 0 || index >= Size()) {
    throw std::out_of_range("dictionary index " + std::to_string(index) + " outside 0.." +
                            std::to_string(Size() - 1));
  }
}

}  // namespace dictionary
