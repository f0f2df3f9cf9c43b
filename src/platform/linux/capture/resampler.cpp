#include "platform/linux/capture/resampler.h"

#include <type_traits>

template <typename Sample>
Converter<Sample>::Converter(double inputRate, double outputRate) {
  soxr_datatype_t output = std::is_same_v<Sample, float> ? SOXR_FLOAT32_I : SOXR_INT16_I;
  soxr_io_spec_t formats = soxr_io_spec(SOXR_FLOAT32_I, output);
  // Dither would make the same input give other samples from one run to the next.
  formats.flags |= SOXR_NO_DITHER;
  soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_ = soxr_create(inputRate, outputRate, 1, nullptr, &formats, &quality, nullptr);
}

template <typename Sample>
Converter<Sample>::~Converter() {
  soxr_delete(soxr_);
}

template <typename Sample>
std::span<const Sample> Converter<Sample>::process(std::span<const float> input) {
  return run(input.data(), input.size());
}

template <typename Sample>
std::span<const Sample> Converter<Sample>::flush() {
  return run(nullptr, 0);
}

// soxr takes all the input when the output has room for it; a null input drains it.
template <typename Sample>
std::span<const Sample> Converter<Sample>::run(const float* input, std::size_t length) {
  output_.clear();
  Sample chunk[4096];
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

template class Converter<std::int16_t>;
template class Converter<float>;
