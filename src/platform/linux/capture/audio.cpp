#include "platform/audio.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/capture/recovery.h"
#include "platform/linux/capture/resampler.h"
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

// A lost device is looked for again this often, for this long, before the loss is reported.
constexpr ReopenSchedule reopenSchedule{std::chrono::milliseconds(100), std::chrono::seconds(5)};
// A driver still waking from a suspend is asked again this often, for this long.
constexpr auto resumeInterval = std::chrono::milliseconds(100);
constexpr auto resumeLimit = std::chrono::seconds(5);
// Recovered overruns in a row without a sample between them: the device is not coming back.
constexpr int mostRecoveriesInARow = 3;

}  // namespace

// The default capture device, opened when its format is first asked for.
struct InputNode::Impl {
  snd_pcm_t* pcm = nullptr;
  int openError = 0;
  TapBlock tap;
  AudioFormat format;
  std::uint32_t bufferSize = 0;

  ~Impl() { close(); }

  bool open() {
    if (!pcm && !openError)
      openError = snd_pcm_open(&pcm, captureDevice, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    return pcm;
  }

  void close() {
    if (pcm) snd_pcm_close(pcm);
    pcm = nullptr;
    openError = 0;
  }

  void deliver(std::span<const float> samples) {
    if (tap && !samples.empty()) tap(AudioBuffer{samples, format}, AudioTime{secondsNow()});
  }

  // A buffer without a rate tells the request that the input is gone for good.
  void deliverLoss() {
    if (tap) tap(AudioBuffer{{}, AudioFormat{0, format.channelCount}}, AudioTime{secondsNow()});
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
  // Set when the device came back at another rate than the dictation began at.
  std::unique_ptr<RateConverter> converter;
  std::chrono::steady_clock::time_point lastDelivery;

  enum class Ending { stopped, lost };

  // Configures the open device at its own rate; `rate` is set to it.
  int configure(unsigned int& rate) {
    snd_pcm_t* pcm = node.pcm;
    snd_pcm_hw_params_t* parameters = nullptr;
    snd_pcm_hw_params_alloca(&parameters);
    int error = constrainToCapture(pcm, parameters, rate);
    snd_pcm_uframes_t period = node.bufferSize;
    if (error >= 0) error = snd_pcm_hw_params_set_period_size_near(pcm, parameters, &period, 0);
    snd_pcm_uframes_t buffer = period * periodsPerBuffer;
    if (error >= 0) error = snd_pcm_hw_params_set_buffer_size_near(pcm, parameters, &buffer);
    if (error >= 0) error = snd_pcm_hw_params(pcm, parameters);
    if (error >= 0) error = snd_pcm_start(pcm);
    return error;
  }

  // Captures until stopped; a device that is lost is looked for again, and the loss is reported
  // only when it does not come back.
  void captureUntilStopped() {
    while (captureFromDevice() == Ending::lost) {
      Reopening reopening = reopenOnSchedule(
          reopenSchedule, [this] { return reopen(); },
          [this](std::chrono::milliseconds wait) { return silenceUntilStopped(wait); },
          [] { return std::chrono::steady_clock::now(); });
      if (reopening == Reopening::stopped) return;
      if (reopening == Reopening::gaveUp) return node.deliverLoss();
    }
  }

  // Reads until stopped or until the device is lost; then delivers what it had already
  // captured, so that the last words before the stop are heard.
  Ending captureFromDevice() {
    std::vector<float> samples(node.bufferSize);
    std::vector<pollfd> descriptors(snd_pcm_poll_descriptors_count(node.pcm) + 1);
    auto count = static_cast<unsigned int>(snd_pcm_poll_descriptors(
        node.pcm, descriptors.data(), static_cast<unsigned int>(descriptors.size() - 1)));
    descriptors.resize(count + 1);
    descriptors.back() = pollfd{stopEvent, POLLIN, 0};
    for (;;) {
      if (poll(descriptors.data(), descriptors.size(), -1) < 0) {
        if (errno == EINTR) continue;
        return Ending::lost;
      }
      if (descriptors.back().revents) break;
      unsigned short events = 0;
      // A server that went away shows as an error here, or as a hang-up; an overrun shows as
      // POLLERR, which the read recovers from.
      if (snd_pcm_poll_descriptors_revents(node.pcm, descriptors.data(), count, &events) < 0 ||
          (events & (POLLHUP | POLLNVAL))) {
        return Ending::lost;
      }
      if (events && !readAvailable(samples)) return Ending::lost;
    }
    readAvailable(samples);
    return Ending::stopped;
  }

  // False once the device is lost.
  bool readAvailable(std::vector<float>& samples) {
    for (int recoveries = 0;;) {
      snd_pcm_sframes_t frames = snd_pcm_readi(node.pcm, samples.data(), samples.size());
      if (frames == -EAGAIN || frames == 0) return true;
      if (frames == -ESTRPIPE) return resume();
      if (frames < 0) {
        if (++recoveries > mostRecoveriesInARow) return false;
        if (snd_pcm_recover(node.pcm, static_cast<int>(frames), 1) < 0) return false;
        snd_pcm_start(node.pcm);
        continue;
      }
      recoveries = 0;
      deliver(std::span(samples).first(static_cast<std::size_t>(frames)));
    }
  }

  // After a system suspend. A stop meanwhile is seen by the next poll.
  bool resume() {
    snd_pcm_t* pcm = node.pcm;
    SuspendedDevice device{[pcm] { return snd_pcm_resume(pcm); },
                           [pcm] { return snd_pcm_prepare(pcm); },
                           [pcm] { return snd_pcm_start(pcm); }};
    return resumeAfterSuspend(
               device, [this](std::chrono::milliseconds wait) { return stopped(wait); },
               resumeInterval, resumeLimit) != Resumption::lost;
  }

  void deliver(std::span<const float> samples) {
    lastDelivery = std::chrono::steady_clock::now();
    node.deliver(converter ? converter->process(samples) : samples);
  }

  // Opens the default device afresh, at whatever rate it now has.
  bool reopen() {
    node.close();
    unsigned int rate = 0;
    if (!node.open() || configure(rate) < 0) {
      node.close();
      return false;
    }
    converter.reset();
    if (rate != node.format.sampleRate) {
      converter = std::make_unique<RateConverter>(rate, node.format.sampleRate);
    }
    return true;
  }

  // While the device is away the dictation hears silence, as long as the gap: its clock goes on,
  // and no word is joined across the gap.
  bool silenceUntilStopped(std::chrono::milliseconds wait) {
    bool stop = stopped(wait);
    auto now = std::chrono::steady_clock::now();
    auto gap = std::chrono::duration<double>(now - lastDelivery).count();
    std::vector<float> silence(static_cast<std::size_t>(gap * node.format.sampleRate));
    lastDelivery = now;
    node.deliver(silence);
    return stop;
  }

  // Waits on the stop event; true once a stop has been asked for.
  bool stopped(std::chrono::milliseconds wait) {
    pollfd descriptor{stopEvent, POLLIN, 0};
    return poll(&descriptor, 1, static_cast<int>(wait.count())) > 0;
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
  unsigned int rate = 0;
  int error = impl_->configure(rate);
  if (error >= 0 && rate != impl_->node.format.sampleRate) error = -EINVAL;
  if (error < 0) return Error{snd_strerror(error)};
  impl_->stopEvent = eventfd(0, EFD_CLOEXEC);
  if (impl_->stopEvent < 0) return Error{strerror(errno)};
  impl_->running = true;
  impl_->lastDelivery = std::chrono::steady_clock::now();
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
  if (impl_->node.pcm) snd_pcm_drop(impl_->node.pcm);
}
