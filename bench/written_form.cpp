// Reads utterances on standard input, one a line, as the recognizer spells their words (lower
// case, separated by spaces), and prints for each the final text a dictation of just those
// words, spoken without a pause, would give.
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
    std::cout << transcriptText({words, words.size(), frame, true}, names) << '\n';
  }
}
