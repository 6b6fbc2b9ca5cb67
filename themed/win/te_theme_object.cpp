// The theme object: its tables with their defaults and stream formats, its
// construction, assignment and general operations, and DrawTextInfo.
#include <algorithm>

#include "framework/core/exception.h"
#include "framework/win/sysutils.h"
#include "themed/core/te_colors.h"
#include "themed/core/te_theme_streams.h"
#include "themed/win/te_theme.h"
#include "themed/win/te_utils.h"

namespace te {

using namespace fw;

namespace {

TColor HueShifted(TColor c, int delta) { return TeColorToColor(ChangeHue(ColorToTeColor(c, 255), delta)); }
TColor BrightnessShifted(TColor c, int delta) {
  return TeColorToColor(ChangeBrightness(ColorToTeColor(c, 255), std::int16_t(delta)));
}

template <size_t N>
void ShiftAll(std::array<TColor, N>& colors, TColor (*shift)(TColor, int), int delta) {
  if (delta == 0) return;
  for (auto& c : colors) c = shift(c, delta);
}

// A colour table as named entries: the names, and the colours as their texts.
template <size_t N>
void WriteColorTable(std::ostream& out, bool highestIndexByte, const char* const* names,
                     const std::array<TColor, N>& colors) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (size_t i = 0; i < N; ++i) entries.emplace_back(names[i], ColorToString(colors[i]));
  WriteEntryTable(out, highestIndexByte, entries);
}

template <size_t N>
void ReadColorTable(std::istream& in, bool highestIndexByte, std::array<TColor, N>& colors) {
  ReadEntryTable(in, highestIndexByte, int(N),
                 [&colors](int i, const std::string& text) { colors[size_t(i)] = StringToColor(text); });
}

}  // namespace

TColor ShiftColor(TColor color, int amount) {
  const COLORREF rgb = ColorToRGB(color);
  auto channel = [amount](int v) { return std::clamp(v + amount, 0, 255); };
  return TColor(channel(GetRValue(rgb)) | channel(GetGValue(rgb)) << 8 | channel(GetBValue(rgb)) << 16);
}

// ---- Colours --------------------------------------------------------------------------------

TteThemeColors::TteThemeColors(TteTheme* theme) : theme_(theme) {}

const TClassInfo& TteThemeColors::StaticClassInfo() {
  static const TClassInfo info("TteThemeColors", &TPersistent::StaticClassInfo());
  return info;
}

void TteThemeColors::Assign(const TPersistent& source) {
  if (auto* s = dynamic_cast<const TteThemeColors*>(&source)) {
    colors_ = s->colors_;
    return;
  }
  TPersistent::Assign(source);
}

void TteThemeColors::SaveToStream(std::ostream& out) const {
  WriteColorTable(out, true, kThemeColorNames, colors_);
}

void TteThemeColors::LoadFromStream(std::istream& in) {
  ReadColorTable(in, true, colors_);
}

void TteThemeColors::AdjustHue(int delta) { ShiftAll(colors_, HueShifted, delta); }
void TteThemeColors::AdjustBrightness(int delta) { ShiftAll(colors_, BrightnessShifted, delta); }

// ---- System colours ----------------------------------------------------------------------------

TteThemeSysColors::TteThemeSysColors(TteTheme* theme) : theme_(theme) {
  // Frozen to what the platform's colours are now; clDefault stays as it is.
  for (int i = 0; i < kCount; ++i) {
    const TColor c = StringToColor(kThemeSysColorNames[i]);
    colors_[size_t(i)] = c == clDefault ? c : TColor(ColorToRGB(c));
  }
}

const TClassInfo& TteThemeSysColors::StaticClassInfo() {
  static const TClassInfo info("TteThemeSysColors", &TPersistent::StaticClassInfo());
  return info;
}

void TteThemeSysColors::Assign(const TPersistent& source) {
  if (auto* s = dynamic_cast<const TteThemeSysColors*>(&source)) {
    colors_ = s->colors_;
    return;
  }
  TPersistent::Assign(source);
}

void TteThemeSysColors::SaveToStream(std::ostream& out) const {
  WriteColorTable(out, false, kThemeSysColorNames, colors_);
}

void TteThemeSysColors::LoadFromStream(std::istream& in) {
  ReadColorTable(in, false, colors_);
}

void TteThemeSysColors::AdjustHue(int delta) { ShiftAll(colors_, HueShifted, delta); }
void TteThemeSysColors::AdjustBrightness(int delta) { ShiftAll(colors_, BrightnessShifted, delta); }

// ---- Fonts ----------------------------------------------------------------------------------

TteThemeFonts::TteThemeFonts(TteTheme* theme) : objectFont_(std::make_unique<TFont>()), theme_(theme) {
  for (auto& f : fonts_) {
    f = std::make_unique<TFont>();
    f->SetName(L"Tahoma");
  }
}

