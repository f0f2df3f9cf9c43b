#pragma once

#include <soxr.h>

#include <cstdint>
#include <span>
#include <vector>

// Converts captured float samples to the 16-bit samples at the rate the decoder listens at.
class Resampler {
 public:
  Resampler(double inputRate, double outputRate);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  // The output ready so far; valid until the next call.
  std::span<const std::int16_t> process(std::span<const float> input);
  // What is still held back once the input has ended.
  std::span<const std::int16_t> flush();

 private:
  std::span<const std::int16_t> run(const float* input, std::size_t length);

  double ratio_;
  soxr_t soxr_;
  std::vector<std::int16_t> output_;
};
