#include "platform/linux/transcript.h"

#include <cctype>
#include <sstream>

namespace {

// "<sil>", "[NOISE]", "++UM++" and the like are the decoder's, not the speaker's.
bool isFiller(std::string_view word) {
  return word.empty() || word.front() == '<' || word.front() == '[' || word.front() == '+';
}

// Alternative pronunciations come as "read(2)".
std::string withoutPronunciationMark(std::string word) {
  auto mark = word.rfind('(');
  if (word.ends_with(')') && mark != std::string::npos) word.erase(mark);
  return word;
}

bool isPronounI(std::string_view word) {
  return word == "i" || (word.starts_with("i'") && word.size() > 2);
}

std::vector<std::string> wordsOf(std::string_view hypothesis) {
  std::vector<std::string> words;
  std::istringstream stream{std::string(hypothesis)};
  for (std::string word; stream >> word;) {
    if (isFiller(word)) continue;
    word = withoutPronunciationMark(std::move(word));
    if (isPronounI(word)) word[0] = 'I';
    if (!word.empty()) words.push_back(std::move(word));
  }
  return words;
}

}  // namespace

void Transcript::finishUtterance(std::string_view hypothesis) {
  for (auto& word : wordsOf(hypothesis)) words_.push_back(std::move(word));
}

std::string Transcript::text(std::string_view currentHypothesis) const {
  std::string text;
  auto add = [&text](const std::string& word) {
    if (!text.empty()) text += ' ';
    text += word;
  };
  for (const auto& word : words_) add(word);
  for (const auto& word : wordsOf(currentHypothesis)) add(word);
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}
