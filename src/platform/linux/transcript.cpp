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

// Adds the hypothesis's words to the text, as typed.
void appendWords(std::string& text, std::string_view hypothesis) {
  std::istringstream stream{std::string(hypothesis)};
  for (std::string word; stream >> word;) {
    if (isFiller(word)) continue;
    word = withoutPronunciationMark(std::move(word));
    if (word.empty()) continue;
    if (isPronounI(word)) word[0] = 'I';
    if (!text.empty()) text += ' ';
    text += word;
  }
}

}  // namespace

void Transcript::finishUtterance(std::string_view hypothesis) {
  appendWords(finished_, hypothesis);
}

std::string Transcript::text(std::string_view currentHypothesis) const {
  std::string text = finished_;
  appendWords(text, currentHypothesis);
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}
