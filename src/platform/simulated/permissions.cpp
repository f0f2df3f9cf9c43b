#include "platform/permissions.h"

#include <thread>

#include "platform/simulated/scenario.h"

using namespace simulation;

void requestSpeechAuthorization(std::function<void(SpeechAuthorizationStatus)> completion) {
  record("speech authorization requested");
  std::thread([completion = std::move(completion)] {
    std::this_thread::sleep_for(scenario().authorizationDelay);
    completion(scenario().authorization);
  }).detach();
}

void requestMicrophoneAccess(std::function<void(bool)> completion) {
  record("microphone access requested");
  std::thread([completion = std::move(completion)] {
    std::this_thread::sleep_for(scenario().microphoneDelay);
    completion(scenario().microphoneGranted);
  }).detach();
}
