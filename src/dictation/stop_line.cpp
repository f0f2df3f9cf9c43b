#include "dictation/stop_line.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Tab and the Unicode space separators, in UTF-8. Line breaks are not among them.
constexpr std::array<std::string_view, 18> whitespace = {
    "\t",     " ",      "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004",
    "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F", "\u3000"};

std::size_t leadingWhitespaceLength(std::string_view text) {
  for (auto space : whitespace) {
    if (text.starts_with(space)) return space.size();
  }
  return 0;
}

std::size_t trailingWhitespaceLength(std::string_view text) {
  for (auto space : whitespace) {
    if (text.ends_with(space)) return space.size();
  }
  return 0;
}

// Drops leading whitespace and shortens each run of whitespace to its first character. Neither
// changes whether the line trims to "stop".
void squeezeWhitespace(std::string& line) {
  std::size_t kept = 0;
  bool afterWhitespace = true;  // so that leading whitespace goes too
  for (std::size_t next = 0; next < line.size();) {
    std::size_t spaceLength = leadingWhitespaceLength(std::string_view(line).substr(next));
    std::size_t length = std::max<std::size_t>(spaceLength, 1);
    if (spaceLength == 0 || !afterWhitespace) {
      std::memmove(line.data() + kept, line.data() + next, length);
      kept += length;
    }
    afterWhitespace = spaceLength > 0;
    next += length;
  }
  line.resize(kept);
}

// Adds bytes to the held line without changing what `isStopLine` answers for it.
void appendToLine(std::string& line, std::string_view bytes) {
  for (;;) {
    auto fits = bytes.substr(0, stopLineCapacity - line.size());
    line.append(fits);
    bytes.remove_prefix(fits.size());
    if (bytes.empty()) return;
    squeezeWhitespace(line);
    // Squeezed, a stop line takes a handful of bytes; this one can never become one.
    if (line.size() > stopLineCapacity / 2) return;
  }
}

}  // namespace

bool isStopLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  while (auto length = leadingWhitespaceLength(line)) line.remove_prefix(length);
  while (auto length = trailingWhitespaceLength(line)) line.remove_suffix(length);
  return line == "stop";
}

bool scanForStopLine(std::string& heldLine, std::string_view bytes) {
  for (auto end = bytes.find('\n'); end != bytes.npos; end = bytes.find('\n')) {
    appendToLine(heldLine, bytes.substr(0, end));
    if (isStopLine(heldLine)) return true;
    heldLine.clear();
    bytes.remove_prefix(end + 1);
  }
  appendToLine(heldLine, bytes);
  return false;
}
