// The transition engine: animates the change from an old picture to a new
// one on a canvas through a named effect, optionally rotated by quarter turns,
// tiled and computed at a coarser resolution. Up to 201 transitions run at
// once, driven by one 20 ms timer on the user-interface thread; one can also be
// run to its end synchronously.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/win/graphics.h"
#include "themed/core/te_effect_cache.h"
#include "themed/core/te_effects.h"
#include "themed/win/te_bitmap.h"

namespace te {

enum TteRotation { krNone, krRotate90, krRotate180, krRotate270 };

// The settings of a transition, published to the user by the library's
// animation component and window frames.
class TteAnimationRec : public fw::TComponent {
 public:
  explicit TteAnimationRec(fw::TComponent* owner);
  static const fw::TClassInfo& StaticClassInfo();
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Assign(const fw::TPersistent& source) override;

  fw::TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(const fw::TBitmap& b) { bitmap_->Assign(b); }
  const std::string& Effect() const { return effect_; }
  void SetEffect(const std::string& v) {
    if (v != effect_) effect_ = v;
  }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  int Resolution() const { return resolution_; }
  void SetResolution(int v);  // clamped to 1 .. 10
  TteRotation Rotation() const { return rotation_; }
  void SetRotation(TteRotation v) { rotation_ = v; }
  int TileCount() const { return tileCount_; }
  void SetTileCount(int v);  // clamped to 1 .. 20
  int Time() const { return time_; }
  void SetTime(int v);  // milliseconds, clamped to 50 .. 9000

 private:
  std::wstring EffectW() const;
  void SetEffectW(const std::wstring& v);
  std::unique_ptr<fw::TBitmap> bitmap_;
  std::string effect_ = kRandomEffectName;
  bool enabled_ = false;
  int resolution_ = 1, tileCount_ = 1, time_ = 400;
  TteRotation rotation_ = krNone;
};

// A stopwatch over QueryPerformanceCounter.
class TteTimer {
 public:
  TteTimer();
  std::int64_t StartCount = 0, StopCount = 0, Frequency = 1, Overhead = 0;
};
void StartTimer(std::unique_ptr<TteTimer>& t);
float StopTimer(std::unique_ptr<TteTimer>& t);  // seconds since StartTimer; 0 without a timer

inline constexpr int kTransitionSlots = 201;

struct TTransitionSlot {
  int Cols = 0, Rows = 0;
  size_t MaskSize = 0;
  std::vector<std::uint8_t> Mask, Mask2;
  std::vector<TSlideCell> Map;
  bool Active = false, Busy = false;
  float Elapsed = 0;  // milliseconds
  TteAnimationRec* Settings = nullptr;
  TteBitmap* NewImage = nullptr;
  TteBitmap* OldImage = nullptr;
  std::unique_ptr<TteBitmap> Work;
  TteProcItem* EffectItem = nullptr;  // null for the picture-driven effect
  bool PictureDriven = false;
  fw::TCanvas* Canvas = nullptr;
  int X = 0, Y = 0;
  // What the effect's frames share (its family's cover, the Pixel family's
  // pick order), handed to its procedure at every frame, freed with the slot.
  TEffectCache Cache;
};
const TTransitionSlot& TransitionSlot(int slot);

int StartTransition(fw::TCanvas& canvas, int x, int y, TteBitmap& oldImage, TteBitmap& newImage,
                    TteAnimationRec& settings, int slot = -1);
void StopTransition(int slot, bool drawFinal);
bool TransitionActive(int slot);
bool RunTransition(fw::TCanvas& canvas, int x, int y, TteBitmap& oldImage, TteBitmap& newImage,
                   TteAnimationRec& settings);
// One tick of the 20 ms timer: every slot advances, then the tick's own time is added.
void TransitionTick();
bool TransitionTimerEnabled();
// The progress of the frame the slot last drew (from its Elapsed), at most 100.
int SlotProgress(const TTransitionSlot& s);

// Mask bytes as the alpha of the pixels of r inside the bitmap, stretched by
// nearest cell in 16.16 fixed point.
void ApplyMaskAlpha(TteBitmap& bitmap, const std::uint8_t* mask, int cols, int rows, const fw::TRect& r);

// The two MANUAL effects.
void ManualSlide(TteBitmap& work, TteBitmap& newImage, const TteAnimationRec& settings, std::uint8_t p);
void ManualPush(TteBitmap& work, TteBitmap& newImage, const TteAnimationRec& settings, std::uint8_t p);

void InitEffectUnit();
void FinalizeEffectUnit();

}  // namespace te
