#pragma once

#include <optional>

#include "platform/error.h"
#include "platform/speech.h"

// Prints every result; the final one ends the process. An error while capturing is a failure;
// after the capture was stopped it is the recognizer's way of ending.
void handleRecognitionResult(const std::optional<RecognitionResult>& result,
                             const std::optional<Error>& error);
