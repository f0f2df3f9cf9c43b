#include "platform/simulated/scenario.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

namespace simulation {
namespace {

using nlohmann::json;

Milliseconds millisecondsAt(const json& object, const char* key) {
  return Milliseconds(object.value(key, 0));
}

// JSON has no NaN, so a scenario writes it as the string "nan".
double sampleRateFrom(const json& value) {
  return value.is_string() && value == "nan" ? std::nan("") : value.get<double>();
}

Delivery deliveryFrom(const json& object) {
  Delivery delivery;
  delivery.delay = millisecondsAt(object, "afterMs");
  delivery.afterEndAudio = object.value("afterEndAudio", false);
  if (object.contains("text")) {
    delivery.result = RecognitionResult{{object["text"]}, object.value("final", false)};
  }
  if (object.contains("error")) delivery.error = Error{object["error"]};
  return delivery;
}

Scenario scenarioFrom(const json& object) {
  Scenario s;
  s.authorization = object.value("authorization", s.authorization);
  s.authorizationDelay = millisecondsAt(object, "authorizationDelayMs");
  s.microphoneGranted = object.value("microphone", s.microphoneGranted);
  s.microphoneDelay = millisecondsAt(object, "microphoneDelayMs");
  s.locale = object.value("locale", s.locale);
  if (object.contains("recognizers")) {
    s.recognizers.clear();
    for (const auto& [locale, setup] : object["recognizers"].items()) {
      s.recognizers[locale] = {setup.value("available", true), setup.value("onDevice", true)};
    }
  }
  if (object.contains("sampleRate")) s.sampleRate = sampleRateFrom(object["sampleRate"]);
  if (object.contains("engineStartError")) s.engineStartError = object["engineStartError"];
  s.engineStartDelay = millisecondsAt(object, "engineStartDelayMs");
  s.bufferCount = object.value("buffers", s.bufferCount);
  s.bufferInterval = Milliseconds(object.value("bufferIntervalMs", s.bufferInterval.count()));
  for (const auto& delivery : object.value("deliveries", json::array())) {
    s.deliveries.push_back(deliveryFrom(delivery));
  }
  s.recordPath = object.value("record", "");
  return s;
}

Scenario loadScenario() {
  const char* path = std::getenv("PILTO_SIMULATION");
  if (!path) return Scenario{};
  // A missing or malformed scenario is a broken test; dying by a signal makes it fail loudly.
  try {
    return scenarioFrom(json::parse(std::ifstream(path)));
  } catch (const json::exception&) {
    std::abort();
  }
}

}  // namespace

const Scenario& scenario() {
  static const Scenario loaded = loadScenario();
  return loaded;
}

void record(const std::string& line) {
  static const int fd =
      scenario().recordPath.empty()
          ? -1
          : open(scenario().recordPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::string whole = line + '\n';
  [[maybe_unused]] auto written = write(fd, whole.data(), whole.size());
}

}  // namespace simulation
