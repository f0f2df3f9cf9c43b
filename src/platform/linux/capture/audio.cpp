#include "platform/audio.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/quiet_libraries.h"

namespace {

// ALSA's default PCM: on a desktop, the audio server through its ALSA plugin.
constexpr const char* captureDevice = "default";
// The rate asked of a device that offers several; a device or server with a rate of its own
// keeps it.
constexpr unsigned int preferredRate = 48000;
constexpr unsigned int periodsPerBuffer = 4;

// What every configuration of the capture PCM shares: the device's own rate, no conversion of
// it by ALSA, one channel of 32-bit floats.
int constrainToCapture(snd_pcm_t* pcm, snd_pcm_hw_params_t* parameters, unsigned int& rate) {
  int error = snd_pcm_hw_params_any(pcm, parameters);
  if (error >= 0) error = snd_pcm_hw_params_set_rate_resample(pcm, parameters, 0);
  if (error >= 0)
    error = snd_pcm_hw_params_set_access(pcm, parameters, SND_PCM_ACCESS_RW_INTERLEAVED);
  if (error >= 0) error = snd_pcm_hw_params_set_format(pcm, parameters, SND_PCM_FORMAT_FLOAT);
  if (error >= 0) error = snd_pcm_hw_params_set_channels(pcm, parameters, 1);
  rate = preferredRate;
  if (error >= 0) error = snd_pcm_hw_params_set_rate_near(pcm, parameters, &rate, nullptr);
  return error;
}

double secondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// The default capture device, opened when its format is first asked for.
struct InputNode::Impl {
  snd_pcm_t* pcm = nullptr;
  int openError = 0;
  TapBlock tap;
  AudioFormat format;
  std::uint32_t bufferSize = 0;

  ~Impl() {
    if (pcm) snd_pcm_close(pcm);
  }

  bool open() {
    if (!pcm && !openError)
      openError = snd_pcm_open(&pcm, captureDevice, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    return pcm;
  }

  void deliver(std::span<const float> samples) {
    if (tap && !samples.empty()) tap(AudioBuffer{samples, format}, AudioTime{secondsNow()});
  }
};

InputNode::InputNode(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
InputNode::~InputNode() = default;

// A device that exists keeps a format even when it is busy or refuses ours, so that starting it
// reports why in the library's own words.
AudioFormat InputNode::outputFormat(AudioBus) const {
  if (!impl_->open()) return AudioFormat{impl_->openError == -EBUSY ? preferredRate : 0.0, 1};
  snd_pcm_hw_params_t* parameters = nullptr;
  snd_pcm_hw_params_alloca(&parameters);
  unsigned int rate = 0;
  if (constrainToCapture(impl_->pcm, parameters, rate) < 0) rate = preferredRate;
  return AudioFormat{static_cast<double>(rate), 1};
}

void InputNode::installTap(AudioBus, std::uint32_t bufferSize, const AudioFormat& format,
                           TapBlock block) {
  impl_->tap = std::move(block);
  impl_->format = format;
  impl_->bufferSize = bufferSize;
}

void InputNode::removeTap(AudioBus) {
  impl_->tap = nullptr;
}

struct AudioEngine::Impl {
  explicit Impl(std::unique_ptr<InputNode::Impl> nodeImpl)
      : node(*nodeImpl), input(std::move(nodeImpl)) {}

  ~Impl() {
    if (stopEvent >= 0) close(stopEvent);
  }

  InputNode::Impl& node;
  InputNode input;
  std::atomic<bool> running{false};
  int stopEvent = -1;
  std::thread capture;

  int configure() {
    snd_pcm_t* pcm = node.pcm;
    snd_pcm_hw_params_t* parameters = nullptr;
    snd_pcm_hw_params_alloca(&parameters);
    unsigned int rate = 0;
    int error = constrainToCapture(pcm, parameters, rate);
    if (error >= 0 && rate != node.format.sampleRate) error = -EINVAL;
    snd_pcm_uframes_t period = node.bufferSize;
    if (error >= 0) error = snd_pcm_hw_params_set_period_size_near(pcm, parameters, &period, 0);
    snd_pcm_uframes_t buffer = period * periodsPerBuffer;
    if (error >= 0) error = snd_pcm_hw_params_set_buffer_size_near(pcm, parameters, &buffer);
    if (error >= 0) error = snd_pcm_hw_params(pcm, parameters);
    if (error >= 0) error = snd_pcm_start(pcm);
    return error;
  }

  // Reads until stopped or until the device is lost; then delivers what it had already
  // captured, so that the last words before the stop are heard.
  void captureUntilStopped() {
    std::vector<float> samples(node.bufferSize);
    std::vector<pollfd> descriptors(snd_pcm_poll_descriptors_count(node.pcm) + 1);
    auto count = static_cast<unsigned int>(snd_pcm_poll_descriptors(
        node.pcm, descriptors.data(), static_cast<unsigned int>(descriptors.size() - 1)));
    descriptors.resize(count + 1);
    descriptors.back() = pollfd{stopEvent, POLLIN, 0};
    for (;;) {
      if (poll(descriptors.data(), descriptors.size(), -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (descriptors.back().revents) break;
      unsigned short events = 0;
      snd_pcm_poll_descriptors_revents(node.pcm, descriptors.data(), count, &events);
      if (events & (POLLHUP | POLLNVAL)) return;
      if (events && !readAvailable(samples)) return;
    }
    readAvailable(samples);
  }

  // False once the device is lost.
  bool readAvailable(std::vector<float>& samples) {
    for (;;) {
      snd_pcm_sframes_t frames = snd_pcm_readi(node.pcm, samples.data(), samples.size());
      if (frames == -EAGAIN || frames == 0) return true;
      if (frames < 0 && snd_pcm_recover(node.pcm, static_cast<int>(frames), 1) < 0) return false;
      if (frames < 0) {
        snd_pcm_start(node.pcm);
        continue;
      }
      node.deliver(std::span(samples).first(static_cast<std::size_t>(frames)));
    }
  }
};

AudioEngine::AudioEngine() : impl_(std::make_unique<Impl>(std::make_unique<InputNode::Impl>())) {
  silenceAudioLibraries();
}

AudioEngine::~AudioEngine() = default;

InputNode& AudioEngine::inputNode() {
  return impl_->input;
}

void AudioEngine::prepare() {}

std::optional<Error> AudioEngine::start() {
  if (!impl_->node.open()) return Error{snd_strerror(impl_->node.openError)};
  if (int error = impl_->configure(); error < 0) return Error{snd_strerror(error)};
  impl_->stopEvent = eventfd(0, EFD_CLOEXEC);
  if (impl_->stopEvent < 0) return Error{strerror(errno)};
  impl_->running = true;
  impl_->capture = std::thread([this] { impl_->captureUntilStopped(); });
  return std::nullopt;
}

bool AudioEngine::isRunning() const {
  return impl_->running;
}

// Returns once the last buffer has been delivered.
void AudioEngine::stop() {
  impl_->running = false;
  std::uint64_t one = 1;
  if (write(impl_->stopEvent, &one, sizeof one) < 0) return;
  impl_->capture.join();
  snd_pcm_drop(impl_->node.pcm);
}
