#include "platform/linux/recognition/cepstral_mean.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CepstralFrame filled(float value) {
  CepstralFrame frame;
  frame.fill(value);
  return frame;
}

TEST(CepstralMean, StartsFromTheModelsValue) {
  CepstralMean mean(filled(40));
  EXPECT_EQ(mean.value(), filled(40));
  EXPECT_EQ(mean.frames(), 0);
}

TEST(CepstralMean, SoonFollowsTheDictationsOwnSpeech) {
  CepstralMean mean(filled(40));
  std::vector<CepstralFrame> speech(20, filled(60));
  mean.add(speech);
  EXPECT_FLOAT_EQ(mean.value()[3], 50);  // a fifth of a second weighs as much as the model
  for (int i = 0; i < 49; ++i) mean.add(speech);
  EXPECT_NEAR(mean.value()[3], 60, 0.5);
  EXPECT_EQ(mean.frames(), 1000);
}

TEST(CepstralMean, IgnoresFramesWithoutEnergy) {
  CepstralMean mean(filled(40));
  std::vector<CepstralFrame> digitalSilence(500, filled(-3));
  mean.add(digitalSilence);
  EXPECT_EQ(mean.value(), filled(40));
  EXPECT_EQ(mean.frames(), 0);
}

TEST(CepstralMean, ForgetsFramesTakenBack) {
  CepstralMean mean(filled(40));
  std::vector<CepstralFrame> speech(100, filled(60)), noise(300, filled(10));
  mean.add(noise);
  mean.add(speech);
  mean.remove(noise);
  EXPECT_NEAR(mean.value()[5], (20 * 40 + 100 * 60) / 120.0, 1e-4);
  EXPECT_EQ(mean.frames(), 100);
}

TEST(CepstralMean, StaysExactOverLongDictations) {
  CepstralMean mean(filled(55.5f));
  std::vector<CepstralFrame> speech;
  for (int i = 0; i < 50; ++i) speech.insert(speech.end(), {filled(50), filled(61)});
  for (int i = 0; i < 3600; ++i) mean.add(speech);  // an hour
  EXPECT_NEAR(mean.value()[0], 55.5, 1e-3);
}

}  // namespace
