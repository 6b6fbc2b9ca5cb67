// The transition effects on their grids: the stated cases, the inverse and
// Smooth rules at full progress, the random effects, the registry, and a
// property check over every grid effect at every progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "themed/core/te_effect_cache.h"
#include "themed/core/te_effects.h"

using namespace te;

namespace {

const TNamedEffect& Effect(const std::string& name) {
  for (const auto& e : GridEffects())
    if (name == e.Name) return e;
  throw std::runtime_error("no effect " + name);
}

std::vector<std::uint8_t> Frame(const std::string& name, int w, int h, int p) {
  std::vector<std::uint8_t> grid(size_t(w * h), 0);
  Effect(name).Fade(grid.data(), w, h, std::uint8_t(p));
  return grid;
}

bool IsInverse(const std::string& name) {
  return name.find("In") != std::string::npos && name.find("Diagonal") == std::string::npos && name != "SlideIn" &&
         name != "FadeIn" && name != "SmoothIn" && name != "CircleSlideIn" && name != "CircleFadeIn";
}

void ManualStub(TteBitmap&, TteBitmap&, const TteAnimationRec&, std::uint8_t) {}
void ManualStub2(TteBitmap&, TteBitmap&, const TteAnimationRec&, std::uint8_t) {}

void RegisterOnce() {
  static bool done = false;
  if (!done) RegisterStandardEffects(ManualStub, ManualStub2);
  done = true;
}

}  // namespace

TEST(EffectGrid, MaskLinePoints) {
  std::vector<std::uint8_t> cells(6 * 3, 0);
  TFadeGrid g(cells.data(), 6, 3);
  g.MaskLine(0, 0, 5, 2, 9);
  std::vector<std::pair<int, int>> got;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      if (g.At(x, y)) got.push_back({x, y});
  EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
}

TEST(EffectGrid, SmoothValues) {
  EXPECT_EQ(SmoothValue(0, 10, 40), EffectMulDiv(80, 255, 100));
  EXPECT_EQ(SmoothValue(0, 10, 51), 255) << "capped from p = 51 on";
  EXPECT_EQ(SmoothValue(10, 10, 40), 0) << "the last step";
  EXPECT_EQ(SmoothValue(10, 10, 100), 255);
  EXPECT_EQ(FadeValue(50), 128);
}

TEST(Effects, DownAtHalfOnTenByTen) {
  const auto slide = Frame("SlideDown", 10, 10, 50), fade = Frame("FadeDown", 10, 10, 50);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(slide[size_t(y * 10 + x)], y <= 5 ? 255 : 0);
      EXPECT_EQ(fade[size_t(y * 10 + x)], y <= 5 ? 128 : 0);
    }
}

TEST(Effects, SmoothEffectsAtFullProgressWrite255WhereTheyReach) {
  for (const auto& e : GridEffects()) {
    const std::string name = e.Name;
    if (e.Kind != ekFade || name.find("Smooth") == std::string::npos) continue;
    const auto g = Frame(name, 17, 11, 100);
    int reached = 0;
    for (auto v : g) {
      if (v) ++reached;
      ASSERT_TRUE(v == 0 || v == 255) << name;
    }
    EXPECT_GT(reached, 0) << name;
  }
}

TEST(Effects, InversesAtFullProgressFillTheGrid) {
  int inverses = 0;
  for (const auto& e : GridEffects()) {
    if (e.Kind != ekFade || !IsInverse(e.Name)) continue;
    ++inverses;
    for (auto v : Frame(e.Name, 12, 9, 100)) ASSERT_EQ(v, 255) << e.Name;
  }
  EXPECT_EQ(inverses, 10);
}

TEST(Effects, EarlyReturnAtZeroExceptWhereStated) {
  for (const auto& e : GridEffects()) {
    if (e.Kind != ekFade) continue;
    const std::string name = e.Name;
    const auto g = Frame(name, 12, 9, 0);
    bool any = false;
    for (auto v : g) any = any || v;
    const bool drawsAtZero = name == "Stream" || name == "Plasma" || name == "CircleSlideOut" ||
                             name == "CircleSlideIn" || name == "CircleSlide";
    if (!drawsAtZero) {
      EXPECT_FALSE(any) << name;
    }
  }
  // The circles run at 0 but their value style is 0 for Fade; Slide draws the centre.
  EXPECT_EQ(Frame("CircleSlideOut", 9, 9, 0)[size_t(4 * 9 + 4)], 255);
}

