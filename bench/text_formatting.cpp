// Times the formatting of whole dictations, as every partial result formats the whole text
// again: dictations of 250 to 6000 words, made of the development set's utterances with a
// sentence's pause after each. Prints the median time of one formatting for each length.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "text/transcript.h"

namespace {

std::vector<SpokenWord> dictation(const std::vector<std::string>& utterances, std::size_t length) {
  std::vector<SpokenWord> words;
  std::int64_t frame = 0;
  for (std::size_t next = 0; words.size() < length; ++next) {
    std::istringstream spoken(utterances[next % utterances.size()]);
    for (std::string word; spoken >> word && words.size() < length; frame += 32) {
      words.push_back({word, frame, frame + 29});
    }
    frame += framesPerSecond;
  }
  return words;
}

double medianMicroseconds(const std::vector<SpokenWord>& words, const ProperNames& names) {
  std::vector<double> times;
  std::size_t length = 0;
  for (int run = 0; run < 41; ++run) {
    auto started = std::chrono::steady_clock::now();
    length += transcriptText({words, words.size(), words.back().lastFrame + 1, true}, names).size();
    times.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started)
            .count());
  }
  std::nth_element(times.begin(), times.begin() + 20, times.end());
  return length ? times[20] : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: text_formatting tests/text/development_set.tsv\n");
    return 2;
  }
  std::ifstream set(argv[1]);
  std::vector<std::string> utterances;
  for (std::string line; std::getline(set, line);) {
    if (auto tab = line.find('\t'); tab != std::string::npos)
      utterances.push_back(line.substr(0, tab));
  }
  const ProperNames names = ProperNames::loadSystemLists();
  std::printf("%8s %12s %14s\n", "words", "median µs", "ns per word");
  for (std::size_t length : {250, 500, 1000, 1500, 3000, 6000}) {
    double microseconds = medianMicroseconds(dictation(utterances, length), names);
    std::printf("%8zu %12.1f %14.1f\n", length, microseconds,
                microseconds * 1000 / static_cast<double>(length));
  }
}
