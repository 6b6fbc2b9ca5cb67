#include "themed/win/te_effect.h"

#include <chrono>
#include <random>

#include "framework/core/text.h"
#include "framework/win/utility_window.h"
#include "themed/core/te_cpu.h"
#include "themed/core/te_stretch.h"
#include "themed/win/te_message_pump.h"

namespace te {

namespace {

TTransitionSlot gSlots[kTransitionSlots];
fw::TUtilityWindow gTimerWindow;
bool gTimerEnabled = false;
std::mt19937 gRandom;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerInterval = 20;

void TimerHandler(HWND hwnd, fw::TMessage& m) {
  if (m.Msg == WM_TIMER && m.WParam == kTimerId) {
    TransitionTick();
    return;
  }
  fw::TUtilityWindow::DefaultHandling(hwnd, m);
}

// The timer runs exactly while some slot is active.
void UpdateTimer() {
  bool any = false;
  for (const auto& s : gSlots) any = any || s.Active;
  if (any == gTimerEnabled) return;
  gTimerEnabled = any;
  if (!gTimerWindow) return;
  if (any)
    ::SetTimer(gTimerWindow.Handle(), kTimerId, kTimerInterval, nullptr);
  else
    ::KillTimer(gTimerWindow.Handle(), kTimerId);
}

void FreeSlot(TTransitionSlot& s) {
  s.Mask.clear();
  s.Mask.shrink_to_fit();
  s.Mask2.clear();
  s.Mask2.shrink_to_fit();
  s.Map.clear();
  s.Map.shrink_to_fit();
  s.MaskSize = 0;
  s.Work.reset();
  s.Cache = TEffectCache();
  s.Active = false;
}

struct TBusy {
  explicit TBusy(bool& b) : b_(b) { b_ = true; }
  ~TBusy() { b_ = false; }
  bool& b_;
};

TPixelGrid GridOf(TteBitmap& b) { return TPixelGrid{b.Bits(), b.Width(), b.Height(), false}; }

// Whether the old picture goes into the work bitmap as a plain copy, which
// the masked frames then make as they compose, row by row.
bool CopiedPlain(const TTransitionSlot& s) {
  return !s.OldImage->AlphaBlend && !s.OldImage->Transparent && s.OldImage->Width() == s.Work->Width() &&
         s.OldImage->Height() == s.Work->Height();
}

// The mask on every tile of the new picture as its alpha, the key colour
// clear, and the new picture blended over the old one into the work bitmap.
void ApplyMaskToTiles(TTransitionSlot& s) {
  const int res = s.Settings->Resolution(), tiles = s.Settings->TileCount();
  s.NewImage->AlphaBlend = true;
  const TPixelGrid work = GridOf(*s.Work);
  ComposeFadeFrame(work, CopiedPlain(s) ? GridOf(*s.OldImage) : work, GridOf(*s.NewImage), s.Mask.data(), s.Cols,
                   s.Rows, res * s.Cols, res * s.Rows, tiles);
}

void FadeFrame(TTransitionSlot& s, std::uint8_t p) {
  const TteRotation rot = s.Settings->Rotation();
  const int cols = s.Cols, rows = s.Rows;
  if (rot == krNone) {
    std::fill(s.Mask.begin(), s.Mask.end(), 0);
    s.EffectItem->Proc.Fade(s.Mask.data(), cols, rows, p);
  } else {
    std::fill(s.Mask2.begin(), s.Mask2.end(), 0);
    const bool quarter = rot == krRotate90 || rot == krRotate270;
    s.EffectItem->Proc.Fade(s.Mask2.data(), quarter ? rows : cols, quarter ? cols : rows, p);
    for (int j = 0; j < rows; ++j)
      for (int i = 0; i < cols; ++i) {
        if (rot == krRotate90)
          s.Mask[size_t((rows - 1 - j) * cols + i)] = s.Mask2[size_t(i * rows + j)];
        else if (rot == krRotate180)
          s.Mask[size_t((rows - 1 - j) * cols + (cols - 1 - i))] = s.Mask2[size_t(j * cols + i)];
        else
          s.Mask[size_t(j * cols + (cols - 1 - i))] = s.Mask2[size_t(i * rows + j)];
      }
  }
  ApplyMaskToTiles(s);
}

void PictureFrame(TTransitionSlot& s, std::uint8_t p) {
  const TteRotation rot = s.Settings->Rotation();
  const int cols = s.Cols, rows = s.Rows;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i) {
      size_t k;
      switch (rot) {
        case krNone: k = size_t(j * cols + i); break;
        case krRotate90: k = size_t(i * rows + j); break;
        case krRotate180: k = size_t((cols - 1 - i) + (rows - 1 - j) * cols); break;
        default: k = size_t((rows - 1 - j) + i * rows); break;
      }
      int v = s.Mask2[k] + fw::MulDiv(510, p, 100) - 255;
      s.Mask[size_t(j * cols + i)] = std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
    }
  ApplyMaskToTiles(s);
}

void SlideFrame(TTransitionSlot& s, std::uint8_t p) {
  struct TEnd {
    ~TEnd() { EndMMX(); }
  } end;
  const TteRotation rot = s.Settings->Rotation();
  const int cols = s.Cols, rows = s.Rows, res = s.Settings->Resolution(), tiles = s.Settings->TileCount();
  const bool quarter = rot == krRotate90 || rot == krRotate270;
  std::fill(s.Map.begin(), s.Map.end(), TSlideCell{});
  s.EffectItem->Proc.Slide(s.Map.data(), quarter ? rows : cols, quarter ? cols : rows, p);
  TteBitmap& img = *s.NewImage;
  TteBitmap& work = *s.Work;
  const int tileW = work.Width() / tiles, tileH = work.Height() / tiles;
  for (int ty = 0; ty < tiles; ++ty)
    for (int tx = 0; tx < tiles; ++tx) {
      const int K = (tileW + 1) * tx, L = (tileH + 1) * ty;
      const int right = (tileW + 1) * (tx + 1), bottom = (tileH + 1) * (ty + 1);
      for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
          const TSlideCell* c;
          int sx, sy;
          switch (rot) {
            case krNone:
              c = &s.Map[size_t(j * cols + i)];
              sx = c->Col;
              sy = c->Row;
              break;
            case krRotate90:
              c = &s.Map[size_t((cols - 1 - i) * rows + j)];
              sx = cols - 1 - c->Row;
              sy = c->Col;
              break;
            case krRotate180:
              c = &s.Map[size_t((rows - 1 - j) * cols + (cols - 1 - i))];
              sx = cols - 1 - c->Col;
              sy = rows - 1 - c->Row;
              break;
            default:
              c = &s.Map[size_t(i * rows + (rows - 1 - j))];
              sx = c->Row;
              sy = rows - 1 - c->Col;
              break;
          }
          const std::uint8_t a = c->Alpha;
          if (a == 0) continue;
          for (int dy = 0; dy <= res; ++dy)
            for (int dx = 0; dx <= res; ++dx) {
              const int x = K + res * i + dx, y = L + res * j + dy;
              if (x < 0 || y < 0 || x >= img.Width() || y >= img.Height() || x >= work.Width() || y >= work.Height())
                continue;
              const int srcX = K + res * sx + dx, srcY = L + res * sy + dy;
              if (srcX < 0 || srcY < 0 || srcX >= img.Width() || srcY >= img.Height()) continue;
              if (srcX < K || srcX > right || srcY < L || srcY > bottom) continue;
              // The source is blended from a copy, so NewImage keeps its pixels from frame to frame.
              TteColor src = *img.PixelPtr(srcX, srcY);
              if ((src >> 24) == 0) continue;
              TteColor& out = *work.PixelPtr(x, y);
              if (a == 255) {
                out = src;
              } else {
                src = (src & 0x00FFFFFF) | TteColor(a) << 24;
                out = PixelOps.BlendPixel(src, out);
              }
            }
        }
    }
}

