#pragma once

// The audio and speech libraries print to standard output and error by default. These send their
// messages nowhere; each must run before the library first speaks.
void silenceAudioLibraries();
void silenceSpeechLibrary();
