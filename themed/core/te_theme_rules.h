// The theme layer's and the themed controls' rules that need no Windows:
// the records controls pass to a theme and how a text record is built from
// DrawText flags and placed, the frame buttons' places, which class hook serves
// a parent, the border arithmetic of the control base. Tested natively and
// under Wine.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/persistent.h"
#include "framework/core/types.h"

namespace te {

using fw::TRect;

class TteBitmap;

// ---- Records a control passes to its theme ---------------------------------------

// Object states, as the push button fills them.
enum TteObjectState : std::uint8_t {
  StateNormal = 0,
  StateHot = 1,
  StatePressed = 2,
  StateDisabled = 3,
  StateFocused = 4,
  StateDefault = 6
};

struct TteObjectInfo {
  TRect Rect;
  std::uint8_t State = StateNormal;
};

// Two codes whose meaning belongs to the object kind (for scroll-bar buttons
// and menu items: the part or item kind, then the state).
struct TteObjectInfo2 {
  TRect Rect;
  std::uint8_t Part = 0;
  std::uint8_t State = 0;
};

// Kinds of glyph of menu and tool items.
enum TteGlyphKind : std::uint8_t { kgkCheck = 0, kgkRadio = 1, kgkSubmenu = 2, kgkBitmap = 3 };

struct TteGlyphInfo {
  TRect Rect;                   // where the glyph goes
  TteBitmap* Bitmap = nullptr;  // not owned
  std::uint8_t Code = 0;        // the push button passes 4
  std::uint8_t Kind = 0;        // menu and tool items: TteGlyphKind
};

// Bits of TteTextInfo::Options (value 1 is never set).
enum TteTextOption : std::uint8_t { ktoRtlReading = 2, ktoNoPrefix = 4, ktoWordBreak = 8, ktoSingleLine = 16 };

struct TteTextInfo {
  TRect Rect;
  std::wstring Text;
  // 0 top-left, 1 middle-left, 2 bottom-left, 3 top-centre, 4 middle-centre,
  // 5 bottom-centre, 6 top-right, 7 middle-right, 8 bottom-right.
  std::uint8_t Alignment = 0;
  std::uint8_t Options = 0;
  std::uint8_t Orientation = 0;  // 0 horizontal, 1 and 2 the two quarter turns (1 clockwise)
};

struct TteWindowInfo {
  TRect Rect;                     // the whole window
  std::uint8_t Flags = 0;         // bit 0: the window is active
  std::uint16_t BorderIcons = 0;  // bit i: frame button i is present
  TRect Rect2;
  std::wstring Caption;
  std::uint8_t Kind = 0;
};

// One frame button: its place, its index (0 system menu ... 9 tray), its state, its picture.
struct TteWindowButtonInfo {
  TRect Rect;
  std::uint8_t Index = 0;
  std::uint8_t State = 0;
  TteBitmap* Bitmap = nullptr;
};

// The DrawText flags the text records are built from and drawn with.
namespace dt {
constexpr std::uint32_t Center = 0x1, Right = 0x2, VCenter = 0x4, Bottom = 0x8, WordBreak = 0x10, SingleLine = 0x20,
                        CalcRect = 0x400, NoPrefix = 0x800, RtlReading = 0x20000;
}

// A text record from DrawText flags: the rectangle and text, the alignment
// code (vertical centre before bottom, centre before right), the options of
// right-to-left reading, no prefix, single line and word break; no rotation.
TteTextInfo MakeTextInfo(const TRect& rect, const std::wstring& text, std::uint32_t format);

// How DrawTextInfo draws a record: the DrawText flags of its options (never an
// alignment flag) and the alignment after right-to-left reading has turned the
// left alignments into right ones.
std::uint32_t TextInfoDrawFlags(const TteTextInfo& info, std::uint8_t& alignment);

// Where a measured w x h text goes in a W x H rectangle for an alignment code:
// (dx, dy) from the rectangle's top-left, halves truncated toward zero. False
// for codes above 8 (nothing is drawn).
bool AlignedTextOffset(std::uint8_t alignment, int W, int H, int w, int h, int& dx, int& dy);

// ---- Window frames ------------------------------------------------------------------

// The hit code of a frame button: 0 system menu 17, 1 close 11, 2 help 12,
// 3 and 4 minimize 13, 5 and 6 maximize 14, 7 and 8 roll 15, 9 tray 16; else 0.
std::uint8_t WindowButtonHitCode(int index);

// A frame button's rectangle in the base look, given the window's client
// rectangle and its BorderIcons: the system menu at the left, the others from
// the right in the order close, maximize, minimize, roll, tray, help, each
// present group to the right taking 22 pixels. (-1, -1, -1, -1) when absent.
TRect BaseWindowButtonRect(const TRect& clientRect, std::uint16_t borderIcons, int index);

// Of hooks registered for `classes` (in registration order), the one for a
// parent of class `parent`: scanning from the last registered to the first,
// the first that fits (the parent's class or an ancestor of it) is chosen, and
// a later-met fitting one replaces it when its class is the chosen one or
// derives from it. So the most derived class wins, and of two hooks for the
// same class the earlier registered. -1 when none fits.
int ChooseClassHook(const std::vector<const fw::TClassInfo*>& classes, const fw::TClassInfo& parent);

// The sides of a bevelled border, as bits of a set.
enum TTeBevelSide : std::uint8_t { kbsLeft = 1, kbsTop = 2, kbsRight = 4, kbsBottom = 8 };
constexpr std::uint8_t kAllBevelSides = kbsLeft | kbsTop | kbsRight | kbsBottom;

// (0, 0, width, height) less the plain margin on every side and, on each side
// of `sides`, bevelWidth for each of the bevelCount (0, 1 or 2) bevels drawn.
TRect BorderInnerRect(int width, int height, int borderWidth, int bevelWidth, int bevelCount, std::uint8_t sides);

// The Windows visual style's edit frame that a control's border may be drawn
// as: part EP_EDITTEXT of class "Edit" and its ETS_ states.
constexpr int kEpEditText = 1;
enum TEditTextState : int { kEtsNormal = 1, kEtsHot = 2, kEtsSelected = 3, kEtsDisabled = 4 };
// The frame's state, the first that holds winning: disabled, focused (drawn as
// selected), hot, otherwise normal.
TEditTextState EditFrameState(bool enabled, bool focused, bool hot);

}  // namespace te
