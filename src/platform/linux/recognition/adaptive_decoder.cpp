#include "platform/linux/recognition/adaptive_decoder.h"

#include <algorithm>
#include <utility>

namespace {

// Background noise must not hold an utterance open for ever: decoding one again costs time in
// proportion to its length, and the final result must come well within the stop deadline.
constexpr std::size_t longestUtterance = 15 * FeatureStream::frameRate;

// The first second decoding comes after half a second of speech; from four seconds of speech
// on, the mean moves too little to change a word. An utterance that ends is decoded again only
// when its mean was taken over less than two seconds of speech: past that, a second decoding
// seldom changes a word, and at the end of a dictation it would keep the final text waiting.
constexpr long firstSecondDecoding = FeatureStream::frameRate / 2;
constexpr long settledMean = 4 * FeatureStream::frameRate;
constexpr long adaptedMean = 2 * FeatureStream::frameRate;

// Decoding again in pieces of this many frames lets a deadline cut in.
constexpr std::size_t framesPerPiece = 100;

constexpr std::int64_t samplesPerFrame =
    static_cast<std::int64_t>(SpeechDecoder::sampleRate) / FeatureStream::frameRate;

}  // namespace

AdaptiveDecoder::AdaptiveDecoder(SpeechDecoder& decoder, std::function<void()> progress)
    : decoder_(decoder),
      progress_(std::move(progress)),
      features_(decoder.frontEndConfig()),
      mean_(decoder.modelMeanStart()) {}

void AdaptiveDecoder::process(std::span<const std::int16_t> samples,
                              const std::function<void()>& afterBlock) {
  pending_.insert(pending_.end(), samples.begin(), samples.end());
  std::size_t done = 0;
  for (; pending_.size() - done >= blockSamples; done += blockSamples) {
    decodeBlock(std::span(pending_).subspan(done, blockSamples));
    afterBlock();
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(done));
}

void AdaptiveDecoder::hurry(Clock::time_point deadline) {
  deadline_ = deadline;
}

void AdaptiveDecoder::finish() {
  hear(pending_);
  features_.finish(blockFrames_);
  pending_.clear();
  take(blockFrames_);
  if (inUtterance_) endUtterance();
}

std::vector<SpokenWord> AdaptiveDecoder::words() const {
  std::vector<SpokenWord> words = finished_;
  if (inUtterance_) {
    std::vector<SpokenWord> current = decoder_.words();
    words.insert(words.end(), current.begin(), current.end());
  }
  return words;
}

std::int64_t AdaptiveDecoder::heardFrames() const {
  return static_cast<std::int64_t>(heardSamples_) / samplesPerFrame;
}

// Turns the samples into the frames of speech they complete, in `blockFrames_`.
void AdaptiveDecoder::hear(std::span<const std::int16_t> samples) {
  heardSamples_ += samples.size();
  blockFrames_.clear();
  features_.process(samples, blockFrames_);
}

void AdaptiveDecoder::decodeBlock(std::span<const std::int16_t> samples) {
  hear(samples);
  take(blockFrames_);
  if (inUtterance_ && (!features_.inSpeech() || utterance_.size() >= longestUtterance)) {
    endUtterance();
  }
}

void AdaptiveDecoder::take(std::span<const CepstralFrame> frames) {
  if (frames.empty()) return;
  if (!inUtterance_) startUtterance();
  mean_.add(frames);
  utterance_.insert(utterance_.end(), frames.begin(), frames.end());
  decoder_.process(frames);
  progress_();
  bool doubled = mean_.frames() >= std::max(firstSecondDecoding, 2 * framesAtMean_);
  if (!pastDeadline() && framesAtMean_ < settledMean && doubled) {
    decoder_.endUtterance();
    std::vector<SpokenWord> heard = decoder_.words();
    if (!decodeAgain()) giveUpUtterance(std::move(heard));
  }
}

void AdaptiveDecoder::startUtterance() {
  // The voice detector may place the start a little before what was heard of this dictation.
  startUtteranceAt(std::max<std::int64_t>(0, features_.speechStart()));
}

void AdaptiveDecoder::startUtteranceAt(std::int64_t firstFrame) {
  inUtterance_ = true;
  utteranceStart_ = firstFrame;
  framesAtMean_ = mean_.frames();
  decoder_.startUtterance(utteranceStart_, mean_.value());
}

// Ends the utterance with the words of its first decoding, when the deadline cut its second one
// short; the speech that follows is decoded as an utterance of its own, from where this one ends.
void AdaptiveDecoder::giveUpUtterance(std::vector<SpokenWord> heard) {
  decoder_.endUtterance();
  finished_.insert(finished_.end(), heard.begin(), heard.end());
  std::int64_t next = utteranceStart_ + static_cast<std::int64_t>(utterance_.size());
  utterance_.clear();
  startUtteranceAt(next);
}

// Decodes the utterance's frames again with the mean as it is now. False, and the utterance left
// unfinished, when the deadline came first.
bool AdaptiveDecoder::decodeAgain() {
  framesAtMean_ = mean_.frames();
  decoder_.startUtterance(utteranceStart_, mean_.value());
  for (std::size_t done = 0; done < utterance_.size(); done += framesPerPiece) {
    if (pastDeadline()) return false;
    std::size_t count = std::min(framesPerPiece, utterance_.size() - done);
    decoder_.process(std::span(utterance_).subspan(done, count));
    progress_();
  }
  return true;
}

void AdaptiveDecoder::endUtterance() {
  decoder_.endUtterance();
  std::vector<SpokenWord> heard = decoder_.words();
  std::int32_t score = decoder_.pathScore();
  if (meanHasMovedOn()) {
    bool inTime = decodeAgain();
    decoder_.endUtterance();
    if (inTime) {
      heard = decoder_.words();
      score = decoder_.pathScore();
    }
  }
  // The voice detector takes noise for speech until it has learnt the room; an utterance in which
  // the decoder heard no word was such noise, and must not pull the mean towards it.
  if (heard.empty()) mean_.remove(utterance_);
  pathScore_ += score;
  finished_.insert(finished_.end(), heard.begin(), heard.end());
  utterance_.clear();
  inUtterance_ = false;
}

bool AdaptiveDecoder::pastDeadline() const {
  return deadline_ && Clock::now() > *deadline_;
}

// Whether the utterance's mean was young, and the speech heard since adds a fifth or more to it.
bool AdaptiveDecoder::meanHasMovedOn() const {
  return framesAtMean_ < adaptedMean && mean_.frames() * 4 > framesAtMean_ * 5;
}
