#include "framework/core/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <string>

extern "C" {
#include <jpeglib.h>
}

#include "framework/core/exception.h"

namespace fw {

namespace {

// libjpeg reports fatal errors through error_exit; we jump back to the caller
// and raise there, so no C++ exception ever crosses libjpeg's C frames.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings are not shown anywhere

// Pixel count above which a picture is refused (a 16k x 16k picture).
constexpr unsigned long long kMaxPixels = 16384ull * 16384ull;

// Decoding state kept outside the setjmp frame so that nothing non-trivial lives across it.
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  bool created = false;
  ~Decoder() { if (created) jpeg_destroy_decompress(&cinfo); }
};

bool Decode(Decoder& d, const std::uint8_t* data, std::size_t size, TDecodedImage* out, bool headerOnly) {
  d.cinfo.err = jpeg_std_error(&d.err.pub);
  d.err.pub.error_exit = OnError;
  d.err.pub.emit_message = OnMessage;
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  jpeg_mem_src(&d.cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d.cinfo, TRUE);
  out->Width = int(d.cinfo.image_width);
  out->Height = int(d.cinfo.image_height);
  if (headerOnly) return true;
  if ((unsigned long long)d.cinfo.image_width * d.cinfo.image_height > kMaxPixels) {
    std::snprintf(d.err.message, sizeof d.err.message, "JPEG picture too large");
    return false;
  }
  d.cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.cinfo);
  const size_t stride = size_t(d.cinfo.output_width) * 3;
  out->Bgr.resize(stride * d.cinfo.output_height);
  while (d.cinfo.output_scanline < d.cinfo.output_height) {
    JSAMPROW row = out->Bgr.data() + stride * d.cinfo.output_scanline;
    jpeg_read_scanlines(&d.cinfo, &row, 1);
  }
  jpeg_finish_decompress(&d.cinfo);
  for (size_t i = 0; i + 2 < out->Bgr.size(); i += 3) std::swap(out->Bgr[i], out->Bgr[i + 2]);
  return true;
}

}  // namespace

TDecodedImage DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0) throw EInvalidGraphic("JPEG error: empty data");
  TDecodedImage img;
  Decoder d;
  if (!Decode(d, data, size, &img, false)) throw EInvalidGraphic(std::string("JPEG error: ") + d.err.message);
  return img;
}

bool ReadJpegSize(const std::uint8_t* data, std::size_t size, int& width, int& height) {
  if (!data || size == 0) return false;
  TDecodedImage img;
  Decoder d;
  if (!Decode(d, data, size, &img, true)) return false;
  width = img.Width;
  height = img.Height;
  return true;
}

}  // namespace fw
