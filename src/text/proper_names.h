#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// Words that English spells only with a capital: names of people, places, days and months. A
// name is a word that a full word list spells with a capital and a list of common words never
// spells in lower case: the full list also knows rare lower-case senses of names ("john"), which
// would keep every John in lower case.
class ProperNames {
 public:
  // The lists Debian's wamerican and wamerican-small install.
  static constexpr const char* systemWordList = "/usr/share/dict/american-english";
  static constexpr const char* commonWordList = "/usr/share/dict/american-english-small";

  static ProperNames loadSystemLists() { return load(systemWordList, commonWordList); }
  // A list that cannot be read counts as empty: without names, words are left as they are.
  static ProperNames load(const std::string& wordList, const std::string& commonWords);

  // How the list spells the lower-case word when it is a name: "John" for "john", "John's" for
  // "john's"; none when it is not.
  std::optional<std::string> spelling(std::string_view word) const;

  // Whether the list of common words spells the word in lower case: "said", "brown".
  bool isCommonWord(std::string_view word) const;

 private:
  std::unordered_map<std::string, std::string> names_;
  std::unordered_set<std::string> commonLowerCase_;
};
