#include <gtest/gtest.h>
#include <soxr.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/recordings.h"
#include "platform/speech.h"

namespace {

using Microseconds = std::chrono::microseconds;

constexpr double deviceRate = 48000;

// goforward.raw as a 48 kHz microphone delivers it, with a second of quiet after the words: a
// pause that closes the sentence.
std::vector<float> capturedSpeech() {
  std::vector<std::int16_t> samples = recording("goforward.raw");
  samples.resize(samples.size() + 16000);
  std::vector<float> captured(samples.size() * 3);
  soxr_io_spec_t formats = soxr_io_spec(SOXR_INT16_I, SOXR_FLOAT32_I);
  std::size_t produced = 0;
  soxr_oneshot(16000, deviceRate, 1, samples.data(), samples.size(), nullptr, captured.data(),
               captured.size(), &produced, &formats, nullptr, nullptr);
  captured.resize(produced);
  return captured;
}

struct Transcripts {
  std::vector<std::string> partials;
  std::string final;
  int resultsAfterFinal = 0;
  bool operator==(const Transcripts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Transcripts& transcripts) {
  for (const auto& partial : transcripts.partials) out << '"' << partial << "\" ";
  return out << "final \"" << transcripts.final << '"';
}

// How the buffers arrive: how long each is, and how much faster than real time they come;
// with `jitter`, each wait is anything from none to twice its length.
struct Pace {
  std::size_t framesPerBuffer;
  double speed;
  bool jitter;
};

class RecognitionTaskTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    recognizer_ = SpeechRecognizer::create(Locale{"en-US"}).release();
    speech_ = new std::vector<float>(capturedSpeech());
  }

  enum class AudioEnds { onceFed, onceTheSentenceCloses };

  // The audio ends once the sentence has closed: however slowly the build decodes, the deadline
  // after the end of the audio then cuts nothing short.
  static Transcripts recognize(Pace pace) {
    return recognize([pace](RecognitionRequest& request) { feed(request, pace); },
                     AudioEnds::onceTheSentenceCloses);
  }

  static Transcripts recognize(const std::function<void(RecognitionRequest&)>& feedAudio,
                               AudioEnds audioEnds) {
    std::mutex mutex;
    std::condition_variable ended;
    Transcripts heard;
    bool done = false;
    RecognitionRequest request;
    request.setShouldReportPartialResults(true);
    auto task = recognizer_->recognitionTask(
        request, [&](const std::optional<RecognitionResult>& result, const std::optional<Error>&) {
          std::lock_guard lock(mutex);
          if (!result) return;
          if (done) {
            ++heard.resultsAfterFinal;
          } else if (result->isFinal) {
            heard.final = result->bestTranscription.formattedString;
            done = true;
            ended.notify_all();
          } else {
            heard.partials.push_back(result->bestTranscription.formattedString);
            if (heard.partials.back().ends_with('.')) ended.notify_all();
          }
        });
    feedAudio(request);
    std::unique_lock lock(mutex);
    if (audioEnds == AudioEnds::onceTheSentenceCloses) {
      ended.wait_for(lock, std::chrono::minutes(1), [&] {
        return !heard.partials.empty() && heard.partials.back().ends_with('.');
      });
    }
    request.endAudio();
    ended.wait(lock, [&] { return done; });
    return heard;
  }

  static void feed(RecognitionRequest& request, Pace pace) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> wait(0, pace.jitter ? 2 : 1);
    double bufferMicroseconds = 1e6 * static_cast<double>(pace.framesPerBuffer) / deviceRate;
    auto next = std::chrono::steady_clock::now();
    const std::vector<float>& speech = *speech_;
    for (std::size_t at = 0; at < speech.size(); at += pace.framesPerBuffer) {
      std::size_t count = std::min(pace.framesPerBuffer, speech.size() - at);
      request.append(AudioBuffer{std::span(speech).subspan(at, count), {deviceRate, 1}});
      next += Microseconds(static_cast<long>(bufferMicroseconds * wait(random) / pace.speed));
      std::this_thread::sleep_until(next);
    }
  }

  static SpeechRecognizer* recognizer_;
  static std::vector<float>* speech_;
};

SpeechRecognizer* RecognitionTaskTest::recognizer_ = nullptr;
std::vector<float>* RecognitionTaskTest::speech_ = nullptr;

TEST_F(RecognitionTaskTest, GivesTheSameTextsHoweverCaptureCutsAndPacesTheAudio) {
  Transcripts reference = recognize({1024, 1, false});
  EXPECT_EQ(reference.final, "Go forward 10 meters.");
  EXPECT_GT(reference.partials.size(), 4u);
  for (Pace pace : {Pace{256, 1, true}, Pace{4096, 3, false}, Pace{1024, 3, true}}) {
    EXPECT_EQ(recognize(pace), reference)
        << pace.framesPerBuffer << " frames at " << pace.speed << (pace.jitter ? " jittered" : "");
  }
}

// On a machine too busy to decode as fast as the microphone speaks, the final result comes once
// it is due with the words decoded by then, and the audio not yet decoded is left.
TEST_F(RecognitionTaskTest, FarBehindTheMicrophoneTheFinalResultBringsWhatWasDecoded) {
  constexpr int copies = 10;
  Transcripts heard = recognize(
      [](RecognitionRequest& request) {
        feed(request, {1024, 1, false});
        for (int copy = 1; copy < copies; ++copy) feed(request, {4096, 1000, false});
      },
      AudioEnds::onceFed);
  EXPECT_EQ(heard.resultsAfterFinal, 0);
  int spoken = 0;
  for (auto at = heard.final.find("Go forward"); at != std::string::npos;
       at = heard.final.find("Go forward", at + 1)) {
    ++spoken;
  }
  EXPECT_LT(spoken, copies) << heard;
  if (!heard.partials.empty()) {
    EXPECT_EQ(heard.final.rfind("Go", 0), 0u) << heard;
  }
}

}  // namespace
