#include "platform/linux/recognition/adaptive_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/linux/quiet_libraries.h"
#include "platform/linux/capture/resampler.h"
#include "platform/recordings.h"

namespace {

std::vector<std::int16_t> roomNoise(double seconds, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0, 30);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * 16000));
  for (auto& sample : samples) sample = static_cast<std::int16_t>(noise(random));
  return samples;
}

std::vector<std::int16_t> joined(std::initializer_list<std::vector<std::int16_t>> parts) {
  std::vector<std::int16_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string spoken(const std::vector<SpokenWord>& words) {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : " ") + word.spelling;
  return text;
}

class AdaptiveDecoderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    silenceSpeechLibrary();
    auto model = findLanguageModel(Locale{"en-US"});
    ASSERT_TRUE(model);
    decoder_ = SpeechDecoder::load(*model).release();
    ASSERT_TRUE(decoder_);
  }

  struct Dictation {
    std::vector<std::string> partials;  // each distinct text, in order
    std::string final;
    std::int64_t pathScore = 0;
  };

  // Feeds the samples in pieces of `piece` samples, as the recognition task does.
  static Dictation dictate(const std::vector<std::int16_t>& samples, std::size_t piece) {
    Dictation result;
    AdaptiveDecoder dictation(*decoder_, [] {});
    auto record = [&] {
      std::string text = spoken(dictation.words());
      if (result.partials.empty() || result.partials.back() != text)
        result.partials.push_back(text);
    };
    for (std::size_t at = 0; at < samples.size(); at += piece) {
      std::size_t count = std::min(piece, samples.size() - at);
      dictation.process(std::span(samples).subspan(at, count), record);
    }
    dictation.hurry(AdaptiveDecoder::Clock::time_point::max());
    dictation.finish();
    result.final = spoken(dictation.words());
    result.pathScore = dictation.pathScore();
    return result;
  }

  static SpeechDecoder* decoder_;
};

SpeechDecoder* AdaptiveDecoderTest::decoder_ = nullptr;

TEST_F(AdaptiveDecoderTest, GivesTheSameTextsAndScoresHoweverTheAudioIsCut) {
  auto audio = joined({roomNoise(1.0, 1), recording("goforward.raw"), roomNoise(0.8, 2),
                       recording("something.raw")});
  Dictation reference = dictate(audio, 1024);
  EXPECT_EQ(reference.final, "go forward ten meters go somewhere and do something");
  EXPECT_GT(reference.partials.size(), 4u);
  EXPECT_NE(reference.pathScore, 0);
  for (std::size_t piece : {256, 4096, 777}) {
    Dictation cut = dictate(audio, piece);
    EXPECT_EQ(cut.partials, reference.partials) << piece;
    EXPECT_EQ(cut.final, reference.final) << piece;
    EXPECT_EQ(cut.pathScore, reference.pathScore) << piece;
  }
}

TEST_F(AdaptiveDecoderTest, HearsSpeechAfterALongPauseInNoise) {
  // Longer than the capture ring holds, and most of it before a word is said.
  auto audio = joined({roomNoise(45, 3), recording("goforward.raw"), roomNoise(0.5, 4)});
  EXPECT_EQ(dictate(audio, 1024).final, "go forward ten meters");
}

TEST_F(AdaptiveDecoderTest, HearsSpeechFromTheFirstSample) {
  EXPECT_EQ(dictate(recording("goforward.raw"), 1024).final, "go forward ten meters");
  EXPECT_EQ(dictate(recording("something.raw"), 1024).final, "go somewhere and do something");
}

TEST_F(AdaptiveDecoderTest, HearsNothingInSilenceOrNoise) {
  EXPECT_EQ(dictate(std::vector<std::int16_t>(16000 * 3), 1024).final, "");
  EXPECT_EQ(dictate(roomNoise(3, 5), 1024).final, "");
  EXPECT_EQ(dictate({}, 1024).final, "");
}

TEST_F(AdaptiveDecoderTest, KeepsTheWordsHeardWhenAudioEndsMidWord) {
  auto audio = recording("goforward.raw");
  audio.resize(static_cast<std::size_t>(1.9 * 16000));  // within "meters"
  EXPECT_TRUE(dictate(audio, 1024).final.starts_with("go forward ten"));
}

TEST_F(AdaptiveDecoderTest, PlacesWordsOnTheDictationsClock) {
  auto pause = roomNoise(2, 6);
  AdaptiveDecoder dictation(*decoder_, [] {});
  dictation.process(joined({pause, recording("goforward.raw")}), [] {});
  dictation.hurry(AdaptiveDecoder::Clock::time_point::max());
  dictation.finish();
  auto words = dictation.words();
  ASSERT_FALSE(words.empty());
  EXPECT_GE(words.front().firstFrame, 200);
  for (std::size_t i = 1; i < words.size(); ++i) {
    EXPECT_GT(words[i].firstFrame, words[i - 1].lastFrame);
  }
  EXPECT_EQ(dictation.settledWords(), words.size());
  EXPECT_EQ(dictation.heardFrames(), static_cast<std::int64_t>(pause.size() + 44580) / 160);
}

TEST_F(AdaptiveDecoderTest, ADeadlineInASecondDecodingKeepsTheFirstOnesWordsAndGoesOn) {
  // The deadline passes in the middle of the first second decoding long enough to be cut.
  AdaptiveDecoder* decoding = nullptr;
  std::int64_t lastHeard = -1, cutAt = -1;
  auto progress = [&] {
    bool secondDecoding = decoding->heardFrames() == lastHeard;
    lastHeard = decoding->heardFrames();
    if (secondDecoding && cutAt < 0 && lastHeard > 2 * FeatureStream::frameRate) {
      cutAt = lastHeard;
      decoding->hurry(AdaptiveDecoder::Clock::now());
    }
  };
  AdaptiveDecoder dictation(*decoder_, progress);
  decoding = &dictation;
  auto audio = joined({recording("goforward.raw"), recording("something.raw")});
  dictation.process(audio, [] {});
  dictation.finish();
  ASSERT_GT(cutAt, 0);
  auto words = dictation.words();
  ASSERT_FALSE(words.empty());
  EXPECT_LT(words.front().firstFrame, cutAt);
  EXPECT_GT(words.back().firstFrame, cutAt + FeatureStream::frameRate);
  for (std::size_t i = 1; i < words.size(); ++i) {
    EXPECT_GT(words[i].firstFrame, words[i - 1].lastFrame);
  }
  EXPECT_EQ(dictation.settledWords(), words.size());
}

TEST(Resampler, GivesTheSameSamplesHoweverTheInputIsCut) {
  std::vector<float> input(48000);
  for (std::size_t i = 0; i < input.size(); ++i) {
    input[i] = 0.5f * static_cast<float>(std::sin(static_cast<double>(i) * 0.05));
  }
  auto convert = [&](std::size_t piece) {
    Resampler resampler(48000, 16000);
    std::vector<std::int16_t> output;
    for (std::size_t at = 0; at < input.size(); at += piece) {
      auto out =
          resampler.process(std::span(input).subspan(at, std::min(piece, input.size() - at)));
      output.insert(output.end(), out.begin(), out.end());
    }
    auto rest = resampler.flush();
    output.insert(output.end(), rest.begin(), rest.end());
    return output;
  };
  auto reference = convert(1024);
  EXPECT_NEAR(static_cast<double>(reference.size()), 16000, 2);
  for (std::size_t piece : {256, 4096, 1000}) EXPECT_EQ(convert(piece), reference) << piece;
}

}  // namespace
