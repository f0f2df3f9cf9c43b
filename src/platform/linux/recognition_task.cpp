#include "platform/linux/recognition_task.h"

#include <thread>
#include <vector>

namespace {

// Background noise must not hold an utterance open for ever: ending one costs time in
// proportion to its length, and the final result must come well within the stop deadline.
constexpr std::size_t longestUtterance = 15 * static_cast<std::size_t>(SpeechDecoder::sampleRate);

// How often the decoder looks for new audio: a fraction of a captured buffer's length.
constexpr auto audioPollInterval = std::chrono::milliseconds(5);

// A microphone that delivers nothing for this long has been lost. A PulseAudio source may start
// two seconds late, so this leaves room beyond that.
constexpr auto captureSilenceLimit = std::chrono::seconds(5);

// Decoding a piece of audio takes milliseconds. A decoder busy with one for this long is stuck, as
// PocketSphinx can be on some damaged models.
constexpr auto stuckDecoderLimit =
    std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(5))
        .count();
constexpr auto stuckDecoderCheckInterval = std::chrono::milliseconds(100);

constexpr const char* modelNotLoaded = "The speech model could not be loaded.";
constexpr const char* captureLost = "The microphone stopped delivering sound.";
constexpr const char* decoderStuck = "Speech recognition stopped responding.";
constexpr const char* fellBehind =
    "Speech recognition fell behind the microphone, and some speech was lost.";

}  // namespace

void RecognitionTask::Impl::run() {
  std::shared_ptr<SpeechDecoder> decoder = loading.get();
  if (!decoder) return fail(modelNotLoaded);
  while (request->ring.written() == 0) {
    if (request->ring.isClosed()) return finish();
    if (!waitForAudio()) return fail(captureLost);
  }
  decode(*decoder);
}

void RecognitionTask::Impl::watch() {
  while (!ended) {
    std::this_thread::sleep_for(stuckDecoderCheckInterval);
    auto since = busySince.load();
    if (since != 0 && Clock::now().time_since_epoch().count() - since > stuckDecoderLimit) {
      return fail(decoderStuck);
    }
  }
}

// False when the microphone has been silent for too long.
bool RecognitionTask::Impl::waitForAudio() {
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
  std::vector<float> chunk(4096);
  decoder.startUtterance();
  for (;;) {
    std::size_t count = ring.read(chunk);
    if (ring.overflowed()) return fail(fellBehind);
    if (count == 0) {
      if (ring.isClosed()) break;
      if (!waitForAudio()) return fail(captureLost);
      continue;
    }
    busySince = Clock::now().time_since_epoch().count();
    decodePiece(decoder, resampler.process(std::span(chunk).first(count)));
    busySince = 0;
  }
  busySince = Clock::now().time_since_epoch().count();
  decoder.process(resampler.flush());
  transcript.finishUtterance(decoder.endUtterance());
  finish();
}

// Ends the utterance at a pause, or when it grows too long, and reports what changed.
void RecognitionTask::Impl::decodePiece(SpeechDecoder& decoder,
                                        std::span<const std::int16_t> samples) {
  decoder.process(samples);
  utteranceLength += samples.size();
  bool inSpeech = decoder.inSpeech();
  if ((wasInSpeech && !inSpeech) || utteranceLength > longestUtterance) {
    transcript.finishUtterance(decoder.endUtterance());
    decoder.startUtterance();
    utteranceLength = 0;
  }
  wasInSpeech = inSpeech;
  if (request->reportsPartialResults) reportIfChanged(transcript.text(decoder.hypothesis()));
}

void RecognitionTask::Impl::reportIfChanged(std::string text) {
  if (text == lastText || ended) return;
  lastText = text;
  handler(RecognitionResult{{std::move(text)}, false}, std::nullopt);
}

// The decoding thread and the watcher may both come to an end; only the first one reports.
void RecognitionTask::Impl::finish() {
  if (!ended.exchange(true)) handler(RecognitionResult{{transcript.text()}, true}, std::nullopt);
}

void RecognitionTask::Impl::fail(const char* description) {
  if (!ended.exchange(true)) handler(std::nullopt, Error{description});
}
