// Any bytes as a transcript: either one JSON line that reads back to the same text, or, for text
// that is not UTF-8, nothing.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "events/event.h"

namespace {

// Strict UTF-8, written out independently of the serializer: no overlong forms, no surrogates,
// nothing past U+10FFFF.
bool isUtf8(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
      if ((byte(at + i) & 0xC0) != 0x80) return false;
    }
    unsigned char second = length > 1 ? byte(at + 1) : 0x80;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
      return false;
    }
    at += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto line = eventLine(transcriptEvent(text, false));
  if (!line) {
    if (isUtf8(text)) __builtin_trap();
    return 0;
  }
  if (!isUtf8(text) || line->find('\n') != line->size() - 1) __builtin_trap();
  auto event = nlohmann::json::parse(*line);
  if (event != nlohmann::json{{"text", text}, {"final", false}}) __builtin_trap();
  return 0;
}
