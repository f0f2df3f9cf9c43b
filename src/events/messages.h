#pragma once

#include <string_view>

// The fixed texts of error events. Hosts may show them to the user as they are.
namespace messages {

inline constexpr std::string_view speechRecognitionNotAllowed =
    "Pilto isn't allowed to use speech recognition. Turn it on in System Settings → Privacy & "
    "Security → Speech Recognition.";
inline constexpr std::string_view microphoneNotAllowed =
    "Pilto isn't allowed to use the microphone. Turn it on in System Settings → Privacy & "
    "Security → Microphone.";
inline constexpr std::string_view speechRecognitionUnavailable =
    "Speech recognition isn't available right now.";
inline constexpr std::string_view noMicrophone = "No microphone found.";
// Followed directly by the engine's own description of what went wrong.
inline constexpr std::string_view microphoneStartFailedPrefix = "Couldn't start the microphone: ";

}  // namespace messages
