#include "platform/speech.h"

#include <future>
#include <thread>
#include <vector>

#include "platform/linux/language_models.h"
#include "platform/linux/quiet_libraries.h"
#include "platform/linux/resampler.h"
#include "platform/linux/sample_ring.h"
#include "platform/linux/speech_decoder.h"
#include "platform/linux/transcript.h"

namespace {

using DecoderFuture = std::shared_future<std::shared_ptr<SpeechDecoder>>;

// 43 s of mono audio at 48 kHz: room for the time the model takes to load, and then some.
constexpr std::size_t ringCapacity = std::size_t{1} << 21;

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

DecoderFuture loadInBackground(const LanguageModel& model) {
  std::promise<std::shared_ptr<SpeechDecoder>> loaded;
  DecoderFuture decoder = loaded.get_future().share();
  std::thread([model, loaded = std::move(loaded)]() mutable {
    loaded.set_value(SpeechDecoder::load(model));
  }).detach();
  return decoder;
}

}  // namespace

struct RecognitionRequest::Impl {
  SampleRing ring{ringCapacity};
  std::atomic<double> sampleRate{0};
  bool reportsPartialResults = false;
};

RecognitionRequest::RecognitionRequest() : impl_(std::make_shared<Impl>()) {}
RecognitionRequest::~RecognitionRequest() = default;

void RecognitionRequest::setShouldReportPartialResults(bool on) {
  impl_->reportsPartialResults = on;
}

// Decoding adds no punctuation of its own and always runs on this machine.
void RecognitionRequest::setAddsPunctuation(bool) {}
void RecognitionRequest::setRequiresOnDeviceRecognition(bool) {}

// On the audio thread: a copy into the ring and nothing else.
void RecognitionRequest::append(const AudioBuffer& buffer) {
  impl_->sampleRate.store(buffer.format.sampleRate, std::memory_order_relaxed);
  impl_->ring.write(buffer.samples);
}

void RecognitionRequest::endAudio() {
  impl_->ring.close();
}

// Decodes the request's audio on a thread of its own and reports to the handler. A second
// thread watches that the decoder keeps responding.
struct RecognitionTask::Impl {
  using Clock = std::chrono::steady_clock;

  std::shared_ptr<RecognitionRequest::Impl> request;
  DecoderFuture loading;
  RecognitionHandler handler;

  std::uint64_t lastWritten = 0;
  Clock::time_point lastAudioAt = Clock::now();
  Transcript transcript;
  std::string lastText;
  bool wasInSpeech = false;
  std::size_t utteranceLength = 0;
  // When the decoder took up the piece of audio it is working on; zero while it waits.
  std::atomic<Clock::rep> busySince{0};
  std::atomic<bool> ended{false};

  void run() {
    std::shared_ptr<SpeechDecoder> decoder = loading.get();
    if (!decoder) return fail(modelNotLoaded);
    while (request->ring.written() == 0) {
      if (request->ring.isClosed()) return finish();
      if (!waitForAudio()) return fail(captureLost);
    }
    decode(*decoder);
  }

  void watch() {
    while (!ended) {
      std::this_thread::sleep_for(stuckDecoderCheckInterval);
      auto since = busySince.load();
      if (since != 0 && Clock::now().time_since_epoch().count() - since > stuckDecoderLimit) {
        return fail(decoderStuck);
      }
    }
  }

  // False when the microphone has been silent for too long.
  bool waitForAudio() {
    std::this_thread::sleep_for(audioPollInterval);
    if (request->ring.written() != lastWritten) {
      lastWritten = request->ring.written();
      lastAudioAt = Clock::now();
    }
    return Clock::now() - lastAudioAt < captureSilenceLimit;
  }

  void decode(SpeechDecoder& decoder) {
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
  void decodePiece(SpeechDecoder& decoder, std::span<const std::int16_t> samples) {
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

  void reportIfChanged(std::string text) {
    if (text == lastText || ended) return;
    lastText = text;
    handler(RecognitionResult{{std::move(text)}, false}, std::nullopt);
  }

  // The decoding thread and the watcher may both come to an end; only the first one reports.
  void finish() {
    if (!ended.exchange(true)) handler(RecognitionResult{{transcript.text()}, true}, std::nullopt);
  }

  void fail(const char* description) {
    if (!ended.exchange(true)) handler(std::nullopt, Error{description});
  }
};

RecognitionTask::RecognitionTask(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
RecognitionTask::~RecognitionTask() = default;

struct SpeechRecognizer::Impl {
  bool available;
  DecoderFuture decoder;
};

std::unique_ptr<SpeechRecognizer> SpeechRecognizer::create(const Locale& locale) {
  silenceSpeechLibrary();
  auto model = findLanguageModel(locale);
  if (!model) return nullptr;
  bool available = model->isComplete();
  // Loading takes longer than the rest of the start; it goes on while the microphone starts.
  DecoderFuture decoder = available ? loadInBackground(*model) : DecoderFuture{};
  return std::make_unique<SpeechRecognizer>(std::make_unique<Impl>(Impl{available, decoder}));
}

SpeechRecognizer::SpeechRecognizer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SpeechRecognizer::~SpeechRecognizer() = default;

bool SpeechRecognizer::isAvailable() const {
  return impl_->available;
}

bool SpeechRecognizer::supportsOnDeviceRecognition() const {
  return true;
}

std::unique_ptr<RecognitionTask> SpeechRecognizer::recognitionTask(RecognitionRequest& request,
                                                                   RecognitionHandler handler) {
  auto task =
      std::make_shared<RecognitionTask::Impl>(request.impl_, impl_->decoder, std::move(handler));
  // The threads own the task: decoding goes on whatever the caller keeps.
  std::thread([task] { task->run(); }).detach();
  std::thread([task] { task->watch(); }).detach();
  return std::make_unique<RecognitionTask>(task);
}
