#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whether a line of standard input, its line feed removed, is the stop command: "stop" with
// nothing around it but spaces (Unicode Zs) and tabs, and perhaps the carriage return of a CR LF.
bool isStopLine(std::string_view line);

// The most bytes `scanForStopLine` ever holds of a line.
inline constexpr std::size_t stopLineCapacity = 64;

// Takes input as it is read, in pieces of any size, and says whether a whole stop line has come;
// what follows it is never looked at. `heldLine` carries the line in progress from one piece to
// the next, in at most `stopLineCapacity` bytes: whitespace is squeezed when it fills up, and the
// rest of a line already too long to be the stop command is dropped.
bool scanForStopLine(std::string& heldLine, std::string_view bytes);
