#pragma once

#include <string>
#include <string_view>

// The text of a dictation as a person would type it into a message box: the words of finished
// utterances, then those of the one being heard, separated by single spaces, with the first word
// and the pronoun "I" capitalised. Fillers and noise markers never show; no punctuation is made up.
class Transcript {
 public:
  // Keeps the words of an utterance that has ended.
  void finishUtterance(std::string_view hypothesis);
  // The whole text, with the current utterance's hypothesis at the end.
  std::string text(std::string_view currentHypothesis = {}) const;

 private:
  std::string finished_;  // the words of finished utterances, as typed but for the capital
};
