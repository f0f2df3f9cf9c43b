#include "dictation/start.h"

#include <string>

#include "dictation/commands.h"
#include "dictation/results.h"
#include "dictation/state.h"
#include "events/emit.h"
#include "events/messages.h"
#include "platform/dispatch.h"
#include "platform/speech.h"

namespace {

constexpr std::uint32_t tapBufferSize = 1024;

// The user's own language if the platform recognizes it, US English otherwise.
std::unique_ptr<SpeechRecognizer> createRecognizer() {
  auto recognizer = SpeechRecognizer::create(Locale::current());
  if (!recognizer) recognizer = SpeechRecognizer::create(Locale{"en-US"});
  if (!recognizer) fail(messages::speechRecognitionUnavailable);
  return recognizer;
}

void configureRequest(const SpeechRecognizer& recognizer) {
  request->setShouldReportPartialResults(true);
  request->setAddsPunctuation(true);
  if (recognizer.supportsOnDeviceRecognition()) request->setRequiresOnDeviceRecognition(true);
}

void startCapture() {
  InputNode& input = engine->inputNode();
  AudioFormat format = input.outputFormat(inputBus);
  // Written so that a NaN rate fails too.
  if (!(format.sampleRate > 0)) fail(messages::noMicrophone);
  input.installTap(inputBus, tapBufferSize, format, handleAudioBuffer);
  engine->prepare();
  if (auto error = engine->start()) {
    fail(std::string(messages::microphoneStartFailedPrefix) + error->localizedDescription);
  }
}

}  // namespace

void start() {
  auto recognizer = createRecognizer();
  if (!recognizer->isAvailable()) fail(messages::speechRecognitionUnavailable);
  configureRequest(*recognizer);
  startCapture();
  emit(listeningEvent());
  task = recognizer->recognitionTask(*request, handleRecognitionResult);
  beginTakingCommands();
}

void handleAudioBuffer(const AudioBuffer& buffer, const AudioTime&) {
  request->append(buffer);
}
