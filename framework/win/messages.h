// The framework's control messages (CM_) and the message record handlers receive.
#pragma once
#include <windows.h>

namespace fw {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// An object that is not a control but takes messages: the framework's message
// dispatch of an object (controls take theirs through Perform).
class TMessageDispatcher {
 public:
  virtual ~TMessageDispatcher() = default;
  virtual void Dispatch(TMessage& m) = 0;
};

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;     // WParam: virtual key, LParam: key data
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;    // WParam: character, LParam: key data
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;  // LParam: the control that received the focus
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;  // WParam: the new visibility
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 22;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 23;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;

// ---- What the CM_ messages carry, read by name -------------------------------------------

class TControl;

// CM_DIALOGKEY, CM_DIALOGCHAR, CM_WANTSPECIALKEY: the virtual key or the
// character, and the key data of the keyboard message it came from.
inline unsigned CharCodeOf(const TMessage& m) { return unsigned(m.WParam); }
inline LPARAM KeyDataOf(const TMessage& m) { return m.LParam; }
// CM_FOCUSCHANGED: the control that received the focus, or none.
inline TControl* FocusedControlOf(const TMessage& m) { return reinterpret_cast<TControl*>(m.LParam); }
inline LPARAM FocusedControlParam(TControl* c) { return reinterpret_cast<LPARAM>(c); }
// CM_MOUSEENTER, CM_MOUSELEAVE: the control the mouse entered or left.
inline TControl* MouseControlOf(const TMessage& m) { return reinterpret_cast<TControl*>(m.LParam); }
inline LPARAM MouseControlParam(TControl* c) { return reinterpret_cast<LPARAM>(c); }

}  // namespace fw
