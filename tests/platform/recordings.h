#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A recording pocketsphinx-testdata ships, 16 kHz mono s16le, by its file name.
inline std::vector<std::int16_t> recording(const std::string& name) {
  std::ifstream file("/usr/share/pocketsphinx/test/data/" + name, std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
  return samples;
}