void ManualFrame(TTransitionSlot& s, std::uint8_t p) {
  PixelOps.ClearAlphaOfColor(s.NewImage->Bits(), s.NewImage->Width() * s.NewImage->Height(), TransparentKey);
  s.EffectItem->Proc.Manual(*s.Work, *s.NewImage, *s.Settings, p);
}

void AdvanceSlot(int index) {
  TTransitionSlot& s = gSlots[index];
  if (!s.Active || !s.NewImage || !s.OldImage || !s.Work) return;
  s.Elapsed += 20;
  if (s.Busy) return;
  try {
    TBusy busy(s.Busy);
    const std::uint8_t p = std::uint8_t(SlotProgress(s));
    const bool masked = s.PictureDriven || s.EffectItem->Kind == ekFade;
    if (!masked || !CopiedPlain(s)) s.OldImage->Draw(*s.Work, 0, 0);
    const TEffectCacheScope handed(s.Cache);
    if (s.PictureDriven)
      PictureFrame(s, p);
    else if (s.EffectItem->Kind == ekFade)
      FadeFrame(s, p);
    else if (s.EffectItem->Kind == ekSlide)
      SlideFrame(s, p);
    else
      ManualFrame(s, p);
    s.Work->Draw(s.Canvas->Handle(), s.X, s.Y);
    if (p < 100) return;
  } catch (...) {
    // A transition that cannot draw its frame ends: nothing of it stays to run on the next tick.
    StopTransition(index, false);
    throw;
  }
  StopTransition(index, false);
}

