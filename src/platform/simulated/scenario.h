#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/permissions.h"
#include "platform/speech.h"

// What the simulated platform plays, read once from the JSON file that the environment variable
// PILTO_SIMULATION names. Every field has a default that lets a dictation start.
namespace simulation {

using Milliseconds = std::chrono::milliseconds;

struct RecognizerSetup {
  bool available = true;
  bool onDevice = true;
};

// One call of the recognition handler, `delay` after the previous one, or after the end of the
// audio when `afterEndAudio` is set.
struct Delivery {
  Milliseconds delay{0};
  bool afterEndAudio = false;
  std::optional<RecognitionResult> result;
  std::optional<Error> error;
};

struct Scenario {
  SpeechAuthorizationStatus authorization = speechAuthorizationAuthorized;
  Milliseconds authorizationDelay{0};
  bool microphoneGranted = true;
  Milliseconds microphoneDelay{0};
  std::string locale = "en-US";
  std::map<std::string, RecognizerSetup> recognizers = {{"en-US", {}}};
  double sampleRate = 48000;
  std::optional<std::string> engineStartError;
  Milliseconds engineStartDelay{0};
  int bufferCount = 3;
  Milliseconds bufferInterval{20};
  std::vector<Delivery> deliveries;
  // Where to record what the program asked of the platform, one line per call; nowhere if empty.
  std::string recordPath;
};

const Scenario& scenario();

// Appends one line to the record.
void record(const std::string& line);

}  // namespace simulation
