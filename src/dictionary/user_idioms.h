// The valid groups of one user list, kept in little memory: each text in CP932 (a valid text
// converts there and back without loss), the entries one after another in one buffer, so a
// list costs about its own size however many entries it holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dictionary {

class UserIdioms {
 public:
  // Room for the entries of a list of `fileBytes` bytes: their texts never take more bytes
  // than their lines did.
  void Reserve(std::size_t fileBytes);
  // The three texts of a valid group, in CP932.
  void Add(std::string_view idiom, std::string_view reading, std::string_view meaning);

  int Count() const { return static_cast<int>(starts_.size()); }
  // Entry `k` (0 .. Count() - 1) in UTF-16.
  std::u16string Idiom(int k) const;
  std::u16string Reading(int k) const;
  std::u16string Meaning(int k) const;

 private:
  // Entry k's idiom, reading and meaning, in that order.
  std::string_view Text(int k, int part) const;

  // Per entry: idiom, LF, reading, LF, meaning. No text holds an LF, since the list's
  // lines end there.
  std::string texts_;
  std::vector<std::uint32_t> starts_;
};

}  // namespace dictionary