int ManualOffset(const TteBitmap& work, const TteAnimationRec& settings, std::uint8_t p) {
  const TteRotation r = settings.Rotation();
  return fw::MulDiv(r == krNone || r == krRotate180 ? work.Width() : work.Height(), p, 100);
}

void DrawManual(TteBitmap& work, TteBitmap& img, TteRotation r, int d) {
  img.AlphaBlend = true;
  switch (r) {
    case krNone: img.Draw(work, d - work.Width(), 0); break;
    case krRotate90: img.Draw(work, 0, work.Height() - d); break;
    case krRotate180: img.Draw(work, work.Width() - d, 0); break;
    case krRotate270: img.Draw(work, 0, d - work.Height()); break;
  }
}

}  // namespace

// ---- settings ---------------------------------------------------------------

TteAnimationRec::TteAnimationRec(fw::TComponent* owner)
    : fw::TComponent(owner), bitmap_(std::make_unique<fw::TBitmap>()) {}

const fw::TClassInfo& TteAnimationRec::StaticClassInfo() {
  static const fw::TClassInfo info = [] {
    fw::TClassInfo i("TteAnimationRec", &fw::TComponent::StaticClassInfo(),
                     [](fw::TComponent* o) -> fw::TComponent* { return new TteAnimationRec(o); });
    i.Add(fw::StringProp<TteAnimationRec>("Effect", &TteAnimationRec::EffectW, &TteAnimationRec::SetEffectW,
                                          fw::Utf8ToWide(kRandomEffectName)));
    i.Add(fw::BoolProp<TteAnimationRec>("Enabled", &TteAnimationRec::Enabled, &TteAnimationRec::SetEnabled, false));
    i.Add(fw::IntProp<TteAnimationRec>("Resolution", &TteAnimationRec::Resolution, &TteAnimationRec::SetResolution, 1));
    i.Add(fw::EnumProp<TteAnimationRec, TteRotation>("Rotation", &TteAnimationRec::Rotation,
                                                     &TteAnimationRec::SetRotation,
                                                     {"krNone", "krRotate90", "krRotate180", "krRotate270"}, krNone));
    i.Add(fw::IntProp<TteAnimationRec>("TileCount", &TteAnimationRec::TileCount, &TteAnimationRec::SetTileCount, 1));
    i.Add(fw::IntProp<TteAnimationRec>("Time", &TteAnimationRec::Time, &TteAnimationRec::SetTime, 400));
    return i;
  }();
  return info;
}

std::wstring TteAnimationRec::EffectW() const { return fw::Utf8ToWide(effect_); }
void TteAnimationRec::SetEffectW(const std::wstring& v) { SetEffect(fw::WideToUtf8(v)); }

void TteAnimationRec::SetResolution(int v) { resolution_ = v <= 0 ? 1 : v > 10 ? 10 : v; }
void TteAnimationRec::SetTileCount(int v) { tileCount_ = v <= 0 ? 1 : v > 20 ? 20 : v; }
void TteAnimationRec::SetTime(int v) { time_ = v <= 50 ? 50 : v > 9000 ? 9000 : v; }

