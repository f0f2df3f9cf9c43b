#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "text/proper_names.h"
#include "text/spoken_word.h"

// What has been heard of a dictation so far.
struct HeardSpeech {
  std::span<const SpokenWord> words;
  // How many of the words belong to utterances that have ended: they will not change.
  std::size_t settledWords = 0;
  // How far the audio has been heard, in frames: silence after the last word counts as a pause.
  std::int64_t heardFrames = 0;
  bool isFinal = false;
};

// The text as a person would type it into a message box: sentences closed by a mark and begun
// with a capital; spoken punctuation and commands carried out; the words in their written forms.
// A partial text shows marks only for sentences that have closed, so that what it shows of them
// does not change.
std::string transcriptText(const HeardSpeech& heard, const ProperNames& names);
