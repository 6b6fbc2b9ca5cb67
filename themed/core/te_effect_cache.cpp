#include "themed/core/te_effect_cache.h"

#include <utility>

namespace te {

namespace {

thread_local TEffectCache* gHanded = nullptr;

constexpr std::uint32_t kUnpicked = 0xFFFFFFFFu;

}  // namespace

const TShapeCover& TEffectCache::Cover(int family, int w, int h, const std::function<void(TShapeCover&)>& build) {
  for (int i = 0; i < 2; ++i) {
    TEntry& e = covers_[i];
    if (e.Cover && e.Family == family && e.W == w && e.H == h) {
      if (i == 1) std::swap(covers_[0], covers_[1]);
      return *covers_[0].Cover;
    }
  }
  std::swap(covers_[0], covers_[1]);  // the one used longer ago goes
  TEntry& e = covers_[0];
  e.Family = family;
  e.W = w;
  e.H = h;
  e.Cover = std::make_unique<TShapeCover>();
  build(*e.Cover);
  ++coversDrawn_;
  return *e.Cover;
}

const std::uint32_t* TEffectCache::Ranks(int n, int k) {
  if (n != n_) {
    n_ = n;
    rank_.assign(size_t(n), kUnpicked);
    picked_ = 0;
    generator_.Seed(std::uint32_t(n));
  }
  while (int(picked_) < k) {
    const int cell = generator_.Random(n);
    if (rank_[size_t(cell)] == kUnpicked) rank_[size_t(cell)] = picked_++;
  }
  return rank_.data();
}

TEffectCacheScope::TEffectCacheScope(TEffectCache& cache) : outer_(gHanded) { gHanded = &cache; }

TEffectCacheScope::~TEffectCacheScope() { gHanded = outer_; }

TEffectCache* TEffectCacheScope::Current() { return gHanded; }

}  // namespace te