void TteAnimationRec::Assign(const fw::TPersistent& source) {
  const auto* o = dynamic_cast<const TteAnimationRec*>(&source);
  if (!o) return fw::TComponent::Assign(source);
  if (!o->bitmap_->Empty()) bitmap_->Assign(*o->bitmap_);
  effect_ = o->effect_;
  enabled_ = o->enabled_;
  resolution_ = o->resolution_;
  rotation_ = o->rotation_;
  tileCount_ = o->tileCount_;
  time_ = o->time_;
}

// ---- stopwatch --------------------------------------------------------------

TteTimer::TteTimer() {
  LARGE_INTEGER v;
  ::QueryPerformanceCounter(&v);
  StartCount = v.QuadPart;
  ::QueryPerformanceCounter(&v);
  StopCount = v.QuadPart;
  Overhead = StopCount - StartCount;
  ::QueryPerformanceFrequency(&v);
  Frequency = v.QuadPart ? v.QuadPart : 1;
}

void StartTimer(std::unique_ptr<TteTimer>& t) {
  if (!t) t = std::make_unique<TteTimer>();
  LARGE_INTEGER v;
  ::QueryPerformanceCounter(&v);
  t->StartCount = v.QuadPart;
}

float StopTimer(std::unique_ptr<TteTimer>& t) {
  if (!t) return 0;
  LARGE_INTEGER v;
  ::QueryPerformanceCounter(&v);
  t->StopCount = v.QuadPart;
  return float(double(t->StopCount - t->StartCount - t->Overhead) / double(t->Frequency));
}

// ---- the engine -------------------------------------------------------------

const TTransitionSlot& TransitionSlot(int slot) { return gSlots[slot]; }
bool TransitionTimerEnabled() { return gTimerEnabled; }

int SlotProgress(const TTransitionSlot& s) {
  const int p = RoundEven(double(s.Elapsed) / s.Settings->Time() * 100);
  return p > 100 ? 100 : p;
}

void ApplyMaskAlpha(TteBitmap& bitmap, const std::uint8_t* mask, int cols, int rows, const fw::TRect& r) {
  ApplyMaskAlphaPixels(TPixelGrid{bitmap.Bits(), bitmap.Width(), bitmap.Height(), false}, mask, cols, rows, r);
}

int StartTransition(fw::TCanvas& canvas, int x, int y, TteBitmap& oldImage, TteBitmap& newImage,
                    TteAnimationRec& settings, int slot) {
  if (slot < 0) {
    slot = -1;
    for (int i = 0; i < kTransitionSlots && slot < 0; ++i)
      if (!gSlots[i].Active) slot = i;
    if (slot < 0) return -1;
  } else if (slot >= kTransitionSlots) {
    return -1;
  } else if (gSlots[slot].Active) {
    StopTransition(slot, false);
  }
  TTransitionSlot& s = gSlots[slot];
  s.OldImage = &oldImage;
  s.NewImage = &newImage;
  s.Settings = &settings;
  if (oldImage.Empty() || newImage.Empty()) return slot;
  s.PictureDriven = settings.Effect() == kBitmapEffectName;
  s.EffectItem = nullptr;
  if (!s.PictureDriven) {
    if (settings.Effect() == kRandomEffectName) {
      if (EffectList().Count() > 0)
        s.EffectItem = EffectList().Item(int(gRandom() % std::uint32_t(EffectList().Count())));
    } else {
      s.EffectItem = FindEffect(settings.Effect());
    }
    if (!s.EffectItem || !s.EffectItem->Proc) return slot;
  }
  s.Work = std::make_unique<TteBitmap>();
  s.Work->SetSize(oldImage.Width(), oldImage.Height());
  s.Cols = oldImage.Width() / settings.Resolution() / settings.TileCount() + 1;
  s.Rows = oldImage.Height() / settings.Resolution() / settings.TileCount() + 1;
  const size_t cells = size_t(s.Cols) * size_t(s.Rows);
  s.Mask.clear();
  s.Mask2.clear();
  s.Map.clear();
  if (s.PictureDriven) {
    s.MaskSize = cells;
    s.Mask.assign(cells, 0);
    s.Mask2.assign(cells, 0);
    const bool quarter = settings.Rotation() == krRotate90 || settings.Rotation() == krRotate270;
    fw::TBitmap small;
    small.SetPixelFormat(fw::TPixelFormat::pf32bit);
    small.SetSize(quarter ? s.Rows : s.Cols, quarter ? s.Cols : s.Rows);
    if (!settings.Bitmap()->Empty())
      small.Canvas().StretchDraw(fw::Rect(0, 0, small.Width(), small.Height()), settings.Bitmap());
    TteBitmap picture;
    picture.Assign(small);
    for (size_t k = 0; k < cells && k < size_t(picture.Width()) * size_t(picture.Height()); ++k)
      s.Mask[k] = s.Mask2[k] = std::uint8_t(picture.Bits()[k] & 0xFF);
  } else if (s.EffectItem->Kind == ekFade) {
    s.MaskSize = cells;
    s.Mask.assign(cells, 0);
    if (settings.Rotation() != krNone) s.Mask2.assign(cells, 0);
  } else if (s.EffectItem->Kind == ekSlide) {
    s.MaskSize = cells * sizeof(TSlideCell);
    s.Map.assign(cells, TSlideCell{});
  }
  s.Elapsed = 0.01f;
  s.Active = true;
  s.Busy = false;
  s.Canvas = &canvas;
  s.X = x;
  s.Y = y;
  UpdateTimer();
  return slot;
}

