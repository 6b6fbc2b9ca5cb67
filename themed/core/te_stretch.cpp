#include "themed/core/te_stretch.h"

#include <algorithm>
#include <cmath>

#include "themed/core/te_cpu.h"

namespace te {

namespace {

struct TEndMMX {
  ~TEndMMX() { EndMMX(); }
};

void MoveRow(TDrawMode mode, const TteColor* src, TteColor* dst, int n) {
  switch (mode) {
    case TDrawMode::Opaque: PixelOps.CopyRow(src, dst, n); break;
    case TDrawMode::Keyed: PixelOps.CopyRowKeyed(src, dst, n); break;
    case TDrawMode::Alpha: PixelOps.BlendRow(src, dst, n); break;
  }
}

}  // namespace

std::vector<int> StretchMap(int destLen, int srcStart, int srcEnd, int offset, int count, TMapRounding rounding) {
  std::vector<int> map(size_t(std::max(count, 0)));
  if (destLen < 2) {
    std::fill(map.begin(), map.end(), (srcStart + srcEnd - 1) / 2);
    return map;
  }
  // The step is a 32-bit float; the products are formed in double precision.
  const float k = float(srcEnd - srcStart - 1) / float(destLen - 1);
  for (int i = 0; i < count; ++i) {
    const double v = double(i + offset) * double(k) + srcStart;
    map[size_t(i)] = rounding == TMapRounding::Truncate ? int(std::trunc(v)) : int(std::nearbyint(v));
  }
  return map;
}

void StretchPixels(const TPixelGrid& target, const fw::TRect& dest, const TPixelGrid& source, const fw::TRect& src,
                   TDrawMode mode, TMapRounding rounding) {
  TEndMMX endMMX;
  const fw::TRect clip{std::max(dest.Left, 0), std::max(dest.Top, 0), std::min(dest.Right, target.Width),
                       std::min(dest.Bottom, target.Height)};
  if (clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
  if (src.Left < 0 || src.Top < 0 || src.Right > source.Width || src.Bottom > source.Height) return;
  const int dw = dest.Right - dest.Left, dh = dest.Bottom - dest.Top;
  const int sw = src.Right - src.Left, sh = src.Bottom - src.Top;
  const int cw = clip.Right - clip.Left, ch = clip.Bottom - clip.Top;
  if (sw <= 0 || sh <= 0) return;

  if (dw == sw && dh == sh) {
    const int sx = src.Left + clip.Left - dest.Left;
    for (int row = 0; row < ch; ++row)
      MoveRow(mode, source.Row(src.Top + clip.Top - dest.Top + row) + sx, target.Row(clip.Top + row) + clip.Left, cw);
    return;
  }

  const std::vector<int> columns = StretchMap(dw, src.Left, src.Right, clip.Left - dest.Left, cw, rounding);
  const std::vector<int> rows = StretchMap(dh, src.Top, src.Bottom, clip.Top - dest.Top, ch, rounding);
  if (mode == TDrawMode::Opaque) {
    int lastSource = -1;
    TteColor* lastWritten = nullptr;
    for (int r = 0; r < ch; ++r) {
      TteColor* out = target.Row(clip.Top + r) + clip.Left;
      if (rows[size_t(r)] == lastSource && lastWritten) {
        PixelOps.CopyRow(lastWritten, out, cw);
      } else {
        const TteColor* in = source.Row(rows[size_t(r)]);
        for (int i = 0; i < cw; ++i) out[i] = in[columns[size_t(i)]];
      }
      lastSource = rows[size_t(r)];
      lastWritten = out;
    }
    return;
  }
  TArrayOfteColor buffer(static_cast<size_t>(cw));
  int gathered = -1;
  for (int r = 0; r < ch; ++r) {
    if (rows[size_t(r)] != gathered) {
      const TteColor* in = source.Row(rows[size_t(r)]);
      for (int i = 0; i < cw; ++i) buffer[size_t(i)] = in[columns[size_t(i)]];
      gathered = rows[size_t(r)];
    }
    MoveRow(mode, buffer.data(), target.Row(clip.Top + r) + clip.Left, cw);
  }
}

void ApplyMaskAlphaPixels(const TPixelGrid& grid, const std::uint8_t* mask, int cols, int rows, const fw::TRect& r) {
  if (r.Right <= r.Left || r.Bottom <= r.Top || !grid.Bits) return;
  const fw::TRect d{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, grid.Width),
                    std::min(r.Bottom, grid.Height)};
  if (d.Right <= d.Left || d.Bottom <= d.Top) return;
  const int rw = r.Right - r.Left, rh = r.Bottom - r.Top;
  const std::int64_t u0 = fw::MulDiv((d.Left - r.Left) * cols, 65535, rw);
  std::int64_t v = fw::MulDiv((d.Top - r.Top) * rows, 65535, rh);
  const std::int64_t du = (std::int64_t(cols) * 65536) / rw, dv = (std::int64_t(rows) * 65536) / rh;
  for (int y = d.Top; y < d.Bottom; ++y, v += dv) {
    const std::uint8_t* row = mask + (v >> 16) * cols;
    std::int64_t u = u0;
    TteColor* px = grid.Row(y) + d.Left;
    for (int x = d.Left; x < d.Right; ++x, u += du, ++px) *px = (*px & 0x00FFFFFF) | TteColor(row[u >> 16]) << 24;
  }
}

void ComposeFadeFrame(const TPixelGrid& work, const TPixelGrid& oldImage, const TPixelGrid& newImage,
                      const std::uint8_t* mask, int cols, int rows, int tileWidth, int tileHeight, int tiles) {
  if (!newImage.Bits || tileWidth <= 0 || tileHeight <= 0 || tiles <= 0) return;
  // Each pixel's mask column and row, as ApplyMaskAlphaPixels steps them within its tile.
  const std::int64_t du = (std::int64_t(cols) * 65536) / tileWidth, dv = (std::int64_t(rows) * 65536) / tileHeight;
  const int tiledWidth = std::min(newImage.Width, tileWidth * tiles);
  std::vector<int> column(static_cast<size_t>(std::max(tiledWidth, 0)));
  bool identity = true;
  for (int x = 0; x < tiledWidth; ++x) {
    column[size_t(x)] = int(((x % tileWidth) * du) >> 16);
    identity = identity && column[size_t(x)] == x;
  }
  const TteColor key = TransparentKey & 0x00FFFFFF;
  const int blendWidth = std::min(newImage.Width, work.Width);
  // One mask cell per pixel, in order, over whole rows (Resolution 1, one
  // tile, pictures of one width): the alpha and the blend in one pass a row.
  const bool wholeRows =
      identity && tiledWidth == newImage.Width && blendWidth == newImage.Width && oldImage.Width >= blendWidth;
  for (int y = 0; y < newImage.Height; ++y) {
    TteColor* in = newImage.Row(y);
    const bool blended = y < work.Height && y < oldImage.Height;
    if (y < tileHeight * tiles) {
      const std::uint8_t* maskRow = mask + ((((y % tileHeight) * dv) >> 16) * cols);
      if (wholeRows && blended) {
        TteColor* out = work.Row(y);
        PixelOps.MaskBlendRowOnto(in, maskRow, key, oldImage.Row(y), out, blendWidth);
        PixelOps.CopyRow(oldImage.Row(y) + blendWidth, out + blendWidth, oldImage.Width - blendWidth);
        continue;
      }
      for (int x = 0; x < tiledWidth; ++x) {
        const TteColor rgb = in[x] & 0x00FFFFFF;
        in[x] = rgb | (rgb == key ? 0 : TteColor(maskRow[column[size_t(x)]]) << 24);
      }
      PixelOps.ClearAlphaOfColor(in + tiledWidth, newImage.Width - tiledWidth, TransparentKey);
    } else {
      PixelOps.ClearAlphaOfColor(in, newImage.Width, TransparentKey);
    }
    if (blended) {
      TteColor* out = work.Row(y);
      if (oldImage.Width >= blendWidth) {  // the blend reads the old row where it lies
        PixelOps.BlendRowOnto(in, oldImage.Row(y), out, blendWidth);
        PixelOps.CopyRow(oldImage.Row(y) + blendWidth, out + blendWidth, oldImage.Width - blendWidth);
      } else {
        PixelOps.CopyRow(oldImage.Row(y), out, oldImage.Width);
        PixelOps.BlendRow(in, out, blendWidth);
      }
    }
  }
  for (int y = newImage.Height; y < work.Height && y < oldImage.Height; ++y)
    PixelOps.CopyRow(oldImage.Row(y), work.Row(y), oldImage.Width);
  EndMMX();
}

}  // namespace te
