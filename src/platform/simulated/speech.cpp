#include "platform/speech.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/simulated/scenario.h"

using namespace simulation;

namespace {

std::string onOff(bool on) {
  return on ? "on" : "off";
}

}  // namespace

struct RecognitionRequest::Impl {
  std::mutex mutex;
  std::condition_variable ended;
  bool audioEnded = false;

  void waitForEndOfAudio() {
    std::unique_lock lock(mutex);
    ended.wait(lock, [this] { return audioEnded; });
  }
};

RecognitionRequest::RecognitionRequest() : impl_(std::make_shared<Impl>()) {}
RecognitionRequest::~RecognitionRequest() = default;

void RecognitionRequest::setShouldReportPartialResults(bool on) {
  record("request partial results " + onOff(on));
}

void RecognitionRequest::setAddsPunctuation(bool on) {
  record("request punctuation " + onOff(on));
}

void RecognitionRequest::setRequiresOnDeviceRecognition(bool on) {
  record("request on-device " + onOff(on));
}

void RecognitionRequest::append(const AudioBuffer& buffer) {
  record("buffer appended " + std::to_string(buffer.frameLength()));
}

void RecognitionRequest::endAudio() {
  record("audio ended");
  {
    std::lock_guard lock(impl_->mutex);
    impl_->audioEnded = true;
  }
  impl_->ended.notify_all();
}

// Plays the scenario's deliveries on a thread of its own, as a recognizer would.
struct RecognitionTask::Impl {
  void deliver() {
    for (const Delivery& delivery : scenario().deliveries) {
      if (delivery.afterEndAudio) request->waitForEndOfAudio();
      std::this_thread::sleep_for(delivery.delay);
      handler(delivery.result, delivery.error);
    }
  }

  std::shared_ptr<RecognitionRequest::Impl> request;
  RecognitionHandler handler;
};

RecognitionTask::RecognitionTask(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
RecognitionTask::~RecognitionTask() = default;

struct SpeechRecognizer::Impl {
  std::string locale;
  RecognizerSetup setup;
};

std::unique_ptr<SpeechRecognizer> SpeechRecognizer::create(const Locale& locale) {
  record("recognizer requested " + locale.identifier);
  auto found = scenario().recognizers.find(locale.identifier);
  if (found == scenario().recognizers.end()) return nullptr;
  return std::make_unique<SpeechRecognizer>(
      std::make_unique<Impl>(Impl{locale.identifier, found->second}));
}

SpeechRecognizer::SpeechRecognizer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SpeechRecognizer::~SpeechRecognizer() = default;

bool SpeechRecognizer::isAvailable() const {
  return impl_->setup.available;
}

bool SpeechRecognizer::supportsOnDeviceRecognition() const {
  return impl_->setup.onDevice;
}

std::unique_ptr<RecognitionTask> SpeechRecognizer::recognitionTask(RecognitionRequest& request,
                                                                   RecognitionHandler handler) {
  record("task started " + impl_->locale);
  auto task = std::make_shared<RecognitionTask::Impl>(
      RecognitionTask::Impl{request.impl_, std::move(handler)});
  // The thread shares the task so that the deliveries go on whatever the caller keeps.
  std::thread([task] { task->deliver(); }).detach();
  return std::make_unique<RecognitionTask>(task);
}
