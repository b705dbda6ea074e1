#include "png_file.h"

#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace trelvan {

namespace {

bool WritePngTo(FILE* f, const RgbImage& image) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
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
  return true;
}

}  // namespace

bool WriteThroughNewFile(const std::string& path, const std::function<bool(FILE*)>& write) {
  const std::string temporary = path + ".new";
  unlink(temporary.c_str());
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  FILE* f = fdopen(fd, "wb");
  bool ok = f && write(f);
  ok = (f ? fclose(f) == 0 : close(fd) == 0) && ok;
  ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

bool WritePng(const std::string& path, const RgbImage& image) {
  return WriteThroughNewFile(path, [&](FILE* f) { return WritePngTo(f, image); });
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
