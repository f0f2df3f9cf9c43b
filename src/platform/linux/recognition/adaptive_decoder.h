#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/linux/recognition/cepstral_mean.h"
#include "platform/linux/recognition/feature_stream.h"
#include "platform/linux/recognition/speech_decoder.h"
#include "text/spoken_word.h"

// Decodes one dictation, 16 kHz samples in, words out, with the cepstral mean adapted to this
// dictation's own speech.
//
// The mean a decoder starts from is the model's, from other microphones and other voices; until
// it has adapted, the first words of a dictation come out wrong, and in a short dictation that is
// all of them. So every utterance keeps its frames, and when the estimate has moved on far
// enough to matter, the utterance is decoded again from its frames with the new one: each time
// the speech heard has doubled, while the estimate is young, and once more when the utterance
// ends. Doubling keeps the extra decoding within the length of the speech itself; after a few
// seconds of speech the estimate has settled and each utterance is decoded once.
//
// Samples are decoded in blocks of a fixed length, whatever pieces they come in, so the same
// samples give the same partial results and the same text however capture cut them and however
// fast they came. Only a deadline, once the audio has ended, can cut a second decoding short.
class AdaptiveDecoder {
 public:
  using Clock = std::chrono::steady_clock;

  // 50 ms: partial results come this often, and the voice detector is asked this often.
  static constexpr std::size_t blockSamples = 800;

  // `progress` is called after every piece of decoding, the second decodings' too.
  AdaptiveDecoder(SpeechDecoder& decoder, std::function<void()> progress);

  // Decodes whole blocks of the samples and keeps the rest for later; calls `afterBlock` after
  // each block.
  void process(std::span<const std::int16_t> samples, const std::function<void()>& afterBlock);
  // The text is due by the deadline: past it, no utterance is decoded again, and a second
  // decoding still running is given up for the first one's words.
  void hurry(Clock::time_point deadline);
  // Decodes what is left once the audio has ended.
  void finish();

  // Every word heard so far, in order.
  std::vector<SpokenWord> words() const;
  // How many of them belong to utterances that have ended: those words will not change.
  std::size_t settledWords() const { return finished_.size(); }
  // How well the words of the ended utterances fit the audio: their path scores summed (one given
  // up at the deadline adds nothing).
  std::int64_t pathScore() const { return pathScore_; }
  // How far the dictation has been heard, in frames.
  std::int64_t heardFrames() const;

 private:
  void hear(std::span<const std::int16_t> samples);
  void decodeBlock(std::span<const std::int16_t> samples);
  void take(std::span<const CepstralFrame> frames);
  void startUtterance();
  void startUtteranceAt(std::int64_t firstFrame);
  void giveUpUtterance(std::vector<SpokenWord> heard);
  bool decodeAgain();
  void endUtterance();
  bool meanHasMovedOn() const;
  bool pastDeadline() const;

  SpeechDecoder& decoder_;
  std::function<void()> progress_;
  FeatureStream features_;
  CepstralMean mean_;
  std::vector<std::int16_t> pending_;
  std::vector<CepstralFrame> blockFrames_;
  std::uint64_t heardSamples_ = 0;

  bool inUtterance_ = false;
  std::int64_t utteranceStart_ = 0;
  std::vector<CepstralFrame> utterance_;
  // How many frames of speech the mean the utterance is being decoded with was taken over.
  long framesAtMean_ = 0;
  std::optional<Clock::time_point> deadline_;

  std::vector<SpokenWord> finished_;
  std::int64_t pathScore_ = 0;
};
