#include "events/event.h"

Event listeningEvent() {
  return {{"listening", true}};
}

Event transcriptEvent(std::string_view text, bool isFinal) {
  return {{"text", text}, {"final", isFinal}};
}

Event errorEvent(std::string_view message) {
  return {{"error", message}};
}

std::optional<std::string> eventLine(const Event& event) {
  try {
    constexpr int compact = -1;
    constexpr bool ensureAscii = false;
    return event.dump(compact, ' ', ensureAscii, Event::error_handler_t::strict) + '\n';
  } catch (const std::exception&) {
    return std::nullopt;
  }
}
