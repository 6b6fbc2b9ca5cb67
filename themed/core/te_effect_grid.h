// The grids the transition effects draw on and their primitives: a FADE grid
// of W x H alpha bytes, a SLIDE grid of W x H cells pointing at cells of the
// new image; the value styles (Slide, Fade, Smooth); the effects' own seeded
// pseudo-random generator. Windows-free.
#pragma once
#include <cstdint>

namespace te {

#pragma pack(push, 1)
struct TSlideCell {
  std::uint8_t Alpha;
  std::uint8_t Spare;
  std::uint16_t Col;  // source column, in cells
  std::uint16_t Row;  // source row, in cells
};
#pragma pack(pop)
static_assert(sizeof(TSlideCell) == 6, "a map cell is 6 bytes");

// Windows' MulDiv: a * b / d rounded half away from zero, -1 when d is 0.
int EffectMulDiv(int a, int b, int d);
// Rounding to nearest, ties to even.
int RoundEven(double v);

class TFadeGrid {
 public:
  TFadeGrid(std::uint8_t* cells, int w, int h) : cells_(cells), W(w), H(h) {}
  // Writes only inside the grid.
  void PlotCell(int x, int y, std::uint8_t value) {
    if (x >= 0 && x < W && y >= 0 && y < H) cells_[y * W + x] = value;
  }
  std::uint8_t At(int x, int y) const { return cells_[y * W + x]; }
  std::uint8_t* Cells() const { return cells_; }
  void MaskLine(int x0, int y0, int x1, int y1, std::uint8_t value);
  void MaskCircle(int cx, int cy, int r, std::uint8_t value);
  void Row(int y, std::uint8_t value) { MaskLine(0, y, W - 1, y, value); }

 private:
  std::uint8_t* cells_;

 public:
  const int W, H;
};

// The Fade style's value v = MulDiv(p, 255, 100).
inline std::uint8_t FadeValue(int p) { return std::uint8_t(EffectMulDiv(p, 255, 100)); }
// The Smooth style's step k of n: MulDiv(round(2p - k * 2p / n), 255, 100), 255
// when p is 100 or the value reaches 256.
std::uint8_t SmoothValue(int k, int n, int p);

// The effects' generator, defined here so that frames are the same on every
// platform: a 32-bit counter advanced by 0x9E3779B9 and mixed (the "splitmix32"
// finaliser); Random(n) maps the mixed word onto 0 .. n - 1 by multiplication.
class TEffectRandom {
 public:
  void Seed(std::uint32_t seed) { state_ = seed; }
  std::uint32_t Next();
  int Random(int n) { return n <= 0 ? 0 : int((std::uint64_t(Next()) * std::uint32_t(n)) >> 32); }

 private:
  std::uint32_t state_ = 0;
};
TEffectRandom& EffectRandom();

}  // namespace te
