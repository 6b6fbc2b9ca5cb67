#include "framework/core/stored_pictures.h"

#include <cstring>

#include "framework/core/exception.h"

namespace fw {

namespace {

// Little-endian fields of the file header (14 bytes) and the info header (40 bytes and up).
std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::int32_t S32(const std::uint8_t* p) {
  std::int32_t v;
  const std::uint32_t u = U32(p);
  std::memcpy(&v, &u, sizeof v);
  return v;
}

constexpr std::size_t kFileHeader = 14, kInfoHeader = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr int kMaxSide = 32768;

}  // namespace

TStoredPicture SplitPictureData(const std::uint8_t* data, std::size_t size) {
  if (size == 0) throw EInvalidGraphic("Picture data is empty");
  const std::size_t n = data[0];
  if (size < 1 + n) throw EInvalidGraphic("Picture data is truncated");
  return {std::string(reinterpret_cast<const char*>(data) + 1, n), data + 1 + n, size - 1 - n};
}

TBmpLayout ParseBmp(const std::uint8_t* data, std::size_t size) {
  if (size < kFileHeader + kInfoHeader || data[0] != 'B' || data[1] != 'M')
    throw EInvalidGraphic("Bitmap image is not valid");
  const std::uint32_t offBits = U32(data + 10);
  const std::uint8_t* info = data + kFileHeader;
  const std::int32_t width = S32(info + 4), height = S32(info + 8);
  const std::uint16_t bitCount = U16(info + 14);
  const std::uint32_t compression = U32(info + 16);
  if ((bitCount != 24 && bitCount != 32) || compression != kBiRgb || width <= 0 || width > kMaxSide || height == 0 ||
      height > kMaxSide || height < -kMaxSide)
    throw EInvalidGraphic("Bitmap image is not valid");
  TBmpLayout bmp;
  bmp.Width = width;
  bmp.Height = height < 0 ? -height : height;
  bmp.BitCount = bitCount;
  bmp.Stride = ((std::size_t(width) * bitCount + 31) / 32) * 4;
  bmp.Offset = offBits;
  bmp.TopDown = height < 0;
  if (bmp.Offset > size || size - bmp.Offset < bmp.Stride * std::size_t(bmp.Height))
    throw EInvalidGraphic("Bitmap image is not valid");
  return bmp;
}

}  // namespace fw
