#pragma once

#include <memory>

#include "platform/audio.h"
#include "platform/speech.h"

// The process-wide objects: created by `main`, kept until the process exits.
extern std::unique_ptr<AudioEngine> engine;
extern std::unique_ptr<RecognitionRequest> request;
extern std::unique_ptr<RecognitionTask> task;

// The microphone's bus on the engine's input node.
inline constexpr AudioBus inputBus = 0;
