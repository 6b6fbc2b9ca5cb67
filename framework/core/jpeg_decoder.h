// Decodes JPEG data with libjpeg into 24-bit pixels, rows top-down, each
// pixel blue, green, red (the order of a Windows DIB).
#pragma once
#include <cstdint>
#include <vector>

namespace fw {

struct TDecodedImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Bgr;  // Width * Height * 3 bytes
};

// Throws EInvalidGraphic with libjpeg's message on corrupt or unsupported data.
TDecodedImage DecodeJpeg(const std::uint8_t* data, std::size_t size);

// Reads only the header: the picture's size, without decoding it.
bool ReadJpegSize(const std::uint8_t* data, std::size_t size, int& width, int& height);

}  // namespace fw
