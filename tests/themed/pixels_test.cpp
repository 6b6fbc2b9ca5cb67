// The pixel routines in both variants, the colour functions, rectangles, the
// stretch maps and routes, the tokenizers, stream strings and keyboard timings.
#include <gtest/gtest.h>

#include <sstream>

#include "framework/core/exception.h"
#include "themed/core/te_colors.h"
#include "themed/core/te_cpu.h"
#include "themed/core/te_pixels.h"
#include "themed/core/te_rects.h"
#include "themed/core/te_stretch.h"
#include "themed/core/te_text_rules.h"

using namespace te;

namespace {

std::uint32_t Red(TteColor c) { return (c >> 16) & 0xFF; }

// The MMX formula written out per channel, to hold the vector code to it.
TteColor MmxReference(TteColor s, TteColor d) {
  const std::uint32_t a = s >> 24;
  TteColor out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= ((((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (256 - a)) >> 8) << shift;
  return out;
}

}  // namespace

TEST(PixelOps, PlainAndMmxBlendsDifferAsDesigned) {
  const TteColor red128 = 0x80FF0000;
  TteColor black = 0xFF000000, white = 0xFFFFFFFF;
  TteColor row[2] = {black, white};
  const TteColor src[2] = {red128, red128};
  PlainPixelOps().BlendRow(src, row, 2);
  EXPECT_EQ(Red(row[0]), 127u);
  EXPECT_EQ(Red(row[1]), 254u);
  EXPECT_EQ(row[1] >> 24, 255u) << "the plain blend makes the pixel opaque";
  TteColor mrow[2] = {black, white};
  MmxPixelOps().BlendRow(src, mrow, 2);
  EXPECT_EQ(Red(mrow[0]), 127u);
  EXPECT_EQ(Red(mrow[1]), 255u);
  EXPECT_EQ(mrow[1] >> 24, (128u * 128 + 255 * 128) >> 8) << "the MMX blend blends alpha too";
}

TEST(PixelOps, BlendRowSkipsClearAndCopiesOpaqueInBothVariants) {
  for (const TPixelOps* ops : {&PlainPixelOps(), &MmxPixelOps()}) {
    TteColor dst[2] = {0x12345678, 0x12345678};
    const TteColor src[2] = {0x00FFFFFF, 0xFF00FF00};
    ops->BlendRow(src, dst, 2);
    EXPECT_EQ(dst[0], 0x12345678u);
    EXPECT_EQ(dst[1], 0xFF00FF00u);
  }
}

TEST(PixelOps, BlendPixelVariants) {
  EXPECT_EQ(PlainPixelOps().BlendPixel(0xFF112233, 0xFF445566), 0xFF112233u);
  EXPECT_EQ(PlainPixelOps().BlendPixel(0x00112233, 0x80445566), 0x80445566u);
  // The MMX one applies its formula also at 0 and 255.
  EXPECT_EQ(MmxPixelOps().BlendPixel(0x00112233, 0x80445566), 0x80445566u);
  EXPECT_EQ(MmxPixelOps().BlendPixel(0xFFFF0000, 0xFF000000), 0xFFFE0000u) << "255 * 255 >> 8 is 254";
  EXPECT_EQ(PlainPixelOps().BlendPixel(0xFFFF0000, 0xFF000000), 0xFFFF0000u);
  // Every alpha against the written-out formula, over a spread of colours.
  for (std::uint32_t a = 0; a < 256; ++a)
    for (TteColor rgb : {0x000000u, 0xFFFFFFu, 0x7F3C01u, 0x01FE80u}) {
      const TteColor s = a << 24 | rgb, d = 0xC0A05010u ^ rgb;
      ASSERT_EQ(MmxPixelOps().BlendPixel(s, d), MmxReference(s, d)) << a;
    }
}

// Every path of the row blend (pixel by pixel, SSE2, AVX2 where the processor
// has it) against the per-pixel formula, for every combination of the
// source's alpha with each channel's source and target value: a row per
// (alpha, source value) holds every target value, in all four channels.
TEST(PixelOps, EveryRowBlendPathGivesTheFormulasBytesForEveryCombination) {
  struct TPath {
    const char* Name;
    const TPixelOps* Ops;
    bool Mmx;
  };
  std::vector<TPath> paths = {{"plain", &PlainPixelOps(), false},
                              {"plain SSE2", &PlainSse2PixelOps(), false},
                              {"MMX", &MmxPixelOps(), true},
                              {"MMX SSE2", &MmxSse2PixelOps(), true}};
  if (DetectAVX2()) {
    paths.push_back({"plain AVX2", &PlainAvx2PixelOps(), false});
    paths.push_back({"MMX AVX2", &MmxAvx2PixelOps(), true});
  }
  auto plain = [](TteColor s, TteColor d) {
    const std::uint32_t a = s >> 24;
    TteColor out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
      out |= ((((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a)) >> 8) << shift;
    return out;
  };
  constexpr int kRow = 259;  // 256 target values, and three more for the tails of the wide paths
  std::vector<TteColor> dst(kRow), src(kRow), out(kRow), onto(kRow);
  for (int i = 0; i < kRow; ++i) {
    const std::uint32_t v = std::uint32_t(i & 0xFF);
    dst[size_t(i)] = v << 24 | v << 16 | (v ^ 0xA5) << 8 | (255 - v);
  }
  for (const TPath& path : paths)
    for (std::uint32_t a = 0; a < 256; ++a)
      for (std::uint32_t sv = 0; sv < 256; ++sv) {
        const TteColor s = a << 24 | sv << 16 | (sv ^ 0x5A) << 8 | (255 - sv);
        std::fill(src.begin(), src.end(), s);
        out = dst;
        path.Ops->BlendRow(src.data(), out.data(), kRow);
        std::fill(onto.begin(), onto.end(), 0x12345678u);  // the blend onto another row reads dst, not this
        path.Ops->BlendRowOnto(src.data(), dst.data(), onto.data(), kRow);
        EndMMX();
        for (int i = 0; i < kRow; ++i) {
          const TteColor d = dst[size_t(i)];
          const TteColor want = a == 0 ? d : a == 255 ? s : path.Mmx ? MmxReference(s, d) : plain(s, d);
          if (out[size_t(i)] != want || onto[size_t(i)] != want)
            FAIL() << path.Name << ": alpha " << a << " source " << sv << " target " << (i & 0xFF) << " gave "
                   << std::hex << out[size_t(i)] << " and onto " << onto[size_t(i)] << " instead of " << want;
        }
      }
}

// A transition row: each path's alpha-and-blend in one call gives the alpha
// step (key pixels clear) followed by that path's blend onto the old row.
TEST(PixelOps, EveryMaskBlendPathIsTheAlphaStepThenTheBlend) {
  std::vector<const TPixelOps*> paths = {&PlainPixelOps(), &PlainSse2PixelOps(), &MmxPixelOps(), &MmxSse2PixelOps()};
  if (DetectAVX2()) paths.insert(paths.end(), {&PlainAvx2PixelOps(), &MmxAvx2PixelOps()});
  constexpr int kRow = 1027;  // every alpha four times, and tails for the wide paths
  std::vector<std::uint8_t> alpha(kRow);
  std::vector<TteColor> src(kRow), under(kRow);
  for (int i = 0; i < kRow; ++i) {
    alpha[size_t(i)] = std::uint8_t(i * 7);
    src[size_t(i)] = i % 5 == 0 ? 0x9A000000u | TransparentKey : TteColor(i) * 0x9E3779B9u;
    under[size_t(i)] = TteColor(i) * 0x85EBCA6Bu;
  }
  for (size_t path = 0; path < paths.size(); ++path) {
    const TPixelOps* ops = paths[path];
    std::vector<TteColor> wantSrc = src, wantDst(kRow), gotSrc = src, gotDst(kRow, 1);
    for (int i = 0; i < kRow; ++i) {
      const TteColor rgb = wantSrc[size_t(i)] & 0x00FFFFFF;
      wantSrc[size_t(i)] = rgb | (rgb == TransparentKey ? 0 : TteColor(alpha[size_t(i)]) << 24);
    }
    ops->BlendRowOnto(wantSrc.data(), under.data(), wantDst.data(), kRow);
    ops->MaskBlendRowOnto(gotSrc.data(), alpha.data(), TransparentKey, under.data(), gotDst.data(), kRow);
    EndMMX();
    EXPECT_EQ(gotSrc, wantSrc) << "path " << path;
    EXPECT_EQ(gotDst, wantDst) << "path " << path;
  }
}

TEST(PixelOps, KeyedCopyAndTheSmallRoutines) {
  TteColor dst[3] = {1, 2, 3};
  const TteColor src[3] = {TransparentKey, 0x00123456, 0xFF7F007F};
  PixelOps.CopyRowKeyed(src, dst, 3);
  EXPECT_EQ(dst[0], 1u) << "a key pixel leaves the target";
  EXPECT_EQ(dst[1], 0xFF123456u) << "others land opaque";
  EXPECT_EQ(dst[2], 3u) << "the key is compared without its alpha";

  TteColor grid[12] = {};
  PixelOps.FillPixelRect(grid, 4, fw::Rect(1, 1, 3, 3), 0xAB);
  EXPECT_EQ(grid[5], 0xABu);
  EXPECT_EQ(grid[10], 0xABu);
  EXPECT_EQ(grid[4], 0u);
  PixelOps.SetAlphaPixelRect(grid, 4, fw::Rect(0, 1, 2, 2), 0x80);
  EXPECT_EQ(grid[4], 0x80000000u);
  EXPECT_EQ(grid[5], 0x800000ABu);
  TteColor run[3] = {0xFF010203, 0x44010203, 0xFF010204};
  PixelOps.ClearAlphaOfColor(run, 3, 0x99010203);
  EXPECT_EQ(run[0], 0x00010203u);
  EXPECT_EQ(run[1], 0x00010203u);
  EXPECT_EQ(run[2], 0xFF010204u);
}

TEST(MachineFacts, MMXNeedsCpuidFamilyAndTheFeatureBit) {
  EXPECT_FALSE(MMXFromFacts(false, 0x600, 1u << 23));
  EXPECT_FALSE(MMXFromFacts(true, 0x400, 1u << 23)) << "family 4";
  EXPECT_FALSE(MMXFromFacts(true, 0x600, 0));
  EXPECT_TRUE(MMXFromFacts(true, 0x500, 1u << 23));
#if defined(__x86_64__)
  EXPECT_TRUE(DetectMMX()) << "every x86-64 processor has MMX";
#endif
}

TEST(Colors, Conversions) {
  EXPECT_EQ(RgbToTeColor(0x000000FF, 255), 0xFFFF0000u);
  for (std::uint32_t a : {0u, 1u, 128u, 255u})
    EXPECT_EQ(TeColorToColor(RgbToTeColor(0x00123456, std::uint8_t(a))), 0x00123456u);
  EXPECT_EQ(MakeTeColor(300, -5, 128, 7), 0x07FF0080u);
  EXPECT_EQ(BrightenTeColor(0x40102030, 10), 0x401A2A3Au) << "alpha kept";
  EXPECT_EQ(ChangeBrightness(0x40102030, -20), 0xFF000C1Cu) << "alpha 255, red clamped at 0";
  EXPECT_EQ(AdjustTeColor(0xF0102030, 1, 2, 3, 0x20), 0x10112233u) << "alpha wraps modulo 256";
}

TEST(Colors, HueSaturationLightness) {
  float h, s, l;
  TeColorToHSL(0xFF808080, h, s, l);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(s, 0.0f);
  EXPECT_EQ(l, 128.0f / 255.0f);
  TeColorToHSL(0xFFFF0000, h, s, l);
  EXPECT_EQ(h, 0.0f);
  EXPECT_EQ(s, 1.0f);
  EXPECT_EQ(l, 0.5f);
  TeColorToHSL(0xFF0000FF, h, s, l);
  EXPECT_FLOAT_EQ(h, 2.0f / 3.0f);
  // Round trips of the primaries and a few mixed colours.
  for (TteColor c : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF336699u, 0xFFFEDCBAu, 0xFF808080u}) {
    TeColorToHSL(c, h, s, l);
    EXPECT_EQ(HSLToTeColor(h, s, l), c) << std::hex << c;
  }
  EXPECT_EQ(HSLToTeColor(0, 0, 0.5f), 0xFF808080u) << "round(127.5) is 128, ties to even";
}

TEST(Colors, ChangeHueWrapsBy255) {
  // Red has hue 0: +256 wraps to 1, +255 stays 255 (a full turn), -1 becomes 254.
  const TteColor red = 0xFFFF0000;
  EXPECT_EQ(ChangeHue(red, 255), HSLToTeColor(255.0f / 255.0f, 1, 0.5f));
  EXPECT_EQ(ChangeHue(red, 255), red);
  EXPECT_EQ(ChangeHue(red, 256), HSLToTeColor(1.0f / 255.0f, 1, 0.5f));
  EXPECT_EQ(ChangeHue(red, -1), HSLToTeColor(254.0f / 255.0f, 1, 0.5f));
  EXPECT_EQ(ChangeHue(red, 85), 0xFF00FF00u) << "a third of a turn";
}

TEST(Rects, Functions) {
  TRect r = fw::Rect(0, 0, 10, 10), out;
  CenterRect(r, fw::Rect(0, 0, 15, 15), out);
  EXPECT_EQ(out, fw::Rect(2, 2, 12, 12));
  EXPECT_EQ(r, out) << "the rectangle itself moves";
  r = fw::Rect(0, 0, 15, 4);
  CenterRect(r, fw::Rect(0, 0, 10, 10), out);
  EXPECT_EQ(out.Left, -2) << "truncated toward zero";
  r = fw::Rect(5, 5, 9, 9);
  CenterRectVert(r, fw::Rect(1, 0, 20, 10), out);
  EXPECT_EQ(out, fw::Rect(1, 3, 5, 7));
  GrowRect(fw::Rect(5, 5, 9, 9), 2, out);
  EXPECT_EQ(out, fw::Rect(3, 3, 11, 11));
  EXPECT_TRUE(RectIsEmpty(fw::Rect(3, 0, 3, 5)));
  EXPECT_TRUE(RectIsEmpty(fw::Rect(5, 5, 3, 9)));
  EXPECT_FALSE(RectIsEmpty(fw::Rect(0, 0, 1, 1)));
  EXPECT_FALSE(RectsEqual(fw::Rect(0, 0, 1, 1), fw::Rect(0, 0, 1, 2)));
  EXPECT_TRUE(RectsEqual(fw::Rect(0, 0, 1, 1), fw::Rect(0, 0, 1, 1)));
}

TEST(Stretch, ColumnMapsOnBothRoutes) {
  EXPECT_EQ(StretchMap(4, 0, 2, 0, 4, TMapRounding::Truncate), (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(StretchMap(4, 0, 2, 0, 4, TMapRounding::Nearest), (std::vector<int>{0, 0, 1, 1}));
  EXPECT_EQ(StretchMap(1, 2, 9, 0, 1, TMapRounding::Truncate), (std::vector<int>{5})) << "the middle column";
  EXPECT_EQ(StretchMap(3, 0, 7, 1, 2, TMapRounding::Truncate), (std::vector<int>{3, 6})) << "clipped start";
}

TEST(Stretch, RoutesAndModes) {
  TteColor src[4] = {0xFF0000AA, 0xFF0000BB, TransparentKey, 0x800000FF};  // 2 x 2
  TPixelGrid s{src, 2, 2, false};
  TteColor dst[16] = {};
  TPixelGrid d{dst, 4, 4, false};
  // 2 -> 4 wide, 2 -> 4 high, truncated: columns and rows 0, 0, 0, 1.
  StretchPixels(d, fw::Rect(0, 0, 4, 4), s, fw::Rect(0, 0, 2, 2), TDrawMode::Opaque, TMapRounding::Truncate);
  EXPECT_EQ(dst[0], 0xFF0000AAu);
  EXPECT_EQ(dst[2], 0xFF0000AAu);
  EXPECT_EQ(dst[3], 0xFF0000BBu);
  EXPECT_EQ(dst[8], 0xFF0000AAu) << "row 2 takes source row 0";
  EXPECT_EQ(dst[12], TransparentKey);
  // Keyed onto a filled grid: the key leaves the target, the rest opaque.
  for (TteColor& p : dst) p = 0xFF111111;
  StretchPixels(d, fw::Rect(1, 1, 3, 3), s, fw::Rect(0, 0, 2, 2), TDrawMode::Keyed, TMapRounding::Truncate);
  EXPECT_EQ(dst[5], 0xFF0000AAu);
  EXPECT_EQ(dst[9], 0xFF111111u);
  EXPECT_EQ(dst[10], 0xFF0000FFu);
  // A bottom-up target with rounding: row 0 of the grid is the last in memory.
  TteColor dib[8] = {};
  TPixelGrid b{dib, 4, 2, true};
  StretchPixels(b, fw::Rect(0, 0, 4, 1), s, fw::Rect(0, 0, 2, 1), TDrawMode::Opaque, TMapRounding::Nearest);
  EXPECT_EQ(dib[4], 0xFF0000AAu);
  EXPECT_EQ(dib[5], 0xFF0000AAu);
  EXPECT_EQ(dib[6], 0xFF0000BBu);
  EXPECT_EQ(dib[0], 0u);
  // Clipping at the target's edges, and a source outside its grid draws nothing.
  TteColor small[4] = {};
  TPixelGrid sm{small, 2, 2, false};
  StretchPixels(sm, fw::Rect(-1, -1, 1, 1), s, fw::Rect(0, 0, 2, 2), TDrawMode::Opaque, TMapRounding::Truncate);
  EXPECT_EQ(small[0], 0x800000FFu);
  EXPECT_EQ(small[1], 0u);
  StretchPixels(sm, fw::Rect(0, 0, 2, 2), s, fw::Rect(0, 0, 3, 2), TDrawMode::Opaque, TMapRounding::Truncate);
  EXPECT_EQ(small[1], 0u);
}

TEST(TextRules, Tokenizers) {
  std::string s = " Arial,10", t;
  ExtractWord(s, t);
  EXPECT_EQ(t, "");
  EXPECT_EQ(s, "Arial,10");
  s = "Tahoma;8;bold";
  ExtractWord(s, t);
  EXPECT_EQ(t, "Tahoma");
  EXPECT_EQ(s, "8;bold");
  s = "whole";
  ExtractWord(s, t);
  EXPECT_EQ(t, "whole");
  EXPECT_EQ(s, "");
  s = " Segoe UI , 9 ;x";
  ExtractToken(s, ";,", t);
  EXPECT_EQ(t, "Segoe UI");
  EXPECT_EQ(s, "9 ;x");
}

TEST(TextRules, StreamStrings) {
  std::stringstream io;
  WriteStreamString(io, "abc");
  WriteStreamString(io, "");
  EXPECT_EQ(io.str(), std::string("\x03\0\0\0abc\0\0\0\0", 11));
  std::string s;
  ReadStreamString(io, s);
  EXPECT_EQ(s, "abc");
  ReadStreamString(io, s);
  EXPECT_EQ(s, "");
  std::stringstream cut(std::string("\x10\0\0\0ab", 6));
  EXPECT_THROW(ReadStreamString(cut, s), fw::EReadError);
  std::stringstream huge(std::string("\xFF\xFF\xFF\x7F", 4));
  EXPECT_THROW(ReadStreamString(huge, s), fw::EReadError);
  std::stringstream negative(std::string("\xFF\xFF\xFF\xFF", 4));
  EXPECT_THROW(ReadStreamString(negative, s), fw::EReadError);
}

TEST(TextRules, KeyboardTimings) {
  EXPECT_EQ(KeyboardDelayFromSetting(0), 200);
  EXPECT_EQ(KeyboardDelayFromSetting(3), 800);
  EXPECT_EQ(KeyboardRepeatFromSetting(0), 435);
  EXPECT_EQ(KeyboardRepeatFromSetting(31), 14);
}
