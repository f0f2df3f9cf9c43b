#include "platform/speech.h"

#include <future>
#include <thread>

#include "platform/linux/quiet_libraries.h"
#include "platform/linux/recognition/language_models.h"
#include "platform/linux/recognition/recognition_request.h"
#include "platform/linux/recognition/recognition_task.h"

namespace {

template <typename Load>
auto loadInBackground(Load load) {
  std::promise<decltype(load())> loaded;
  auto result = loaded.get_future().share();
  std::thread([load = std::move(load), loaded = std::move(loaded)]() mutable {
    loaded.set_value(load());
  }).detach();
  return result;
}

}  // namespace

RecognitionRequest::RecognitionRequest() : impl_(std::make_shared<Impl>()) {}
RecognitionRequest::~RecognitionRequest() = default;

void RecognitionRequest::setShouldReportPartialResults(bool on) {
  impl_->reportsPartialResults = on;
}

// Decoding adds no punctuation of its own and always runs on this machine.
void RecognitionRequest::setAddsPunctuation(bool) {}
void RecognitionRequest::setRequiresOnDeviceRecognition(bool) {}

// On the audio thread: a copy into the ring and nothing else. A buffer without a rate is the
// capture's word that the microphone is gone for good.
void RecognitionRequest::append(const AudioBuffer& buffer) {
  if (buffer.format.sampleRate <= 0) {
    impl_->inputLost.store(true, std::memory_order_release);
    return;
  }
  impl_->sampleRate.store(buffer.format.sampleRate, std::memory_order_relaxed);
  impl_->ring.write(buffer.samples);
}

void RecognitionRequest::endAudio() {
  impl_->endedAt = std::chrono::steady_clock::now().time_since_epoch().count();
  impl_->ring.close();
}

RecognitionTask::RecognitionTask(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
RecognitionTask::~RecognitionTask() = default;

struct SpeechRecognizer::Impl {
  bool available;
  DecoderFuture decoder;
  NamesFuture names;
};

std::unique_ptr<SpeechRecognizer> SpeechRecognizer::create(const Locale& locale) {
  silenceSpeechLibrary();
  auto model = findLanguageModel(locale);
  if (!model) return nullptr;
  bool available = model->isComplete();
  if (!available)
    return std::make_unique<SpeechRecognizer>(std::make_unique<Impl>(Impl{false, {}, {}}));
  // Loading takes longer than the rest of the start; it goes on while the microphone starts.
  DecoderFuture decoder = loadInBackground(
      [model = *model]() -> std::shared_ptr<SpeechDecoder> { return SpeechDecoder::load(model); });
  NamesFuture names = loadInBackground(
      [] { return std::make_shared<const ProperNames>(ProperNames::loadSystemLists()); });
  return std::make_unique<SpeechRecognizer>(
      std::make_unique<Impl>(Impl{available, decoder, names}));
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
  auto task = std::make_shared<RecognitionTask::Impl>(request.impl_, impl_->decoder, impl_->names,
                                                      std::move(handler));
  // The threads own the task: decoding goes on whatever the caller keeps.
  std::thread([task] { task->run(); }).detach();
  std::thread([task] { task->watch(); }).detach();
  return std::make_unique<RecognitionTask>(task);
}
