#pragma once

#include <string>

struct Locale {
  std::string identifier;

  // The user's current locale.
  static Locale current();
};
