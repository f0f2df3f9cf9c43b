#pragma once

#include <time.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/capture/resampler.h"
#include "platform/linux/recognition/adaptive_decoder.h"
#include "platform/linux/recognition/recognition_request.h"
#include "platform/linux/recognition/speech_decoder.h"
#include "platform/speech.h"
#include "text/proper_names.h"

using DecoderFuture = std::shared_future<std::shared_ptr<SpeechDecoder>>;
using NamesFuture = std::shared_future<std::shared_ptr<const ProperNames>>;

// What the decoder had heard after a piece of audio.
struct HeardSoFar {
  std::vector<SpokenWord> words;
  std::size_t settledWords = 0;
  std::int64_t frames = 0;
};

// Decodes the request's audio on a thread of its own and reports to the handler. A second
// thread watches that the decoder keeps responding, and gives the final result on time when
// decoding cannot.
struct RecognitionTask::Impl {
  using Clock = std::chrono::steady_clock;

  std::shared_ptr<RecognitionRequest::Impl> request;
  DecoderFuture loading;
  NamesFuture names;
  RecognitionHandler handler;

  std::uint64_t lastWritten = 0;
  Clock::time_point lastAudioAt = Clock::now();
  std::string lastText;
  // The decoding thread's own CPU clock: a decoder stuck in a loop spends CPU time on it, while
  // one that a busy machine merely keeps from the cores does not.
  std::atomic<clockid_t> decodingClock{};
  // The CPU time it had spent when it took up the piece of audio it is working on, in
  // nanoseconds; negative while it waits.
  std::atomic<std::int64_t> busySince{-1};
  std::atomic<bool> ended{false};
  std::mutex reporting;
  // Made into the final text only if it is due before decoding has ended.
  HeardSoFar heardSoFar;

  // Waits for the model, then decodes until the audio ends.
  void run();
  // Gives the final result when it is due and decoding has not; reports a decoder that stops
  // responding. Returns once the task has ended.
  void watch();

 private:
  bool waitForAudio();
  void decode(SpeechDecoder& decoder);
  Clock::time_point audioEndedAt() const;
  bool pastLatestFinal() const;
  std::int64_t decodingTime() const;
  void markBusy();
  std::string text(const HeardSoFar& heard, bool isFinal) const;
  void keepHeardSoFar(HeardSoFar heard);
  std::string finalTextSoFar();
  void reportIfChanged(std::string text);
  void finish(std::string text);
  void fail(const char* description);
};