TteThemeFonts::~TteThemeFonts() = default;

const TClassInfo& TteThemeFonts::StaticClassInfo() {
  static const TClassInfo info("TteThemeFonts", &TPersistent::StaticClassInfo());
  return info;
}

void TteThemeFonts::Assign(const TPersistent& source) {
  if (auto* s = dynamic_cast<const TteThemeFonts*>(&source)) {
    for (int i = 0; i < kCount; ++i) fonts_[size_t(i)]->Assign(*s->fonts_[size_t(i)]);
    return;
  }
  TPersistent::Assign(source);
}

void TteThemeFonts::SaveToStream(std::ostream& out) const {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < kCount; ++i) {
    const TFont& f = *fonts_[size_t(i)];
    // A colour that is a system-colour reference is written as the colour it stands for.
    entries.emplace_back(kThemeFontNames[i], FontDescription(WideToAnsi(f.Name()), f.Size(), f.Charset(),
                                                             TColor(ColorToRGB(f.Color())), f.Style()));
  }
  WriteEntryTable(out, true, entries);
}

void TteThemeFonts::LoadFromStream(std::istream& in) {
  ReadEntryTable(in, true, kCount, [this](int i, const std::string& text) {
    TFont& f = *fonts_[size_t(i)];
    TFontDescriptionTarget target{[&f](const std::string& name) { f.SetName(AnsiToWide(name)); },
                                  [&f](int size) { f.SetSize(size); }, [&f](TColor c) { f.SetColor(c); },
                                  [&f](std::uint32_t style) { f.SetStyle(style); }};
    ReadFontDescription(text, target);
  });
}

TFont& TteThemeFonts::GetObjectFont(int index, const TObjectName& objectName) {
  TFont& stored = *fonts_.at(size_t(index));
  if (!theme_ || objectName == "default") return stored;
  objectFont_->Assign(stored);
  theme_->AdjustObjectFont(*objectFont_, index, objectName);
  return *objectFont_;
}

void TteThemeFonts::AdjustHue(int delta) {
  for (auto& f : fonts_) f->SetColor(HueShifted(f->Color(), delta));
}

void TteThemeFonts::AdjustBrightness(int delta) {
  for (auto& f : fonts_) f->SetColor(BrightnessShifted(f->Color(), delta));
}

// ---- Options -------------------------------------------------------------------------------

TteThemeOptions::TteThemeOptions(TteTheme* theme) : theme_(theme) {}

const TClassInfo& TteThemeOptions::StaticClassInfo() {
  static const TClassInfo info("TteThemeOptions", &TPersistent::StaticClassInfo());
  return info;
}

void TteThemeOptions::Assign(const TPersistent& source) {
  if (auto* s = dynamic_cast<const TteThemeOptions*>(&source)) {
    flags_ = s->flags_;
    return;
  }
  TPersistent::Assign(source);
}

void TteThemeOptions::SaveToStream(std::ostream& out) const { WriteFlagTable(out, flags_.data(), kCount); }
void TteThemeOptions::LoadFromStream(std::istream& in) { ReadFlagTable(in, flags_.data(), kCount); }

// ---- The theme ------------------------------------------------------------------------------

TteTheme::TteTheme() : name_("Default theme") {
  colors_ = std::make_unique<TteThemeColors>(this);
  sysColors_ = std::make_unique<TteThemeSysColors>(this);
  fonts_ = std::make_unique<TteThemeFonts>(this);
  metrics_ = std::make_unique<TteThemeMetrics>(this);
  drawing_ = std::make_unique<TteThemeDrawing>(this);
  options_ = std::make_unique<TteThemeOptions>(this);
  SetDefaults();
}

TteTheme::~TteTheme() {
  options_.reset();
  metrics_.reset();
  drawing_.reset();
  fonts_.reset();
  sysColors_.reset();
  colors_.reset();
}

const TClassInfo& TteTheme::StaticClassInfo() {
  static const TClassInfo info("TteTheme", &TPersistent::StaticClassInfo());
  return info;
}

void TteTheme::Assign(const TPersistent& source) {
  if (auto* s = dynamic_cast<const TteTheme*>(&source)) {
    name_ = s->name_;
    colors_->Assign(*s->colors_);
    sysColors_->Assign(*s->sysColors_);
    fonts_->Assign(*s->fonts_);
    options_->Assign(*s->options_);
    return;
  }
  TPersistent::Assign(source);
}

