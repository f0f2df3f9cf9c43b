#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "platform/error.h"

struct AudioFormat {
  double sampleRate = 0;  // Hz; not above 0 when there is no usable input
  int channelCount = 1;
};

// Captured samples, 32-bit float, channels interleaved. Valid only during the tap callback. A
// buffer whose format has no rate holds no samples: the input is gone for good.
struct AudioBuffer {
  std::span<const float> samples;
  AudioFormat format;

  std::size_t frameLength() const { return samples.size() / format.channelCount; }
};

struct AudioTime {
  double seconds = 0;  // capture time on the device clock
};

using TapBlock = std::function<void(const AudioBuffer&, const AudioTime&)>;
using AudioBus = int;

// The microphone side of the engine.
class InputNode {
 public:
  struct Impl;

  explicit InputNode(std::unique_ptr<Impl> impl);
  ~InputNode();
  InputNode(const InputNode&) = delete;
  InputNode& operator=(const InputNode&) = delete;

  AudioFormat outputFormat(AudioBus bus) const;
  // The block runs on the engine's audio thread, once per captured buffer.
  void installTap(AudioBus bus, std::uint32_t bufferSize, const AudioFormat& format,
                  TapBlock block);
  void removeTap(AudioBus bus);

 private:
  std::unique_ptr<Impl> impl_;
};

class AudioEngine {
 public:
  struct Impl;

  AudioEngine();
  ~AudioEngine();
  AudioEngine(const AudioEngine&) = delete;
  AudioEngine& operator=(const AudioEngine&) = delete;

  InputNode& inputNode();
  void prepare();
  // Nothing on success.
  std::optional<Error> start();
  // Safe to call from any thread.
  bool isRunning() const;
  void stop();

 private:
  std::unique_ptr<Impl> impl_;
};
