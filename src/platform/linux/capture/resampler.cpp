#include "platform/linux/capture/resampler.h"

#include <cmath>

Resampler::Resampler(double inputRate, double outputRate) : ratio_(outputRate / inputRate) {
  soxr_io_spec_t formats = soxr_io_spec(SOXR_FLOAT32_I, SOXR_INT16_I);
  // Dither would make the same input give other samples from one run to the next.
  formats.flags |= SOXR_NO_DITHER;
  soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_ = soxr_create(inputRate, outputRate, 1, nullptr, &formats, &quality, nullptr);
}

Resampler::~Resampler() {
  soxr_delete(soxr_);
}

std::span<const std::int16_t> Resampler::process(std::span<const float> input) {
  return run(input.data(), input.size());
}

std::span<const std::int16_t> Resampler::flush() {
  return run(nullptr, 0);
}

// soxr takes all the input when the output has room for it; a null input drains it.
std::span<const std::int16_t> Resampler::run(const float* input, std::size_t length) {
  output_.clear();
  std::int16_t chunk[4096];
  for (;;) {
    std::size_t consumed = 0, produced = 0;
    soxr_process(soxr_, input, length, &consumed, chunk, std::size(chunk), &produced);
    output_.insert(output_.end(), chunk, chunk + produced);
    if (input) input += consumed;
    length -= consumed;
    if (produced < std::size(chunk) && length == 0) break;
  }
  return output_;
}
