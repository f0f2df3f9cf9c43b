#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/locale.h"

// The files of one installed PocketSphinx language model.
struct LanguageModel {
  std::filesystem::path acousticModel;  // a directory
  std::filesystem::path languageModel;
  std::filesystem::path dictionary;

  // Every file the decoder will open.
  std::vector<std::filesystem::path> files() const;
  // Whether every file is there and readable.
  bool isComplete() const;
};

// The model's name for a locale ("en-US" is "en-us"), or none when the identifier is not a
// plain language tag and so must never reach a path.
std::optional<std::string> modelTag(std::string_view localeIdentifier);

// The model installed for the locale, first in the user's data directory, then in PocketSphinx's
// own model directory; none when neither has one.
std::optional<LanguageModel> findLanguageModel(const Locale& locale);
