#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/linux/recognition/feature_stream.h"
#include "platform/linux/recognition/language_models.h"
#include "text/spoken_word.h"

struct cmd_ln_s;
struct ps_decoder_s;

// One PocketSphinx decoder, fed with cepstra rather than samples, so that an utterance can be
// decoded again from its frames with another cepstral mean.
class SpeechDecoder {
 public:
  // The decoder is listening at this rate.
  static constexpr double sampleRate = 16000;

  // None when the decoder refuses the model.
  static std::unique_ptr<SpeechDecoder> load(const LanguageModel& model);
  ~SpeechDecoder();
  SpeechDecoder(const SpeechDecoder&) = delete;
  SpeechDecoder& operator=(const SpeechDecoder&) = delete;

  // The settings a front end needs to make the frames this decoder expects.
  cmd_ln_s* frontEndConfig() const { return config_; }
  // The cepstral mean the model was trained to start from.
  CepstralFrame modelMeanStart() const;

  // Starts an utterance whose first frame is `firstFrame` of the dictation; every frame of it is
  // normalised with `mean`.
  void startUtterance(std::int64_t firstFrame, const CepstralFrame& mean);
  void process(std::span<const CepstralFrame> frames);
  // The words of the best hypothesis so far, without fillers and silences.
  std::vector<SpokenWord> words() const;
  // How well the best hypothesis fits the frames: its log score, higher is better. Comparable
  // between decodings of the same audio.
  std::int32_t pathScore() const;
  void endUtterance();

  // One dictation decodes at a time; a task that was ended on time may still be decoding.
  std::mutex& inUse() { return inUse_; }

 private:
  SpeechDecoder(cmd_ln_s* config, ps_decoder_s* decoder) : config_(config), decoder_(decoder) {}

  cmd_ln_s* config_;
  ps_decoder_s* decoder_;
  std::int64_t firstFrame_ = 0;
  CepstralFrame mean_{};
  std::vector<CepstralFrame> scratch_;
  std::mutex inUse_;
};
