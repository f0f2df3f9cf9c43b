// Decodes recordings with the recognizer's own decoder as fast as the CPU allows, with no deadline,
// and prints for each its path score and text:
//
//   offline_decode RECORDING.raw...   →   RECORDING.raw <TAB> SCORE <TAB> TEXT
//
// RECORDING.raw is 16 kHz mono s16le. The same samples give the same words at any pace, so this
// is the file path of decode_benchmark without the wait for a microphone's pace and without the
// conversion to and from 48 kHz. One process decodes every recording, loading the model once.

#include <cstdio>

#include "platform/linux/quiet_libraries.h"
#include "platform/linux/recognition/adaptive_decoder.h"
#include "platform/linux/recognition/language_models.h"
#include "raw_recording.h"

int main(int argc, char** argv) {
  silenceSpeechLibrary();
  auto model = findLanguageModel(Locale{"en-US"});
  auto decoder = model ? SpeechDecoder::load(*model) : nullptr;
  if (!decoder || argc < 2) {
    std::fprintf(stderr, "usage: offline_decode RECORDING.raw...\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    AdaptiveDecoder dictation(*decoder, [] {});
    dictation.process(readRecording(argv[i]), [] {});
    dictation.finish();
    std::string text;
    for (const SpokenWord& word : dictation.words())
      text += (text.empty() ? "" : " ") + word.spelling;
    std::printf("%s\t%lld\t%s\n", argv[i], static_cast<long long>(dictation.pathScore()),
                text.c_str());
  }
}
