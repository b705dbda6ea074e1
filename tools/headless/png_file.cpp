#include "png_file.h"

#include <png.h>

#include <cstdio>

namespace trelvan {

bool WritePng(const std::string& path, const RgbImage& image) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    png_write_row(png, const_cast<png_bytep>(&image.rgb[static_cast<size_t>(y) * image.width * 3]));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0;
}

bool ReadPng(const std::string& path, RgbImage* image) {
  png_image reader{};
  reader.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&reader, path.c_str())) return false;
  reader.format = PNG_FORMAT_RGB;
  image->width = static_cast<int>(reader.width);
  image->height = static_cast<int>(reader.height);
  image->rgb.resize(PNG_IMAGE_SIZE(reader));
  const bool ok = png_image_finish_read(&reader, nullptr, image->rgb.data(), 0, nullptr) != 0;
  png_image_free(&reader);
  return ok;
}

}  // namespace trelvan
