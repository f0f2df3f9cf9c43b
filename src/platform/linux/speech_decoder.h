#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/linux/language_models.h"

struct cmd_ln_s;
struct ps_decoder_s;

// One PocketSphinx decoder. Kept for a whole dictation, so that its noise estimate adapts.
class SpeechDecoder {
 public:
  // The decoder is listening at this rate.
  static constexpr double sampleRate = 16000;

  // None when the decoder refuses the model.
  static std::unique_ptr<SpeechDecoder> load(const LanguageModel& model);
  ~SpeechDecoder();
  SpeechDecoder(const SpeechDecoder&) = delete;
  SpeechDecoder& operator=(const SpeechDecoder&) = delete;

  void startUtterance();
  void process(std::span<const std::int16_t> samples);
  bool inSpeech() const;
  std::string hypothesis() const;
  // Ends the utterance and returns what was said in it.
  std::string endUtterance();

 private:
  SpeechDecoder(cmd_ln_s* config, ps_decoder_s* decoder) : config_(config), decoder_(decoder) {}

  cmd_ln_s* config_;
  ps_decoder_s* decoder_;
};
