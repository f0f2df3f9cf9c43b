#include "platform/linux/recognition/recognition_task.h"

#include <pthread.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "text/transcript.h"

namespace {

// How often the decoder looks for new audio: a fraction of a captured buffer's length.
constexpr auto audioPollInterval = std::chrono::milliseconds(5);

// A microphone that delivers nothing for this long has been lost. A PulseAudio source may start
// two seconds late, so this leaves room beyond that. A device that capture sees go away is
// reported once capture has looked for it again in vain, without this wait.
constexpr auto captureSilenceLimit = std::chrono::seconds(5);

// Decoding a piece of audio takes milliseconds of CPU time. A decoder that has spent this much on
// one is stuck, as PocketSphinx can be on some damaged models.
constexpr std::int64_t stuckDecoderLimit =
    std::chrono::nanoseconds(std::chrono::seconds(5)).count();
constexpr auto watchInterval = std::chrono::milliseconds(50);

// Once the audio has ended, a second decoding may go on this long before the first one's words
// are taken instead, so that a short dictation's final result does not wait for it.
constexpr auto finishingTime = std::chrono::milliseconds(600);

// However far decoding has fallen behind the microphone on a starved machine, the final result
// comes within a second of the end of the audio, well before the host's deadline: past this,
// what has been decoded is the final text. The watcher gives it, so a decoding thread that the
// machine keeps from the cores cannot hold it back.
constexpr auto latestFinal = std::chrono::milliseconds(900);

constexpr const char* modelNotLoaded = "The speech model could not be loaded.";
constexpr const char* captureLost = "The microphone stopped delivering sound.";
constexpr const char* decoderStuck = "Speech recognition stopped responding.";
constexpr const char* fellBehind =
    "Speech recognition fell behind the microphone, and some speech was lost.";

}  // namespace

void RecognitionTask::Impl::run() {
  // On a starved machine the model may still be loading when the final result is due.
  while (loading.wait_for(audioPollInterval) != std::future_status::ready) {
    if (ended) return;
  }
  std::shared_ptr<SpeechDecoder> decoder = loading.get();
  if (!decoder) return fail(modelNotLoaded);
  std::lock_guard decoding(decoder->inUse());
  clockid_t clock{};
  pthread_getcpuclockid(pthread_self(), &clock);
  decodingClock = clock;
  while (request->ring.written() == 0) {
    if (request->ring.isClosed()) return finish("");
    if (!waitForAudio()) return fail(captureLost);
  }
  decode(*decoder);
}

void RecognitionTask::Impl::watch() {
  while (!ended) {
    std::this_thread::sleep_for(watchInterval);
    if (pastLatestFinal()) return finish(finalTextSoFar());
    auto since = busySince.load();
    if (since >= 0 && decodingTime() - since > stuckDecoderLimit) {
      return fail(decoderStuck);
    }
  }
}

// False when capture has given the microphone up, or it has been silent for too long.
bool RecognitionTask::Impl::waitForAudio() {
  if (request->inputLost.load(std::memory_order_acquire)) return false;
  std::this_thread::sleep_for(audioPollInterval);
  if (request->ring.written() != lastWritten) {
    lastWritten = request->ring.written();
    lastAudioAt = Clock::now();
  }
  return Clock::now() - lastAudioAt < captureSilenceLimit;
}

void RecognitionTask::Impl::decode(SpeechDecoder& decoder) {
  SampleRing& ring = request->ring;
  Resampler resampler(request->sampleRate.load(std::memory_order_relaxed),
                      SpeechDecoder::sampleRate);
  AdaptiveDecoder dictation(decoder, [this] { markBusy(); });
  // Every text needs the names, which load beside the model.
  names.wait();
  auto heard = [&] {
    return HeardSoFar{dictation.words(), dictation.settledWords(), dictation.heardFrames()};
  };
  auto afterBlock = [&] {
    HeardSoFar now = heard();
    if (request->reportsPartialResults) reportIfChanged(text(now, false));
    keepHeardSoFar(std::move(now));
  };
  // The time to finish counts from the end of the audio, or from the start of decoding when the
  // model was still loading then.
  auto started = Clock::now();
  std::vector<float> chunk(4096);
  for (;;) {
    if (ended) return;
    if (ring.isClosed()) dictation.hurry(std::max(audioEndedAt(), started) + finishingTime);
    std::size_t count = ring.read(chunk);
    if (ring.overflowed()) return fail(fellBehind);
    if (count == 0) {
      if (ring.isClosed()) break;
      if (!waitForAudio()) return fail(captureLost);
      continue;
    }
    markBusy();
    dictation.process(resampler.process(std::span(chunk).first(count)), afterBlock);
    busySince = -1;
  }
  markBusy();
  dictation.process(resampler.flush(), afterBlock);
  dictation.finish();
  finish(text(heard(), true));
}

std::string RecognitionTask::Impl::text(const HeardSoFar& heard, bool isFinal) const {
  return transcriptText({heard.words, heard.settledWords, heard.frames, isFinal}, *names.get());
}

RecognitionTask::Impl::Clock::time_point RecognitionTask::Impl::audioEndedAt() const {
  return Clock::time_point(Clock::duration(request->endedAt.load()));
}

bool RecognitionTask::Impl::pastLatestFinal() const {
  return request->ring.isClosed() && Clock::now() > audioEndedAt() + latestFinal;
}

// Zero once the decoding thread has ended.
std::int64_t RecognitionTask::Impl::decodingTime() const {
  timespec spent{};
  if (clock_gettime(decodingClock, &spent) != 0) return 0;
  return std::chrono::nanoseconds(std::chrono::seconds(spent.tv_sec) +
                                  std::chrono::nanoseconds(spent.tv_nsec))
      .count();
}

void RecognitionTask::Impl::markBusy() {
  busySince = decodingTime();
}

void RecognitionTask::Impl::keepHeardSoFar(HeardSoFar heard) {
  std::lock_guard lock(reporting);
  heardSoFar = std::move(heard);
}

// The names have loaded once anything has been heard.
std::string RecognitionTask::Impl::finalTextSoFar() {
  std::lock_guard lock(reporting);
  return heardSoFar.words.empty() ? "" : text(heardSoFar, true);
}

// The decoding thread and the watcher both report: no partial result may follow the final one,
// and only the first of them to come to an end reports it.
void RecognitionTask::Impl::reportIfChanged(std::string text) {
  std::lock_guard lock(reporting);
  if (text == lastText || ended) return;
  lastText = text;
  handler(RecognitionResult{{std::move(text)}, false}, std::nullopt);
}

void RecognitionTask::Impl::finish(std::string text) {
  std::lock_guard lock(reporting);
  if (!ended.exchange(true)) handler(RecognitionResult{{std::move(text)}, true}, std::nullopt);
}

void RecognitionTask::Impl::fail(const char* description) {
  std::lock_guard lock(reporting);
  if (!ended.exchange(true)) handler(std::nullopt, Error{description});
}