void TteTheme::SetDefaultColors() {
  static constexpr std::pair<int, TColor> kDefaults[] = {
      {0, 0xFF0000},   {1, 0xC0C0C0},   {2, 0x808080},   {3, 0xC0C0C0},   {5, clBtnFace},    {6, clBtnFace},
      {7, clBtnFace},  {8, clBtnFace},  {9, clBtnFace},  {10, clBtnFace}, {11, clBtnFace},   {12, clWindow},
      {13, clWindow},  {14, clWindow},  {15, clBtnFace}, {16, clHighlight}, {17, clInfoBk},  {18, clWindow},
      {19, clWindow},  {20, clWindow},  {21, clBtnFace}};  // 4, "Border", keeps what it has
  for (auto [index, color] : kDefaults) colors_->SetColor(index, color);
  colors_->AdjustHue(hueShift_);
  colors_->AdjustBrightness(brightnessShift_);
}

void TteTheme::AdjustSysColors() {
  sysColors_->AdjustHue(hueShift_);
  sysColors_->AdjustBrightness(brightnessShift_);
}

void TteTheme::SetDefaultFonts() {
  struct TRow {
    int first, last, size;
    TColor color;
    std::uint32_t style;
  };
  // Rows not listed keep the fonts' construction defaults.
  static constexpr TRow kRows[] = {
      {0, 0, 10, 0xFFFFFF, fsBold},   {1, 1, 10, 0xC0C0C0, fsBold},   {2, 2, 8, 0xFFFFFF, fsBold},
      {3, 3, 8, 0xC0C0C0, fsBold},    {4, 7, 8, 0, 0},                {10, 13, 8, 0, 0},
      {14, 14, 8, clBtnShadow, 0},    {15, 24, 8, 0, 0},              {25, 25, 8, 0, 0},
      {26, 26, 8, clBtnShadow, 0},    {27, 27, 8, 0, 0},              {28, 28, 8, clBtnShadow, 0},
      {29, 31, 8, 0, 0},              {32, 32, 8, clBtnShadow, 0},    {33, 33, 8, 0xFFFFFF, 0},
      {37, 37, 8, clBtnShadow, 0},    {41, 41, 8, clBtnShadow, 0},    {46, 46, 8, 0, 0},
      {65, 65, 8, clBtnShadow, 0}};
  for (const TRow& row : kRows)
    for (int i = row.first; i <= row.last; ++i) {
      TFont& f = fonts_->GetFont(i);
      f.SetName(L"Tahoma");
      f.SetSize(row.size);
      f.SetColor(row.color);
      f.SetStyle(row.style);
    }
  fonts_->AdjustHue(hueShift_);
  fonts_->AdjustBrightness(brightnessShift_);
}

void TteTheme::AdjustObjectFont(TFont& font, int index, const TObjectName&) { font.Assign(fonts_->GetFont(index)); }

void TteTheme::GetKindName(std::string& name) { name = "Default"; }

void TteTheme::GetThemeInfo(TteThemeInfo& info) { info = TteThemeInfo{}; }

std::intptr_t TteTheme::ReservedQuery1() { return 0; }
std::intptr_t TteTheme::ReservedQuery2() { return 0; }
std::intptr_t TteTheme::ReservedQuery3() { return 0; }
std::intptr_t TteTheme::ReservedQuery4() { return 0; }
std::intptr_t TteTheme::ReservedQuery5() { return 0; }

void TteTheme::SetDefaults() {
  SetDefaultColors();
  AdjustSysColors();
  SetDefaultFonts();
}

void TteTheme::DrawTextInfo(TCanvas& canvas, const TteTextInfo& info) {
  std::uint8_t alignment;
  const UINT flags = TextInfoDrawFlags(info, alignment);
  const int W = info.Rect.Width(), H = info.Rect.Height();
  if (info.Orientation == 1 || info.Orientation == 2) {
    const bool clockwise = info.Orientation == 1;
    if (alignment == 0) {
      DrawRotatedText(canvas, info.Text, info.Rect, flags, clockwise);
    } else if (alignment == 4) {
      TRect measured = info.Rect;
      DrawTextWide(canvas, info.Text, measured, flags | DT_CALCRECT);
      // Turned a quarter: as wide as the text is high, as high as it is wide.
      TRect r = Bounds(info.Rect.Left, info.Rect.Top, measured.Height(), measured.Width());
      const int dx = (W - measured.Height()) / 2, dy = (H - measured.Width()) / 2;
      r = Rect(r.Left + dx, r.Top + dy - 2, r.Right + dx, r.Bottom + dy + 2);
      DrawRotatedText(canvas, info.Text, r, flags, clockwise);
    }
    return;
  }
  if (alignment == 0) {
    TRect r = info.Rect;
    DrawTextWide(canvas, info.Text, r, flags);
    return;
  }
  TRect measured = info.Rect;
  DrawTextWide(canvas, info.Text, measured, flags | DT_CALCRECT);
  int dx, dy;
  if (!AlignedTextOffset(alignment, W, H, measured.Width(), measured.Height(), dx, dy)) return;
  TRect r = Bounds(info.Rect.Left + dx, info.Rect.Top + dy, measured.Width(), measured.Height());
  DrawTextWide(canvas, info.Text, r, flags);
}

}  // namespace te
