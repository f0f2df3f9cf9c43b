#include "platform/linux/recognition/feature_stream.h"

#include <sphinxbase/ckd_alloc.h>
#include <sphinxbase/fe.h>

#include <algorithm>

namespace {

// Room for the frames the voice detector holds back before speech, and those of one piece.
constexpr int bufferFrames = 256;

}  // namespace

FeatureStream::FeatureStream(cmd_ln_t* config)
    : frontEnd_(fe_init_auto_r(config)),
      buffer_(
          static_cast<float**>(ckd_calloc_2d(bufferFrames, cepstralCoefficients, sizeof(mfcc_t)))) {
  fe_start_stream(frontEnd_);
  fe_start_utt(frontEnd_);
}

FeatureStream::~FeatureStream() {
  ckd_free_2d(buffer_);
  fe_free(frontEnd_);
}

void FeatureStream::process(std::span<const std::int16_t> samples,
                            std::vector<CepstralFrame>& frames) {
  const std::int16_t* next = samples.data();
  std::size_t left = samples.size();
  do {
    bool wasInSpeech = inSpeech();
    std::int32_t count = bufferFrames, firstFrame = 0;
    fe_process_frames(frontEnd_, &next, &left, buffer_, &count, &firstFrame);
    if (!wasInSpeech && count > 0) speechStart_ = firstFrame;
    for (std::int32_t i = 0; i < count; ++i) {
      CepstralFrame& frame = frames.emplace_back();
      std::copy_n(buffer_[i], cepstralCoefficients, frame.begin());
    }
  } while (left > 0);
}

void FeatureStream::finish(std::vector<CepstralFrame>& frames) {
  std::int32_t count = 0;
  fe_end_utt(frontEnd_, buffer_[0], &count);
  if (count > 0) std::copy_n(buffer_[0], cepstralCoefficients, frames.emplace_back().begin());
}

bool FeatureStream::inSpeech() const {
  return fe_get_vad_state(frontEnd_);
}