void StopTransition(int slot, bool drawFinal) {
  if (slot < 0 || slot >= kTransitionSlots) return;
  TTransitionSlot& s = gSlots[slot];
  if (!s.Active) return;
  if (s.NewImage && s.OldImage && s.Work && drawFinal && s.Canvas && ::WindowFromDC(s.Canvas->Handle())) {
    s.NewImage->AlphaBlend = true;
    s.NewImage->Draw(*s.Work, 0, 0);
    s.Work->Draw(s.Canvas->Handle(), s.X, s.Y);
  }
  FreeSlot(s);
  UpdateTimer();
}

bool TransitionActive(int slot) { return slot >= 0 && slot < kTransitionSlots && gSlots[slot].Active; }

bool RunTransition(fw::TCanvas& canvas, int x, int y, TteBitmap& oldImage, TteBitmap& newImage,
                   TteAnimationRec& settings) {
  const int slot = StartTransition(canvas, x, y, oldImage, newImage, settings, -1);
  while (TransitionActive(slot)) {
    PumpMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return false;
}

void TransitionTick() {
  std::unique_ptr<TteTimer> timer;
  StartTimer(timer);
  for (int i = 0; i < kTransitionSlots; ++i) AdvanceSlot(i);
  // The tick's own time, measured in seconds, is added in milliseconds like the 20 above.
  const float ms = StopTimer(timer) * 1000.0f;
  for (auto& s : gSlots) s.Elapsed += ms;
}

void ManualSlide(TteBitmap& work, TteBitmap& img, const TteAnimationRec& settings, std::uint8_t p) {
  DrawManual(work, img, settings.Rotation(), ManualOffset(work, settings, p));
}

void ManualPush(TteBitmap& work, TteBitmap& img, const TteAnimationRec& settings, std::uint8_t p) {
  const int d = ManualOffset(work, settings, p);
  TteBitmap copy;
  copy.Assign(work);
  copy.AlphaBlend = copy.Transparent = false;
  switch (settings.Rotation()) {
    case krNone: copy.Draw(work, d, 0); break;
    case krRotate90: copy.Draw(work, 0, -d); break;
    case krRotate180: copy.Draw(work, -d, 0); break;
    case krRotate270: copy.Draw(work, 0, d); break;
  }
  DrawManual(work, img, settings.Rotation(), d);
}

void InitEffectUnit() {
  fw::TClassRegistry::Register(TteAnimationRec::StaticClassInfo());
  gRandom.seed(std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (auto& s : gSlots) s = TTransitionSlot{};
  gTimerWindow = fw::AllocateHWnd(TimerHandler);
  gTimerEnabled = false;
  if (EffectList().Count() == 0) RegisterStandardEffects(ManualSlide, ManualPush);
  BuildEffectNames();
}

void FinalizeEffectUnit() {
  for (int i = 0; i < kTransitionSlots; ++i) FreeSlot(gSlots[i]);
  if (gTimerWindow) ::KillTimer(gTimerWindow.Handle(), kTimerId);
  gTimerWindow.Destroy();
  gTimerEnabled = false;
  FreeEffectNames();
  EffectList().Clear();
}

}  // namespace te
