#include "platform/linux/recognition/cepstral_mean.h"

namespace {

// How many frames the model's starting value counts for: a fifth of a second of speech, so
// that the dictation's own voice outweighs it from the first word on.
constexpr double modelStartWeight = 20;

}  // namespace

void CepstralMean::add(std::span<const CepstralFrame> frames) {
  for (const CepstralFrame& frame : frames) {
    // Frames of no energy at all (digital silence) say nothing about the channel.
    if (frame[0] < 0) continue;
    for (int i = 0; i < cepstralCoefficients; ++i) sum_[i] += frame[i];
    ++frames_;
  }
}

void CepstralMean::remove(std::span<const CepstralFrame> frames) {
  for (const CepstralFrame& frame : frames) {
    if (frame[0] < 0) continue;
    for (int i = 0; i < cepstralCoefficients; ++i) sum_[i] -= frame[i];
    --frames_;
  }
}

CepstralFrame CepstralMean::value() const {
  CepstralFrame mean;
  double weight = modelStartWeight + static_cast<double>(frames_);
  for (int i = 0; i < cepstralCoefficients; ++i) {
    mean[i] = static_cast<float>((modelStartWeight * modelStart_[i] + sum_[i]) / weight);
  }
  return mean;
}
