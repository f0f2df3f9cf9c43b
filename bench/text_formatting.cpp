// Times the formatting of whole dictations, as every partial result formats the whole text
// again: dictations of 250 to 6000 words, made of the utterances of each file given (one a line,
// or the first column of a table) with a sentence's pause after each. Prints the median time of
// one formatting for each file and length.
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

std::vector<std::string> utterancesIn(const char* path) {
  std::ifstream file(path);
  std::vector<std::string> utterances;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line.starts_with('#')) continue;
    utterances.push_back(line.substr(0, line.find('\t')));
  }
  return utterances;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: text_formatting UTTERANCES…\n");
    return 2;
  }
  const ProperNames names = ProperNames::loadSystemLists();
  for (int file = 1; file < argc; ++file) {
    auto utterances = utterancesIn(argv[file]);
    if (utterances.empty()) continue;
    std::printf("%s\n%8s %12s %14s\n", argv[file], "words", "median µs", "ns per word");
    for (std::size_t length : {250, 500, 1000, 1500, 3000, 6000}) {
      double microseconds = medianMicroseconds(dictation(utterances, length), names);
      std::printf("%8zu %12.1f %14.1f\n", length, microseconds,
                  microseconds * 1000 / static_cast<double>(length));
    }
  }
}
