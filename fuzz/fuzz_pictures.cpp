// libFuzzer target: the pictures a stored layout carries, as a picture's
// "Data" holds them (a length byte, the class name, the bytes): JPEG through
// the framework's decoder and libjpeg, and BMP file images, which is how a
// bitmap property such as a themed button's glyph is stored. Invariants: the
// decoded pixels are exactly width x height, and every row a BMP's headers
// promise lies inside its data (the copy below reads each one whole).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/core/exception.h"
#include "framework/core/jpeg_decoder.h"
#include "framework/core/stored_pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const fw::TStoredPicture picture = fw::SplitPictureData(data, size);
    if (picture.ClassName == "TJPEGImage") {
      const fw::TDecodedImage image = fw::DecodeJpeg(picture.Body, picture.BodySize);
      if (image.Width <= 0 || image.Height <= 0 || image.Bgr.size() != size_t(image.Width) * image.Height * 3)
        __builtin_trap();
      int w = 0, h = 0;
      if (!fw::ReadJpegSize(picture.Body, picture.BodySize, w, h) || w != image.Width || h != image.Height)
        __builtin_trap();
    } else {
      const fw::TBmpLayout bmp = fw::ParseBmp(picture.Body, picture.BodySize);
      if (bmp.Stride < size_t(bmp.Width) * size_t(bmp.BitCount / 8) || bmp.Stride % 4) __builtin_trap();
      std::vector<std::uint8_t> row(bmp.Stride);
      for (int y = 0; y < bmp.Height; ++y) std::memcpy(row.data(), picture.Body + bmp.RowOffset(y), bmp.Stride);
    }
  } catch (const fw::EInvalidGraphic&) {
  }
  return 0;
}
