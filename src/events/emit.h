#pragma once

#include <string_view>

#include "events/event.h"

inline constexpr int exitSuccess = 0;
inline constexpr int exitFailure = 1;

// Prints the event as one line on standard output. An event that cannot be printed is dropped;
// the caller never hears of it.
void emit(const Event& event);

// Prints the event as the process's last line, then exits with the status.
[[noreturn]] void emitAndExit(const Event& event, int status);

// Prints the error event, then exits with status 1.
[[noreturn]] void fail(std::string_view message);

// Exits with the status; nothing more is printed.
[[noreturn]] void exitQuietly(int status);

// A library that calls exit() or quick_exit() would end the process without a word to the host.
// Once this has run, such an exit prints an error line and ends with status 1. The program's own
// exits skip it.
void guardAgainstForeignExit();
