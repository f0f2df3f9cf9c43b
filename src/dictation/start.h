#pragma once

#include "platform/audio.h"

// Picks a recognizer, connects the microphone to `request`, starts capturing and recognizing,
// and starts reading commands. Runs once, on the main queue.
void start();

// The tap on the microphone, on the audio thread: hands the buffer to `request`, nothing else.
void handleAudioBuffer(const AudioBuffer& buffer, const AudioTime& time);
