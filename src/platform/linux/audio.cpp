#include "platform/audio.h"

#include <portaudio.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "platform/linux/quiet_libraries.h"

namespace {

std::string describe(PaError error) {
  std::string description = Pa_GetErrorText(error);
  if (error == paUnanticipatedHostError) {
    const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
    if (host && host->errorText && *host->errorText)
      description += std::string(": ") + host->errorText;
  }
  return description;
}

}  // namespace

// The default input device, one channel of 32-bit floats at the device's own rate.
struct InputNode::Impl {
  TapBlock tap;
  AudioFormat format;
  std::uint32_t bufferSize = 0;

  static int deliver(const void* input, void*, unsigned long frames,
                     const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* node) {
    auto& self = *static_cast<Impl*>(node);
    if (!input || !self.tap) return paContinue;
    std::span samples(static_cast<const float*>(input), frames);
    self.tap(AudioBuffer{samples, self.format}, AudioTime{time->inputBufferAdcTime});
    return paContinue;
  }
};

InputNode::InputNode(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
InputNode::~InputNode() = default;

AudioFormat InputNode::outputFormat(AudioBus) const {
  PaDeviceIndex device = Pa_GetDefaultInputDevice();
  const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
  if (!info || info->maxInputChannels < 1) return AudioFormat{0, 1};
  return AudioFormat{info->defaultSampleRate, 1};
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

  InputNode::Impl& node;
  InputNode input;
  PaStream* stream = nullptr;
  std::atomic<bool> running{false};

  PaError open() {
    PaStreamParameters parameters{};
    parameters.device = Pa_GetDefaultInputDevice();
    if (parameters.device == paNoDevice) return paNoDevice;
    parameters.channelCount = 1;
    parameters.sampleFormat = paFloat32;
    parameters.suggestedLatency = Pa_GetDeviceInfo(parameters.device)->defaultLowInputLatency;
    return Pa_OpenStream(&stream, &parameters, nullptr, node.format.sampleRate, node.bufferSize,
                         paClipOff, InputNode::Impl::deliver, &node);
  }
};

AudioEngine::AudioEngine() : impl_(std::make_unique<Impl>(std::make_unique<InputNode::Impl>())) {
  silenceAudioLibraries();
  Pa_Initialize();
}

AudioEngine::~AudioEngine() = default;

InputNode& AudioEngine::inputNode() {
  return impl_->input;
}

void AudioEngine::prepare() {}

std::optional<Error> AudioEngine::start() {
  PaError error = impl_->stream ? paNoError : impl_->open();
  if (error == paNoError) error = Pa_StartStream(impl_->stream);
  if (error != paNoError) return Error{describe(error)};
  impl_->running = true;
  return std::nullopt;
}

bool AudioEngine::isRunning() const {
  return impl_->running;
}

// Returns once the last buffer has been delivered.
void AudioEngine::stop() {
  impl_->running = false;
  Pa_StopStream(impl_->stream);
}
