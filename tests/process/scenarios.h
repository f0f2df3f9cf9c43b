#pragma once

#include <nlohmann/json.hpp>

// Scenarios that end quickly, so that tests need not wait for the stop deadline.
namespace scenarios {

// The recognizer delivers a final "Done." shortly after it starts.
inline nlohmann::json endingSoon(nlohmann::json scenario = nlohmann::json::object()) {
  scenario["deliveries"] = {{{"afterMs", 100}, {"text", "Done."}, {"final", true}}};
  return scenario;
}

// The recognizer delivers a final "Done." as soon as the audio has ended.
inline nlohmann::json endingAtStop(nlohmann::json scenario = nlohmann::json::object()) {
  scenario["deliveries"] = {{{"afterEndAudio", true}, {"text", "Done."}, {"final", true}}};
  return scenario;
}

}  // namespace scenarios
