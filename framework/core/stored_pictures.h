// The pictures a stored layout carries, read without Windows: a picture's
// "Data" (a length byte, the graphic's class name, then its bytes) and the BMP
// file image that a bitmap property (a themed button's glyph, say) is stored
// as. The JPEG bytes go to the JPEG decoder. Every fault is EInvalidGraphic.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fw {

struct TStoredPicture {
  std::string ClassName;  // "TJPEGImage", "TBitmap"
  const std::uint8_t* Body = nullptr;
  std::size_t BodySize = 0;
};

// Splits a picture's stored data; `data` must outlive the result's Body.
TStoredPicture SplitPictureData(const std::uint8_t* data, std::size_t size);

// Where the rows of an uncompressed 24- or 32-bit BMP file image lie.
struct TBmpLayout {
  int Width = 0, Height = 0;
  int BitCount = 0;        // 24 or 32
  std::size_t Stride = 0;  // bytes per row, a multiple of 4
  std::size_t Offset = 0;  // of the first stored row
  bool TopDown = false;    // rows stored top row first
  // The stored row that holds picture row y (0 at the top).
  std::size_t RowOffset(int y) const { return Offset + std::size_t(TopDown ? y : Height - 1 - y) * Stride; }
};

// Checks the headers against the data's size: every row lies inside `data`.
TBmpLayout ParseBmp(const std::uint8_t* data, std::size_t size);

}  // namespace fw
