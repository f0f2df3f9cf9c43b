#include "dictation/state.h"

std::unique_ptr<AudioEngine> engine;
std::unique_ptr<RecognitionRequest> request;
std::unique_ptr<RecognitionTask> task;
