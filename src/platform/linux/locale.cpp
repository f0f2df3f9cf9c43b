#include "platform/locale.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The locale that governs messages, the POSIX way.
std::string localeName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return value;
  }
  return "C";
}

}  // namespace

// "en_US.UTF-8@euro" names the locale "en-US".
Locale Locale::current() {
  std::string name = localeName();
  name = name.substr(0, name.find_first_of(".@"));
  std::replace(name.begin(), name.end(), '_', '-');
  return Locale{name};
}
