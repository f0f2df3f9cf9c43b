#include "text/proper_names.h"

#include <cctype>
#include <fstream>
#include <utility>

namespace {

// The list has about 100,000 words; more than this many lines, or lines longer than this, are
// not a word list, and reading stops there.
constexpr std::size_t mostLines = 500'000;
constexpr std::size_t longestWord = 64;

std::string lowerCase(std::string_view word) {
  std::string lower(word);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool isPlainWord(std::string_view word) {
  if (word.empty() || word.size() > longestWord) return false;
  for (char c : word) {
    if (!std::isalpha(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Calls `take` with each plain word of the list.
template <typename Take>
void readList(const std::string& path, Take take) {
  std::ifstream list(path);
  std::string line;
  for (std::size_t count = 0; count < mostLines && std::getline(list, line); ++count) {
    if (isPlainWord(line)) take(line);
  }
}

}  // namespace

ProperNames ProperNames::load(const std::string& wordList, const std::string& commonWords) {
  ProperNames names;
  readList(commonWords, [&](std::string& word) {
    if (std::islower(static_cast<unsigned char>(word[0]))) {
      names.commonLowerCase_.insert(std::move(word));
    }
  });
  auto takeCapitalised = [&](std::string& word) {
    std::string key = lowerCase(word);
    if (std::isupper(static_cast<unsigned char>(word[0])) &&
        !names.commonLowerCase_.contains(key)) {
      names.names_.emplace(std::move(key), std::move(word));
    }
  };
  readList(wordList, takeCapitalised);
  readList(commonWords, takeCapitalised);
  return names;
}

std::optional<std::string> ProperNames::spelling(std::string_view word) const {
  std::string_view possessive = word.ends_with("'s") ? "'s" : "";
  word.remove_suffix(possessive.size());
  auto name = names_.find(std::string(word));
  if (name == names_.end()) return std::nullopt;
  return name->second + std::string(possessive);
}

bool ProperNames::isCommonWord(std::string_view word) const {
  return commonLowerCase_.contains(std::string(word));
}
