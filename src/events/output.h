#pragma once

#include <optional>
#include <string_view>

// Takes the process's standard output for event lines alone: descriptors 0, 1 and 2 are made
// valid, event lines go to a private copy of the original descriptor 1, and descriptors 1 and 2
// then lead to /dev/null so that nothing a library prints can reach the host.
void claimStandardOutput();

// Writes the whole line, never interleaved with another. A line that cannot be written because
// the host has gone is dropped.
void writeLine(std::string_view line);

// Writes the line, if any, as the last one and ends the process without running destructors,
// which would race the threads still running. No line from any thread follows it.
[[noreturn]] void exitAfterLine(std::optional<std::string_view> line, int status);
