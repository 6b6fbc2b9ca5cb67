#include "framework/win/stdctrls.h"

#include <cctype>

#include "framework/win/forms.h"
#include "framework/win/sysutils.h"

namespace fw {

bool IsAccel(unsigned ch, const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const unsigned char a = static_cast<unsigned char>(caption[i + 1]);
    const unsigned char b = static_cast<unsigned char>(ch);
    return ::CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(a))) ==
           ::CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(b)));
  }
  return false;
}

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = csCaptureMouse | csSetCaption | csDoubleClicks | csOpaque;
  color_ = clBtnFace;
  tabStop_ = true;
  width_ = 75;
  height_ = 25;
}

const TClassInfo& TButton::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TButton", &TCustomControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TButton(o); });
    i.Add(StringProp<TButton, std::wstring>("Caption", &TButton::Caption, &TButton::SetCaption, L""));
    i.Add(BoolProp<TButton>("Cancel", &TButton::Cancel, &TButton::SetCancel, false));
    i.Add(ControlColorProp(clBtnFace));
    i.Add(BoolProp<TButton>("Default", &TButton::Default, &TButton::SetDefault, false));
    i.Add(IntProp<TButton, std::int32_t>("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0));
    i.Add(BoolProp<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true));
    return i;
  }();
  return info;
}

void TButton::Click() {
  if (TCustomForm* f = ParentForm()) f->SetModalResult(modalResult_);
  TCustomControl::Click();
}

void TButton::SetPressed(bool v) {
  if (v == pressed_) return;
  pressed_ = v;
  Invalidate();
}

void TButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TCustomControl::MouseDown(b, s, x, y);
  if (b == TMouseButton::mbLeft && enabled_) {
    if (CanFocus()) SetFocus();
    tracking_ = true;
    SetPressed(true);
  }
}

void TButton::MouseMove(TShiftState s, int x, int y) {
  TCustomControl::MouseMove(s, x, y);
  if (tracking_) SetPressed(x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight());
}

void TButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  TCustomControl::MouseUp(b, s, x, y);
  if (!tracking_) return;
  tracking_ = false;
  SetPressed(false);
  if (x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight()) Click();
}

void TButton::KeyDown(WORD& key, TShiftState s) {
  if (key == VK_SPACE && !(s & ssAlt)) SetPressed(true);
  TCustomControl::KeyDown(key, s);
}

void TButton::KeyUp(WORD& key, TShiftState s) {
  if (key == VK_SPACE) {
    SetPressed(false);
    Click();
    key = 0;
  }
  TCustomControl::KeyUp(key, s);
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = 0; return;
    case WM_ERASEBKGND:
      m.Result = 1;  // Paint covers every pixel
      return;
    case CM_ENTER:
      focused_ = true;
      Invalidate();
      break;
    case CM_EXIT:
      focused_ = false;
      Invalidate();
      break;
    case CM_DIALOGKEY: {
      const bool mods = KeyDataToShiftState(KeyDataOf(m)) & (ssShift | ssCtrl | ssAlt);
      const unsigned key = CharCodeOf(m);
      if (!mods && CanFocus() && ((key == VK_RETURN && (default_ || focused_)) || (key == VK_ESCAPE && cancel_))) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(CharCodeOf(m), text_) && CanFocus()) {
        SetFocus();
        Click();
        m.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TCustomControl::WndProc(m);
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
  color_ = clBtnFace;
  width_ = 185;
  height_ = 105;
}

const TClassInfo& TGroupBox::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TGroupBox", &TCustomControl::StaticClassInfo(),
                 [](TComponent* o) -> TComponent* { return new TGroupBox(o); });
    i.Add(StringProp<TGroupBox, std::wstring>("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption, L""));
    i.Add(ControlColorProp(clBtnFace));
    return i;
  }();
  return info;
}

void TGroupBox::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;  // Paint covers every pixel
    return;
  }
  TCustomControl::WndProc(m);
}

void TGroupBox::Paint() {
  FillWithColor();
  TCanvas& c = Canvas();
  c.Font().Assign(*font_);
  const std::wstring caption = TextW();
  SIZE text{0, 0};
  c.RequireFont();
  HDC dc = c.Handle();
  ::GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &text);
  // The etched frame runs through the middle of the caption's line.
  RECT frame{0, text.cy / 2, width_, height_};
  ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (!caption.empty()) {
    RECT r{8, 0, 8 + text.cx + 4, text.cy};
    c.FillRect(Rect(r.left, r.top, r.right, r.bottom));
    ::SetBkMode(dc, TRANSPARENT);
    r.left += 2;
    ::DrawTextW(dc, caption.c_str(), int(caption.size()), &r, DT_LEFT | DT_SINGLELINE);
  }
}

void TButton::Paint() {
  TCanvas& c = Canvas();
  HDC dc = c.Handle();
  RECT r{0, 0, width_, height_};
  c.Brush().SetColor(color_);
  c.FillRect(Rect(0, 0, width_, height_));
  if (focused_) {
    ::FrameRect(dc, &r, HBRUSH(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&r, -1, -1);
  }
  ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED | DFCS_FLAT : 0));
  RECT tr{0, 0, width_, height_};
  if (pressed_) ::OffsetRect(&tr, 1, 1);
  const std::wstring caption = TextW();
  ScopedSelectObject font(dc, font_->Handle());
  ::SetTextColor(dc, ColorToRGB(font_->Color()));
  ::SetBkMode(dc, TRANSPARENT);
  if (!enabled_) {
    RECT sh = tr;
    ::OffsetRect(&sh, 1, 1);
    ::SetTextColor(dc, ColorToRGB(clBtnHighlight));
    ::DrawTextW(dc, caption.c_str(), int(caption.size()), &sh, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(dc, ColorToRGB(clBtnShadow));
  }
  ::DrawTextW(dc, caption.c_str(), int(caption.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (focused_) {
    RECT fr{4, 4, width_ - 4, height_ - 4};
    ::DrawFocusRect(dc, &fr);
  }
}

}  // namespace fw
