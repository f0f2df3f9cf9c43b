#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

// A flat map from keys to strings or booleans. Keys keep the order they were added in.
using Event = nlohmann::ordered_json;

Event listeningEvent();
Event transcriptEvent(std::string_view text, bool isFinal);
Event errorEvent(std::string_view message);

// The event as one compact JSON line ending in a line feed; none when it cannot be written as
// valid UTF-8 JSON.
std::optional<std::string> eventLine(const Event& event);
