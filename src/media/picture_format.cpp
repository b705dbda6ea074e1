#include "media/picture_format.h"

#include <cmath>

#include "media/bmp_decode.h"
#include "media/picture_stb.h"
#include "storage/file_system.h"
#include "storage/text.h"

namespace trelvan {

namespace {

// ---- where the rows come from

struct Rows {
  uint32_t width, height;
  const BmpLayout* bmp;   /**< a BMP's rows, read from its file's bytes */
  const uint8_t* file;
  uint32_t size;
  const uint8_t* rgba;    /**< else decoded RGBA rows */
};

void ReadRow(const Rows& r, uint32_t y, uint8_t* rgb) {
  if (r.bmp) return ReadBmpRow(*r.bmp, r.file, r.size, y, rgb);
  // a transparent pixel shows the white the page and the handheld lay under it
  const uint8_t* p = r.rgba + 4ull * r.width * y;
  for (uint32_t x = 0; x < r.width; ++x, p += 4) {
    for (int c = 0; c < 3; ++c) rgb[3 * x + c] = static_cast<uint8_t>((p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255);
  }
}

// ---- fitting: scaled to cover 480 x 180, cut at the centre

constexpr int kMostWeights = kPictureMostSide / kBmpHeight + 3;

// The source pixels output pixel `o` takes along one side of `n` pixels,
// at scale `s` from `origin`: the area it covers when shrinking, the two
// nearest pixels when growing. Returns how many, from *first.
int Weights(uint32_t o, double s, double origin, uint32_t n, uint32_t* first, float* w) {
  if (s < 1) {
    const double a = origin + o / s, b = origin + (o + 1) / s;
    uint32_t k = static_cast<uint32_t>(a);
    if (k > n - 1) k = n - 1;
    *first = k;
    int count = 0;
    for (; k < n && k < b && count < kMostWeights; ++k) {
      const double cover = (b < k + 1 ? b : k + 1) - (a > k ? a : k);
      w[count++] = static_cast<float>(cover * s);
    }
    return count;
  }
  const double c = origin + (o + 0.5) / s - 0.5;
  double f = c - std::floor(c);
  int64_t k = static_cast<int64_t>(std::floor(c));
  if (k < 0) k = 0, f = 0;
  if (k >= int64_t{n} - 1) k = n - 1, f = 0;
  *first = static_cast<uint32_t>(k);
  w[0] = static_cast<float>(1 - f);
  w[1] = static_cast<float>(f);
  return f == 0 ? 1 : 2;
}

void Fit(const Rows& src, PictureWork& work, PictureInfo* info) {
  const uint32_t W = src.width, H = src.height;
  const double s = std::fmax(double(kBmpWidth) / W, double(kBmpHeight) / H);
  const double x0 = (W - kBmpWidth / s) / 2, y0 = (H - kBmpHeight / s) / 2;
  info->scaled = s != 1;
  info->cut = uint64_t{W} * kBmpHeight > uint64_t{H} * kBmpWidth ? 1
            : uint64_t{W} * kBmpHeight < uint64_t{H} * kBmpWidth ? 2 : 0;
  // the source columns the output reaches
  const uint32_t from = static_cast<uint32_t>(x0);
  uint32_t to = static_cast<uint32_t>(std::ceil(x0 + kBmpWidth / s)) + 1;
  if (to > W) to = W;
  float wy[kMostWeights], wx[kMostWeights];
  for (uint32_t oy = 0; oy < kBmpHeight; ++oy) {
    uint32_t firstRow;
    const int rows = Weights(oy, s, y0, H, &firstRow, wy);
    for (uint32_t i = 3 * from; i < 3 * to; ++i) work.sums[i] = 0;
    for (int k = 0; k < rows; ++k) {
      ReadRow(src, firstRow + k, work.row);
      for (uint32_t i = 3 * from; i < 3 * to; ++i) work.sums[i] += wy[k] * work.row[i];
    }
    uint8_t* out = work.fitted + 3u * kBmpWidth * oy;
    for (uint32_t ox = 0; ox < kBmpWidth; ++ox) {
      uint32_t firstColumn;
      const int columns = Weights(ox, s, x0, W, &firstColumn, wx);
      for (int c = 0; c < 3; ++c) {
        double v = 0;
        for (int k = 0; k < columns; ++k) v += double(wx[k]) * work.sums[3 * (firstColumn + k) + c];
        v = std::floor(v + 0.5);
        out[3 * ox + c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
}

}  // namespace

// ---- messages

void DescribePictureRefusal(int result, const PictureInfo& info, char* out, uint32_t capacity) {
  switch (result) {
    case kPictureOpenFailed:
      FormatText(out, capacity, "Error Opening Picture File!");
      return;
    case kPictureUnknown:
      FormatText(out, capacity, "This file: no picture of a known kind; BMP, PNG and JPEG files are taken.");
      return;
    case kPictureDamaged:
      FormatText(out, capacity, "This file: a damaged or cut short %s; a whole BMP, PNG or JPEG is taken.",
                 info.kind);
      return;
    case kPictureUnsupported:
      if (info.compression == 1 || info.compression == 2) {
        FormatText(out, capacity, "This file: a run-length packed BMP; unpacked BMPs of 1 to 32 bits are taken.");
      } else if (info.compression != 0 && info.compression != 3 && info.compression != 6) {
        FormatText(out, capacity, "This file: a BMP holding a JPEG or PNG; that JPEG or PNG itself is taken.");
      } else {
        FormatText(out, capacity, "This file: a %u-bit BMP; BMPs of 1, 4, 8, 16, 24 or 32 bits are taken.",
                   static_cast<unsigned>(info.bits));
      }
      return;
    case kPictureTooLarge:
      FormatText(out, capacity, "This file: a %lu x %lu %s, too large; pictures up to 16384 pixels a side are taken.",
                 static_cast<unsigned long>(info.width), static_cast<unsigned long>(info.height), info.kind);
      return;
    default:
      FormatText(out, capacity, "%s", "");
  }
}

void DescribePictureFit(const PictureInfo& info, char* out, uint32_t capacity) {
  static const char* const kCut[] = {"", " and cut at the sides", " and cut at top and bottom"};
  if (!info.scaled && !info.cut) {
    FormatText(out, capacity, "%s", "");
  } else if (info.scaled) {
    FormatText(out, capacity, "%lu x %lu %s, scaled%s", static_cast<unsigned long>(info.width),
               static_cast<unsigned long>(info.height), info.kind, kCut[info.cut % 3]);
  } else {
    FormatText(out, capacity, "%lu x %lu %s, cut%s", static_cast<unsigned long>(info.width),
               static_cast<unsigned long>(info.height), info.kind, kCut[info.cut % 3] + 8);
  }
}

// ---- the conversion

void PictureRecordFromRgb(const uint8_t* rgb, uint8_t* record) {
  WriteU16LE(record, kPictureWidth);
  WriteU16LE(record + 2, kPictureHeight);
  uint8_t* out = record + 4;
  for (uint32_t r = 0; r < kPictureHeight; ++r) {
    for (uint32_t c = 0; c < kPictureWidth; ++c) {
      uint32_t sum[3] = {0, 0, 0};  // red, green, blue
      for (uint32_t dy = 0; dy < 2; ++dy) {
        for (uint32_t dx = 0; dx < 2; ++dx) {
          const uint8_t* p = rgb + 3 * ((2 * r + dy) * kBmpWidth + 2 * c + dx);
          for (int ch = 0; ch < 3; ++ch) sum[ch] += p[ch];
        }
      }
      WriteU16LE(out, PictureColour(sum[2] >> 2, sum[1] >> 2, sum[0] >> 2));
      out += 2;
    }
  }
}

int ConvertPictureFile(PictureWork& work, uint32_t size, uint8_t* record, PictureInfo* info) {
  *info = PictureInfo{};
  const uint8_t* f = work.memory;
  Rows rows{};
  BmpLayout bmp;
  if (IsPngOrJpeg(f, size, info)) {
    const int result = DecodePngOrJpeg(work.memory, kPictureMemory, size, &rows.rgba, info);
    if (result != kPictureDone) return result;
    rows.width = info->width;
    rows.height = info->height;
  } else if (size >= 2 && f[0] == 'B' && f[1] == 'M') {
    const int result = ReadBmpLayout(f, size, &bmp, info);
    if (result != kPictureDone) return result;
    rows = Rows{bmp.width, bmp.height, &bmp, f, size, nullptr};
  } else {
    return kPictureUnknown;
  }
  Fit(rows, work, info);
  PictureRecordFromRgb(work.fitted, record);
  return kPictureDone;
}

void PictureNameFromPath(const char* path, char separator, char* out) {
  const int length = static_cast<int>(TextLength(path));
  int end = length - 4;
  // a known extension goes whole, whatever its length
  static const char* const kExtensions[] = {".bmp", ".png", ".jpg", ".jpeg"};
  for (const char* ext : kExtensions) {
    const int n = static_cast<int>(TextLength(ext));
    if (length < n) continue;
    bool same = true;
    for (int i = 0; i < n && same; ++i) {
      char c = path[length - n + i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      same = c == ext[i];
    }
    if (same) end = length - n;
  }
  if (end < 0) end = 0;
  int start = 0;
  for (int i = end - 1; i >= 0; --i) {
    if (path[i] == separator) {
      start = i + 1;
      break;
    }
  }
  int n = end - start;
  if (n > kPictureNameLength) n = kPictureNameLength;
  CopyBytes(path + start, out, static_cast<uint16_t>(n));
  out[n] = '~';
  out[n + 1] = 0;
}

}  // namespace trelvan
