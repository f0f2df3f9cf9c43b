#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whether a line of standard input, its line feed removed, is the stop command: "stop" with
// nothing around it but spaces (Unicode Zs) and tabs, and perhaps the carriage return of a CR LF.
bool isStopLine(std::string_view line);

// The most bytes `appendToLine` ever holds of a line.
inline constexpr std::size_t stopLineCapacity = 64;

// Adds bytes to a line being read, in at most `stopLineCapacity` bytes: whitespace is squeezed
// when the line fills up, and the rest of a line already too long to be the stop command is
// dropped. `isStopLine` answers for the held line as it would for the whole one.
void appendToLine(std::string& line, std::string_view bytes);
