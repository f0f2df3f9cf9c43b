#include "platform/locale.h"

#include "platform/simulated/scenario.h"

Locale Locale::current() {
  return Locale{simulation::scenario().locale};
}
