// Measures the pauses the decoder places between words in read speech, to see where a pause
// length that ends a sentence stands: every pause inside a sentence should be shorter, every
// pause between sentences longer.
//
//   sentence_pauses SENTENCE.raw...
//
// Each SENTENCE.raw (16 kHz mono s16le) holds one sentence. Prints the pauses inside each, then
// decodes all of them joined, with pauses of 0.3 to 1.5 s of quiet room noise between, and counts
// the sentence marks of the text (titles such as "Mr." aside) against the sentences read.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/linux/quiet_libraries.h"
#include "platform/linux/recognition/adaptive_decoder.h"
#include "platform/linux/recognition/language_models.h"
#include "raw_recording.h"
#include "text/transcript.h"

namespace {

std::vector<SpokenWord> decode(SpeechDecoder& decoder, const std::vector<std::int16_t>& audio) {
  AdaptiveDecoder dictation(decoder, [] {});
  dictation.process(audio, [] {});
  dictation.hurry(AdaptiveDecoder::Clock::time_point::max());
  dictation.finish();
  return dictation.words();
}

// Quiet white noise, the same each time.
std::vector<std::int16_t> roomNoise(double seconds) {
  std::vector<std::int16_t> noise(static_cast<std::size_t>(seconds * 16000));
  std::uint32_t state = 1;
  for (auto& sample : noise) {
    state = state * 1664525 + 1013904223;
    sample = static_cast<std::int16_t>(static_cast<int>(state >> 24) - 128) / 4;
  }
  return noise;
}

// Sentence marks: every "." "?" and "!" but the point of a title.
long sentenceMarks(const std::string& text) {
  long marks = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '.' && text[i] != '?' && text[i] != '!') continue;
    std::size_t word = text.rfind(' ', i);
    std::string last = text.substr(word == std::string::npos ? 0 : word + 1, i - word);
    if (last != "Mr." && last != "Mrs." && last != "Ms." && last != "Dr.") ++marks;
  }
  return marks;
}

std::vector<std::int64_t> pauses(const std::vector<SpokenWord>& words) {
  std::vector<std::int64_t> between;
  for (std::size_t i = 1; i < words.size(); ++i) {
    between.push_back(words[i].firstFrame - words[i - 1].lastFrame - 1);
  }
  return between;
}

}  // namespace

int main(int argc, char** argv) {
  silenceSpeechLibrary();
  auto model = findLanguageModel(Locale{"en-US"});
  auto decoder = model ? SpeechDecoder::load(*model) : nullptr;
  if (!decoder || argc < 2) {
    std::fprintf(stderr, "usage: sentence_pauses SENTENCE.raw...\n");
    return 2;
  }
  std::vector<std::vector<std::int16_t>> sentences;
  std::int64_t longestInside = 0;
  for (int i = 1; i < argc; ++i) {
    sentences.push_back(readRecording(argv[i]));
    auto inside = pauses(decode(*decoder, sentences.back()));
    std::printf("%s: pauses inside, s:", argv[i]);
    for (auto pause : inside) std::printf(" %.2f", static_cast<double>(pause) / 100);
    std::printf("\n");
    if (!inside.empty()) longestInside = std::max(longestInside, *std::ranges::max_element(inside));
  }
  std::printf("longest pause inside a sentence: %.2f s\n",
              static_cast<double>(longestInside) / 100);

  ProperNames names;
  for (double gap : {0.3, 0.5, 0.75, 1.0, 1.5}) {
    std::vector<std::int16_t> joined, pause = roomNoise(gap);
    for (const auto& sentence : sentences) {
      joined.insert(joined.end(), sentence.begin(), sentence.end());
      joined.insert(joined.end(), pause.begin(), pause.end());
    }
    auto words = decode(*decoder, joined);
    std::string text = transcriptText({words, words.size(), 0, true}, names);
    std::printf("pauses of %.2f s: %ld sentence marks for %zu sentences: %s\n", gap,
                sentenceMarks(text), sentences.size(), text.c_str());
  }
}
