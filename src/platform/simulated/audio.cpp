#include "platform/audio.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/simulated/scenario.h"

using namespace simulation;

struct InputNode::Impl {
  std::mutex mutex;  // so that a tap is never removed while it runs
  TapBlock tap;
  AudioFormat format;
  std::uint32_t bufferSize = 0;

  void deliver(double seconds) {
    std::lock_guard lock(mutex);
    if (!tap) return;
    std::vector<float> silence(bufferSize * format.channelCount);
    tap(AudioBuffer{silence, format}, AudioTime{seconds});
  }
};

InputNode::InputNode(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
InputNode::~InputNode() = default;

AudioFormat InputNode::outputFormat(AudioBus) const {
  return AudioFormat{scenario().sampleRate, 1};
}

void InputNode::installTap(AudioBus bus, std::uint32_t bufferSize, const AudioFormat& format,
                           TapBlock block) {
  record("tap installed bus " + std::to_string(bus) + " size " + std::to_string(bufferSize));
  std::lock_guard lock(impl_->mutex);
  impl_->tap = std::move(block);
  impl_->format = format;
  impl_->bufferSize = bufferSize;
}

void InputNode::removeTap(AudioBus bus) {
  record("tap removed bus " + std::to_string(bus));
  std::lock_guard lock(impl_->mutex);
  impl_->tap = nullptr;
}

// Captures the scenario's buffers on an audio thread of its own while running.
struct AudioEngine::Impl {
  explicit Impl(std::unique_ptr<InputNode::Impl> nodeImpl)
      : node(*nodeImpl), input(std::move(nodeImpl)) {}

  InputNode::Impl& node;
  InputNode input;
  std::atomic<bool> running{false};
  std::mutex mutex;
  std::condition_variable stopping;
  bool stopRequested = false;
  std::thread audioThread;

  void capture() {
    std::unique_lock lock(mutex);
    for (int i = 0; i < scenario().bufferCount; ++i) {
      if (stopping.wait_for(lock, scenario().bufferInterval, [this] { return stopRequested; })) {
        return;
      }
      node.deliver(std::chrono::duration<double>(i * scenario().bufferInterval).count());
    }
  }
};

AudioEngine::AudioEngine() : impl_(std::make_unique<Impl>(std::make_unique<InputNode::Impl>())) {}
AudioEngine::~AudioEngine() = default;

InputNode& AudioEngine::inputNode() {
  return impl_->input;
}

void AudioEngine::prepare() {
  record("engine prepared");
}

std::optional<Error> AudioEngine::start() {
  std::this_thread::sleep_for(scenario().engineStartDelay);
  if (scenario().engineStartError) {
    record("engine start failed");
    return Error{*scenario().engineStartError};
  }
  record("engine started");
  impl_->running = true;
  impl_->audioThread = std::thread([impl = impl_.get()] { impl->capture(); });
  return std::nullopt;
}

bool AudioEngine::isRunning() const {
  return impl_->running;
}

void AudioEngine::stop() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopRequested = true;
  }
  impl_->stopping.notify_all();
  if (impl_->audioThread.joinable()) impl_->audioThread.join();
  impl_->running = false;
  record("engine stopped");
}
