#pragma once

// The exact lines a host sees, written out here rather than taken from the program so that a
// changed byte in a message fails the tests.
namespace expected {

inline constexpr const char* listening = R"({"listening":true})";
inline constexpr const char* speechRecognitionNotAllowed =
    R"({"error":"Pilto isn't allowed to use speech recognition. Turn it on in System Settings )"
    "\xE2\x86\x92"
    R"( Privacy & Security )"
    "\xE2\x86\x92"
    R"( Speech Recognition."})";
inline constexpr const char* microphoneNotAllowed =
    R"({"error":"Pilto isn't allowed to use the microphone. Turn it on in System Settings )"
    "\xE2\x86\x92"
    R"( Privacy & Security )"
    "\xE2\x86\x92"
    R"( Microphone."})";
inline constexpr const char* speechRecognitionUnavailable =
    R"({"error":"Speech recognition isn't available right now."})";
inline constexpr const char* noMicrophone = R"({"error":"No microphone found."})";

}  // namespace expected
