// Reading and writing 800 x 600 RGB screenshots as PNG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trelvan {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows from the top, 3 bytes a pixel
};

bool WritePng(const std::string& path, const RgbImage& image);
bool ReadPng(const std::string& path, RgbImage* image);

}  // namespace trelvan
