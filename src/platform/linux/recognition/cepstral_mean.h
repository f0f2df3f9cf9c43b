#pragma once

#include <array>
#include <span>

#include "platform/linux/recognition/feature_stream.h"

// The mean of this dictation's cepstra of speech, which the decoder subtracts from every frame
// so that the microphone, the room and the voice cancel out. Until enough speech has been heard
// the model's own starting value weighs in, as if it had been heard for a short while.
class CepstralMean {
 public:
  explicit CepstralMean(const CepstralFrame& modelStart) : modelStart_(modelStart) {}

  void add(std::span<const CepstralFrame> frames);
  // Takes back frames added before, once they turn out not to be speech.
  void remove(std::span<const CepstralFrame> frames);
  CepstralFrame value() const;
  // How many frames of speech the mean has been taken over.
  long frames() const { return frames_; }

 private:
  CepstralFrame modelStart_;
  std::array<double, cepstralCoefficients> sum_{};
  long frames_ = 0;
};
