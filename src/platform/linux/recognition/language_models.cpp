#include "platform/linux/recognition/language_models.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ranges>
#include <string_view>

namespace {

namespace fs = std::filesystem;

// The files every acoustic model directory holds; the mixture weights come in one of two forms.
constexpr const char* acousticModelFiles[] = {"mdef",      "means",       "variances",
                                              "noisedict", "feat.params", "transition_matrices"};
constexpr const char* mixtureWeightFiles[] = {"sendump", "mixture_weights"};

bool isReadableFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) && access(path.c_str(), R_OK) == 0;
}

fs::path userModelDirectory() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    return fs::path(data) / "pocketsphinx/model";
  }
  const char* home = std::getenv("HOME");
  return fs::path(home ? home : "/") / ".local/share/pocketsphinx/model";
}

// Laid out as PocketSphinx's packages lay out theirs: "en-us/en-us/" holds the acoustic model,
// beside it "en-us/en-us.lm.bin" and "en-us/cmudict-en-us.dict".
LanguageModel modelIn(const fs::path& directory, const std::string& tag) {
  return {directory / tag, directory / (tag + ".lm.bin"), directory / ("cmudict-" + tag + ".dict")};
}

// "en", "en-US", "zh-Hant-TW": two or three ASCII letters, then any number of subtags of two to
// eight ASCII letters or digits, each after one hyphen.
bool isLanguageTag(std::string_view tag) {
  auto isAsciiLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto isAsciiLetterOrDigit = [&](char c) { return isAsciiLetter(c) || (c >= '0' && c <= '9'); };
  if (tag.empty()) return false;
  bool language = true;
  for (auto part : std::views::split(tag, '-')) {
    std::string_view subtag(part.begin(), part.end());
    bool valid = language ? subtag.size() >= 2 && subtag.size() <= 3 &&
                                std::ranges::all_of(subtag, isAsciiLetter)
                          : subtag.size() >= 2 && subtag.size() <= 8 &&
                                std::ranges::all_of(subtag, isAsciiLetterOrDigit);
    if (!valid) return false;
    language = false;
  }
  return true;
}

}  // namespace

std::vector<fs::path> LanguageModel::files() const {
  std::vector<fs::path> all{languageModel, dictionary};
  for (const char* name : acousticModelFiles) all.push_back(acousticModel / name);
  // Either form of the mixture weights will do; with neither, the first is the one missing.
  auto weights =
      std::find_if(std::begin(mixtureWeightFiles), std::end(mixtureWeightFiles),
                   [this](const char* name) { return fs::exists(acousticModel / name); });
  all.push_back(acousticModel /
                (weights != std::end(mixtureWeightFiles) ? *weights : mixtureWeightFiles[0]));
  return all;
}

bool LanguageModel::isComplete() const {
  auto all = files();
  return std::all_of(all.begin(), all.end(), isReadableFile);
}

std::optional<std::string> modelTag(std::string_view localeIdentifier) {
  if (!isLanguageTag(localeIdentifier)) return std::nullopt;
  std::string tag(localeIdentifier);
  std::transform(tag.begin(), tag.end(), tag.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return tag;
}

std::optional<LanguageModel> findLanguageModel(const Locale& locale) {
  auto tag = modelTag(locale.identifier);
  if (!tag) return std::nullopt;
  for (const fs::path& directory : {userModelDirectory(), fs::path(POCKETSPHINX_MODEL_DIRECTORY)}) {
    std::error_code error;
    if (fs::is_directory(directory / *tag, error)) return modelIn(directory / *tag, *tag);
  }
  return std::nullopt;
}
