#include "platform/linux/speech_decoder.h"

#include <pocketsphinx.h>

std::unique_ptr<SpeechDecoder> SpeechDecoder::load(const LanguageModel& model) {
  cmd_ln_t* config =
      cmd_ln_init(nullptr, ps_args(), TRUE, "-hmm", model.acousticModel.c_str(), "-lm",
                  model.languageModel.c_str(), "-dict", model.dictionary.c_str(), nullptr);
  if (!config) return nullptr;
  ps_decoder_t* decoder = ps_init(config);
  if (!decoder) {
    cmd_ln_free_r(config);
    return nullptr;
  }
  return std::unique_ptr<SpeechDecoder>(new SpeechDecoder(config, decoder));
}

SpeechDecoder::~SpeechDecoder() {
  ps_free(decoder_);
  cmd_ln_free_r(config_);
}

void SpeechDecoder::startUtterance() {
  ps_start_utt(decoder_);
}

void SpeechDecoder::process(std::span<const std::int16_t> samples) {
  constexpr int noSearch = FALSE, partOfUtterance = FALSE;
  ps_process_raw(decoder_, samples.data(), samples.size(), noSearch, partOfUtterance);
}

bool SpeechDecoder::inSpeech() const {
  return ps_get_in_speech(decoder_);
}

std::string SpeechDecoder::hypothesis() const {
  const char* words = ps_get_hyp(decoder_, nullptr);
  return words ? words : "";
}

std::string SpeechDecoder::endUtterance() {
  ps_end_utt(decoder_);
  return hypothesis();
}