TEST(Effects, PixelAndItsGrowth) {
  for (auto v : Frame("Pixel", 10, 10, 100)) EXPECT_EQ(v, 255);
  int on = 0;
  for (auto v : Frame("Pixel", 10, 10, 1)) on += v == 255;
  EXPECT_EQ(on, 1);
  // Larger progress includes the cells of smaller progress.
  const auto a = Frame("Pixel", 20, 15, 30), b = Frame("Pixel", 20, 15, 60);
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i]) {
      EXPECT_EQ(b[i], 255);
    }
  }
}

TEST(Effects, FadeAndPlasma) {
  for (auto v : Frame("Fade", 4, 4, 50)) EXPECT_EQ(v, 128) << "round(127.5) is 128";
  const auto plasma0 = Frame("Plasma", 16, 16, 0), plasma100 = Frame("Plasma", 16, 16, 100);
  for (size_t i = 0; i < plasma0.size(); ++i) EXPECT_LE(plasma0[i], plasma100[i]);
}

TEST(Effects, CornerAtFullProgressMapsEveryCellToItself) {
  std::vector<TSlideCell> map(size_t(7 * 5), TSlideCell{});
  Effect("Corner").Slide(map.data(), 7, 5, 100);
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 7; ++i) {
      const TSlideCell& c = map[size_t(j * 7 + i)];
      EXPECT_EQ(c.Alpha, 255);
      EXPECT_EQ(c.Col, i);
      EXPECT_EQ(c.Row, j);
    }
}

TEST(Effects, EveryGridEffectStaysInsideItsGridAndIsDeterministic) {
  te::TEffectCache cache;  // what the frames of a transition share, as the engine hands it over
  te::TEffectCacheScope scope(cache);
  const int sizes[][2] = {{1, 1}, {10, 10}, {17, 11}, {3, 40}, {40, 3}};
  for (const auto& e : GridEffects())
    for (const auto& size : sizes) {
      const int w = size[0], h = size[1], guard = 64;
      for (int p = 0; p <= 100; ++p) {
        if (e.Kind == ekFade) {
          std::vector<std::uint8_t> a(size_t(w * h + 2 * guard), 0xA5), b;
          std::fill(a.begin() + guard, a.end() - guard, 0);
          b = a;
          e.Fade(a.data() + guard, w, h, std::uint8_t(p));
          e.Fade(b.data() + guard, w, h, std::uint8_t(p));
          ASSERT_EQ(a, b) << e.Name << " p " << p << " is not deterministic";
          for (int k = 0; k < guard; ++k) {
            ASSERT_EQ(a[size_t(k)], 0xA5) << e.Name << " wrote before its grid at p " << p;
            ASSERT_EQ(a[a.size() - 1 - size_t(k)], 0xA5) << e.Name << " wrote after its grid at p " << p;
          }
        } else {
          std::vector<TSlideCell> m(size_t(w * h + 2 * guard), TSlideCell{0xA5, 0xA5, 0xA5A5, 0xA5A5});
          std::fill(m.begin() + guard, m.end() - guard, TSlideCell{});
          e.Slide(m.data() + guard, w, h, std::uint8_t(p));
          for (int k = 0; k < guard; ++k) ASSERT_EQ(m[size_t(k)].Alpha, 0xA5) << e.Name;
          for (int k = guard; k < guard + w * h; ++k) {
            const TSlideCell& c = m[size_t(k)];
            ASSERT_TRUE(c.Alpha == 0 || c.Alpha == 255) << e.Name;
            if (c.Alpha) {
              ASSERT_TRUE(c.Col < w && c.Row < h) << e.Name;
            }
          }
        }
      }
    }
}

