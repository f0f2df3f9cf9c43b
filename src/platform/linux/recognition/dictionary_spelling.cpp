#include "platform/linux/recognition/dictionary_spelling.h"

std::optional<std::string> dictionarySpelling(std::string_view segment) {
  if (segment.empty() || segment.front() == '<' || segment.front() == '[' ||
      segment.front() == '+') {
    return std::nullopt;
  }
  auto mark = segment.rfind('(');
  if (segment.ends_with(')') && mark != std::string_view::npos && mark > 0) {
    segment = segment.substr(0, mark);
  }
  return std::string(segment);
}
