// Reads utterances on standard input, one a line, as the recognizer spells their words (lower
// case, separated by spaces), and prints for each the final text a dictation of just those
// words, spoken without a pause, would give: one line each, a line break in it written "\n".
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "text/transcript.h"

int main() {
  std::ios::sync_with_stdio(false);
  const ProperNames names = ProperNames::loadSystemLists();
  for (std::string line; std::getline(std::cin, line);) {
    std::vector<SpokenWord> words;
    std::istringstream spoken(line);
    std::int64_t frame = 0;
    for (std::string word; spoken >> word; frame += 32) words.push_back({word, frame, frame + 29});
    std::string text = transcriptText({words, words.size(), frame, true}, names);
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
      text.replace(at, 1, "\\n");
    }
    std::cout << text << '\n';
  }
}
