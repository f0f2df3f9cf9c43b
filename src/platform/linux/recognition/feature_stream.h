#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct cmd_ln_s;
struct fe_s;

// Cepstral frames of one frame shift each: what the acoustic model hears.
inline constexpr int cepstralCoefficients = 13;
using CepstralFrame = std::array<float, cepstralCoefficients>;

// The decoder's front end run on its own, for a whole dictation: turns samples into the
// cepstra of speech and drops the silence between. Its noise estimate and voice detector carry
// on across utterances, so that they stay adapted to the room; the same samples give the same
// frames however they are cut into pieces.
class FeatureStream {
 public:
  // Frames per second of audio.
  static constexpr int frameRate = 100;

  explicit FeatureStream(cmd_ln_s* config);
  ~FeatureStream();
  FeatureStream(const FeatureStream&) = delete;
  FeatureStream& operator=(const FeatureStream&) = delete;

  // Appends the frames of speech the samples complete to `frames`.
  void process(std::span<const std::int16_t> samples, std::vector<CepstralFrame>& frames);
  // Appends the frames still held back once the audio has ended.
  void finish(std::vector<CepstralFrame>& frames);
  // Whether the voice detector is within speech: a pause ends it.
  bool inSpeech() const;
  // The position in the stream, in frames, of the first frame of the speech being heard.
  std::int64_t speechStart() const { return speechStart_; }

 private:
  fe_s* frontEnd_;
  float** buffer_;
  std::int64_t speechStart_ = 0;
};
