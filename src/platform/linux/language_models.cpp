#include "platform/linux/language_models.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

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
  static const std::regex languageTag("[A-Za-z]{2,3}(-[A-Za-z0-9]{2,8})*");
  std::string tag(localeIdentifier);
  if (!std::regex_match(tag, languageTag)) return std::nullopt;
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
