// What the transition effects keep from one frame to the next of a
// transition: the covers of the two shape families last drawn (an effect's
// first frame draws its family's cover for the grid size; its later frames
// only paint from it) and the order in which the Pixel family picks its cells.
// The transition owns one and hands it to the procedures it calls for the
// time of each call (TEffectCacheScope), since a procedure receives only its
// grid, the grid's size and the progress. A procedure called with none in hand
// keeps what it draws for that one call. Not to be shared by two threads.
// Windows-free.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "themed/core/te_effect_grid.h"

namespace te {

class TEffectCache {
 public:
  // The cover of shape family `family` for a w x h grid: one of the two kept,
  // or drawn now by `build` in place of the one used longer ago.
  const TShapeCover& Cover(int family, int w, int h, const std::function<void(TShapeCover&)>& build);

  // The pick order of a grid of n cells, drawn as far as rank k: rank[c] is how
  // many other cells the generator, seeded with n, had drawn before cell c
  // (cells not drawn yet rank 0xFFFFFFFF). Kept for the grid size last asked.
  const std::uint32_t* Ranks(int n, int k);

  int CoversDrawn() const { return coversDrawn_; }

 private:
  struct TEntry {
    int Family = -1, W = -1, H = -1;
    std::unique_ptr<TShapeCover> Cover;
  };
  TEntry covers_[2];  // [0] the one used last
  int coversDrawn_ = 0;
  std::vector<std::uint32_t> rank_;
  std::uint32_t picked_ = 0;
  int n_ = -1;
  TEffectRandom generator_;
};

// While one lives, the procedures called on this thread use `cache`.
class TEffectCacheScope {
 public:
  explicit TEffectCacheScope(TEffectCache& cache);
  ~TEffectCacheScope();
  TEffectCacheScope(const TEffectCacheScope&) = delete;
  TEffectCacheScope& operator=(const TEffectCacheScope&) = delete;

  // The cache handed over on this thread, null when none is.
  static TEffectCache* Current();

 private:
  TEffectCache* outer_;
};

// In a procedure: the cache handed over, or one of its own for this call.
class TCacheInHand {
 public:
  TEffectCache& Get() { return handed_ ? *handed_ : own_; }

 private:
  TEffectCache* handed_ = TEffectCacheScope::Current();
  TEffectCache own_;
};

}  // namespace te
