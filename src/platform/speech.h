#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio.h"
#include "platform/error.h"
#include "platform/locale.h"

struct Transcription {
  std::string formattedString;
};

struct RecognitionResult {
  Transcription bestTranscription;
  bool isFinal = false;
};

// Called any number of times with a result, an error, both or neither. A final result is the
// last one.
using RecognitionHandler =
    std::function<void(const std::optional<RecognitionResult>&, const std::optional<Error>&)>;

// The stream of audio a recognition task listens to. `append` may be called from the audio
// thread while the rest of the program runs elsewhere.
class RecognitionRequest {
 public:
  struct Impl;

  RecognitionRequest();
  ~RecognitionRequest();
  RecognitionRequest(const RecognitionRequest&) = delete;
  RecognitionRequest& operator=(const RecognitionRequest&) = delete;

  void setShouldReportPartialResults(bool on);
  void setAddsPunctuation(bool on);
  void setRequiresOnDeviceRecognition(bool on);

  void append(const AudioBuffer& buffer);
  // The recognizer finishes with the audio it has and still calls the handler.
  void endAudio();

 private:
  friend class SpeechRecognizer;
  std::shared_ptr<Impl> impl_;
};

// A running recognition. It keeps alive everything it needs until the process ends.
class RecognitionTask {
 public:
  struct Impl;

  explicit RecognitionTask(std::shared_ptr<Impl> impl);
  ~RecognitionTask();
  RecognitionTask(const RecognitionTask&) = delete;
  RecognitionTask& operator=(const RecognitionTask&) = delete;

 private:
  std::shared_ptr<Impl> impl_;
};

class SpeechRecognizer {
 public:
  struct Impl;

  // None when the platform has no recognizer for the locale.
  static std::unique_ptr<SpeechRecognizer> create(const Locale& locale);

  explicit SpeechRecognizer(std::unique_ptr<Impl> impl);
  ~SpeechRecognizer();
  SpeechRecognizer(const SpeechRecognizer&) = delete;
  SpeechRecognizer& operator=(const SpeechRecognizer&) = delete;

  bool isAvailable() const;
  bool supportsOnDeviceRecognition() const;

  std::unique_ptr<RecognitionTask> recognitionTask(RecognitionRequest& request,
                                                   RecognitionHandler handler);

 private:
  std::unique_ptr<Impl> impl_;
};
