#pragma once

#include <soxr.h>

#include <cstdint>
#include <span>
#include <vector>

// Converts captured float samples to another rate: to the 16-bit samples the decoder listens to,
// or to the float samples of the rate a dictation began at, when its device comes back at
// another.
template <typename Sample>
class Converter {
 public:
  Converter(double inputRate, double outputRate);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // The output ready so far; valid until the next call.
  std::span<const Sample> process(std::span<const float> input);
  // What is still held back once the input has ended.
  std::span<const Sample> flush();

 private:
  std::span<const Sample> run(const float* input, std::size_t length);

  soxr_t soxr_;
  std::vector<Sample> output_;
};

using Resampler = Converter<std::int16_t>;
using RateConverter = Converter<float>;
