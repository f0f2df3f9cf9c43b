#pragma once

#include <atomic>
#include <chrono>

#include "platform/linux/capture/sample_ring.h"
#include "platform/speech.h"

// 43 s of mono audio at 48 kHz: room for the time the model takes to load, and then some.
inline constexpr std::size_t ringCapacity = std::size_t{1} << 21;

// The audio thread writes captured samples into the ring; the recognition task reads them.
struct RecognitionRequest::Impl {
  SampleRing ring{ringCapacity};
  std::atomic<double> sampleRate{0};
  // Capture gave up on a lost device: no more audio will come.
  std::atomic<bool> inputLost{false};
  // When the audio ended, on the steady clock; zero until then.
  std::atomic<std::chrono::steady_clock::rep> endedAt{0};
  bool reportsPartialResults = false;
};
