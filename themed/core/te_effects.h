// The transition effects' procedures and the list they are registered in.
// A FADE procedure fills a zeroed W x H byte grid with how much of the new
// image shows in each cell at progress p (0 to 100); a SLIDE procedure fills a
// zeroed grid of cells pointing at cells of the new image; a MANUAL procedure
// draws the new image into the work bitmap itself (those live with the engine,
// which has the bitmaps). Windows-free.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/exception.h"
#include "themed/core/te_effect_grid.h"

namespace te {

class TteBitmap;
class TteAnimationRec;

using TFadeProc = void (*)(std::uint8_t* grid, int w, int h, std::uint8_t p);
using TSlideProc = void (*)(TSlideCell* grid, int w, int h, std::uint8_t p);
using TManualProc = void (*)(TteBitmap& work, TteBitmap& newImage, const TteAnimationRec& settings, std::uint8_t p);

enum TEffectKind : std::uint8_t { ekFade = 0, ekSlide = 1, ekManual = 2 };

struct TEffectProc {
  TFadeProc Fade = nullptr;
  TSlideProc Slide = nullptr;
  TManualProc Manual = nullptr;
  const void* Identity() const {
    return Fade ? reinterpret_cast<const void*>(Fade)
                : Slide ? reinterpret_cast<const void*>(Slide) : reinterpret_cast<const void*>(Manual);
  }
  explicit operator bool() const { return Identity() != nullptr; }
};

class EProcItemError : public fw::Exception {
 public:
  using fw::Exception::Exception;
};

class TteProcItem {
 public:
  TteProcItem(std::uint8_t kind, TEffectProc proc, std::string displayName)
      : Kind(kind), Proc(proc), DisplayName(std::move(displayName)) {}
  std::uint8_t Kind;
  TEffectProc Proc;
  std::string DisplayName;  // "[ FADE ] - Name", "[ SLIDE ] - Name", "[ MANUAL ] - Name"
  // The display name after its first "-" and one more character.
  std::string NamePart() const;
};

// Owns its items; clearing frees them.
class TteProcList {
 public:
  int Count() const { return int(items_.size()); }
  TteProcItem* Item(int i) const { return items_[size_t(i)].get(); }
  void Add(std::unique_ptr<TteProcItem> item) { items_.push_back(std::move(item)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TteProcItem>> items_;
};

inline constexpr const char* kRandomEffectName = "[ RANDOM ] - Random selection";
inline constexpr const char* kBitmapEffectName = "[ BITMAP ] - Bitmap Animation";

const char* KindPrefix(std::uint8_t kind);

// The process-wide list (created on first use).
TteProcList& EffectList();
// Raises EProcItemError "Effect procedute %s already exists in list" when the
// name (as a name part, in any letter case) or the procedure is registered.
void RegisterEffect(const std::string& name, std::uint8_t kind, TEffectProc proc);
// By display name, then by name part; both without regard to letter case.
TteProcItem* FindEffect(const std::string& name);
// The two special names, then the display name of every effect registered
// when the list was built (at the transition engine's start): an effect
// registered later is not in it. Empty before it is built and after it is freed.
const std::vector<std::string>& EffectNames();
void BuildEffectNames();
void FreeEffectNames();

// The FADE and SLIDE procedures of the effects, by name, in registration order
// (the MANUAL "Slide" and "Push" are registered by the engine).
struct TNamedEffect {
  const char* Name;
  std::uint8_t Kind;
  TFadeProc Fade;
  TSlideProc Slide;
};
const std::vector<TNamedEffect>& GridEffects();

// Registers the grid effects, then the given MANUAL ones, in the list's order.
void RegisterStandardEffects(TManualProc slide, TManualProc push);

}  // namespace te
