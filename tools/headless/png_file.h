// Reading and writing 800 x 600 RGB screenshots as PNG files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace trelvan {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows from the top, 3 bytes a pixel
};

// Writes `path` through a new file beside it ("PATH.new", made only where
// nothing is) that then takes its place: a link at either name is replaced,
// never written through. False, and nothing left beside it, on any failure.
bool WriteThroughNewFile(const std::string& path, const std::function<bool(FILE*)>& write);

bool WritePng(const std::string& path, const RgbImage& image);
bool ReadPng(const std::string& path, RgbImage* image);

}  // namespace trelvan
