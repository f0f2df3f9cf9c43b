#pragma once

#include <string>

// A failure reported by a platform service, in words a user can read.
struct Error {
  std::string localizedDescription;
};