TEST(EffectRegistry, OrderKindsNamesAndLookup) {
  RegisterOnce();
  ASSERT_EQ(EffectList().Count(), 58);
  EXPECT_EQ(EffectList().Item(0)->DisplayName, "[ FADE ] - SmoothDiagonal");
  EXPECT_EQ(EffectList().Item(54)->DisplayName, "[ SLIDE ] - Interlace");
  EXPECT_EQ(EffectList().Item(57)->DisplayName, "[ MANUAL ] - Push");
  EXPECT_EQ(EffectList().Item(32)->NamePart(), "Pixel fade");
  BuildEffectNames();
  const auto names = EffectNames();
  ASSERT_EQ(names.size(), 60u);
  EXPECT_EQ(names[0], "[ RANDOM ] - Random selection");
  EXPECT_EQ(names[1], "[ BITMAP ] - Bitmap Animation");
  EXPECT_EQ(FindEffect("[ fade ] - circlesmooth"), FindEffect("CIRCLESMOOTH"));
  ASSERT_NE(FindEffect("Corner"), nullptr);
  EXPECT_EQ(FindEffect("Corner")->Kind, ekSlide);
  EXPECT_EQ(FindEffect("No such effect"), nullptr);
  try {
    RegisterEffect("slidedown", ekFade, TEffectProc{});
    FAIL() << "no error";
  } catch (const EProcItemError& e) {
    EXPECT_STREQ(e.what(), "Effect procedute slidedown already exists in list");
  }
  TEffectProc again;
  again.Fade = GridEffects()[0].Fade;
  EXPECT_THROW(RegisterEffect("A new name", ekFade, again), EProcItemError) << "the same procedure twice";
  EXPECT_EQ(EffectList().Count(), 58);
}

namespace {
void LateFade(std::uint8_t*, int, int, std::uint8_t) {}
}  // namespace

TEST(EffectRegistry, TheNameListIsTheOneBuiltAtStart) {
  RegisterOnce();
  BuildEffectNames();
  const size_t built = EffectNames().size();
  if (!FindEffect("Registered late")) RegisterEffect("Registered late", ekFade, TEffectProc{LateFade});
  EXPECT_EQ(EffectNames().size(), built) << "an effect registered later is not in it";
  EXPECT_EQ(std::count(EffectNames().begin(), EffectNames().end(), "[ FADE ] - Registered late"), 0);
  ASSERT_NE(FindEffect("Registered late"), nullptr) << "but it can be found and played";
}

TEST(EffectCache, KeepsTheTwoCoversLastUsedAndThePickOrderOfOneGridSize) {
  te::TEffectCache cache;
  int built = 0;
  auto cover = [&](int family, int w, int h) {
    return &cache.Cover(family, w, h, [&](te::TShapeCover& c) {
      ++built;
      c.Build(w, h, 0, [](int, auto&& plot) { plot(0); });
    });
  };
  const te::TShapeCover* a = cover(1, 8, 8);
  cover(2, 8, 8);
  EXPECT_EQ(cover(1, 8, 8), a) << "kept";
  EXPECT_EQ(built, 2);
  cover(3, 8, 8);  // the one used longer ago, family 2, goes
  EXPECT_EQ(built, 3);
  EXPECT_EQ(cover(1, 8, 8), a);
  EXPECT_EQ(built, 3);
  cover(2, 8, 8);
  EXPECT_EQ(built, 4) << "drawn again once it had gone";
  cover(1, 9, 8);
  EXPECT_EQ(built, 5) << "another size is another cover";
  EXPECT_EQ(cache.CoversDrawn(), 5);

  // The pick order grows with k and starts again for another grid size.
  std::vector<std::uint32_t> ten(cache.Ranks(100, 10), cache.Ranks(100, 10) + 100);
  const std::uint32_t* twenty = cache.Ranks(100, 20);
  for (int c = 0; c < 100; ++c)
    if (ten[size_t(c)] < 10) EXPECT_EQ(twenty[c], ten[size_t(c)]) << "the first ten keep their ranks";
  EXPECT_EQ(std::count_if(twenty, twenty + 100, [](std::uint32_t r) { return r < 20; }), 20);
  cache.Ranks(50, 5);
  EXPECT_EQ(std::vector<std::uint32_t>(cache.Ranks(100, 10), cache.Ranks(100, 10) + 100), ten) << "drawn again alike";

  // A procedure run with no cache in hand keeps nothing for later; in a scope, the scope's cache serves it.
  EXPECT_EQ(te::TEffectCacheScope::Current(), nullptr);
  {
    te::TEffectCacheScope scope(cache);
    EXPECT_EQ(te::TEffectCacheScope::Current(), &cache);
    te::TCacheInHand hand;
    EXPECT_EQ(&hand.Get(), &cache);
  }
  te::TCacheInHand alone;
  EXPECT_NE(&alone.Get(), &cache);
}
