// Message routing of the control framework: the real window procedure is fed
// real Windows messages (SendMessage to the controls' windows), and the
// handlers and CM_ messages that result are compared as whole sequences.
#include <gtest/gtest.h>

#include <memory>

#include "framework/win/forms.h"
#include "framework/win/stdctrls.h"
#include "tests/framework/recorder.h"

using namespace fw;
using namespace fwtest;

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class Routing : public testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm>(nullptr);
    form->SetName("Form");
    form->SetBounds(100, 100, 300, 200);
    a = new TRecorder<TCustomControl>(form.get(), &log, "A");
    a->SetName("A");
    a->SetBounds(10, 10, 50, 30);
    a->SetTabStop(true);
    a->SetParent(form.get());
    b = new TRecorder<TCustomControl>(form.get(), &log, "B");
    b->SetName("B");
    b->SetBounds(100, 10, 50, 30);
    b->SetTabStop(true);
    b->SetParent(form.get());
    g = new TRecorder<TGraphicControl>(form.get(), &log, "G");
    g->SetName("G");
    g->SetBounds(10, 100, 40, 40);
    g->SetParent(form.get());
    form->Show();
    Application->ProcessMessages();
    log.clear();
  }
  void TearDown() override {
    ::ReleaseCapture();
    form.reset();
  }
  Log log;
  std::unique_ptr<TForm> form;
  TRecorder<TCustomControl>* a = nullptr;
  TRecorder<TCustomControl>* b = nullptr;
  TRecorder<TGraphicControl>* g = nullptr;
};

}  // namespace

TEST_F(Routing, PressMoveReleaseInsideRunsHandlersInOrderAndClicksOnRelease) {
  HWND h = a->Handle();
  ::SendMessageW(h, WM_MOUSEMOVE, 0, At(5, 5));
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 6));
  EXPECT_EQ(::GetCapture(), h) << "csCaptureMouse captures on press";
  ::SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(7, 8));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(7, 8));
  EXPECT_NE(::GetCapture(), h);
  const Log want = {"A:CM_MOUSEENTER", "A:OnMouseMove 5,5",  "A:OnMouseDown 5,6", "A:MouseDown",
                    "A:OnMouseMove 7,8", "A:OnClick",        "A:OnMouseUp 7,8",  "A:MouseUp"};
  EXPECT_EQ(Only(log, {"Mouse", "CM_MOUSE", "Click"}), want);
}

TEST_F(Routing, ReleaseOutsideDoesNotClickAndTheRightEdgeIsOutside) {
  HWND h = a->Handle();
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(50, 5));  // x = Width
  EXPECT_TRUE(Only(log, {"OnClick"}).empty());
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(49, 29));
  EXPECT_EQ(Only(log, {"OnClick"}).size(), 1u);
}

TEST_F(Routing, WithoutClickEventsNothingClicksByItself) {
  a->Style() &= ~std::uint32_t(csClickEvents);
  HWND h = a->Handle();
  ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_TRUE(Only(log, {"OnClick"}).empty());
}

TEST_F(Routing, DoubleClickArrivesAsAPressWithDoubleOnlyWithDoubleClicks) {
  HWND h = a->Handle();
  ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(3, 3));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(3, 3));
  a->Style() &= ~std::uint32_t(csDoubleClicks);
  ::SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(4, 4));
  ::SendMessageW(h, WM_LBUTTONUP, 0, At(4, 4));
  EXPECT_EQ(Only(log, {"OnMouseDown"}), (Log{"A:OnMouseDown 3,3 double", "A:OnMouseDown 4,4"}));
}

TEST_F(Routing, MovingBetweenControlsLeavesTheOldOneBeforeEnteringTheNew) {
  ::SendMessageW(a->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
  ::SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
  // The graphic control gets its mouse through the form, in its own coordinates.
  ::SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, At(15, 110));
  ::SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, At(200, 150));
  const Log want = {"A:CM_MOUSEENTER", "A:CM_MOUSELEAVE", "B:CM_MOUSEENTER", "B:CM_MOUSELEAVE",
                    "G:CM_MOUSEENTER", "G:OnMouseMove 5,10", "G:CM_MOUSELEAVE"};
  EXPECT_EQ(Only(log, {"CM_MOUSE", "G:OnMouseMove"}), want);
}

TEST_F(Routing, GraphicControlCapturesThroughItsParent) {
  HWND f = form->Handle();
  ::SendMessageW(f, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 120));
  EXPECT_EQ(::GetCapture(), f);
  ::SendMessageW(f, WM_MOUSEMOVE, MK_LBUTTON, At(250, 190));  // far outside G, still G's
  ::SendMessageW(f, WM_LBUTTONUP, 0, At(250, 190));
  const Log want = {"G:OnMouseDown 10,20", "G:MouseDown", "G:OnMouseMove 240,90", "G:OnMouseUp 240,90", "G:MouseUp"};
  EXPECT_EQ(Only(log, {"G:OnMouse", "G:Mouse"}), want);
}

TEST_F(Routing, FocusMovesWithExitThenEnterThenFocusChanged) {
  a->SetFocus();
  log.clear();
  b->SetFocus();
  // CM_FOCUSCHANGED is broadcast to every control of the form, windowed or not.
  const Log want = {"A:CM_EXIT", "A:OnExit", "B:CM_ENTER", "B:OnEnter", "A:CM_FOCUSCHANGED B",
                    "B:CM_FOCUSCHANGED B", "G:CM_FOCUSCHANGED B"};
  EXPECT_EQ(Only(log, {"CM_EXIT", "OnExit", "CM_ENTER", "OnEnter", "CM_FOCUSCHANGED"}), want);
  EXPECT_EQ(form->ActiveControl(), b);
  EXPECT_TRUE(b->Focused());
}

TEST_F(Routing, TabMovesTheFocusInTabOrderAndShiftTabBack) {
  a->SetFocus();
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form->ActiveControl(), b);
  ::SendMessageW(b->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form->ActiveControl(), a) << "wraps around";
  b->SetTabOrder(0);
  EXPECT_EQ(b->TabOrder(), 0);
  EXPECT_EQ(a->TabOrder(), 1);
  b->SetTabStop(false);
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form->ActiveControl(), a) << "no other tab stop";
  EXPECT_TRUE(Only(log, {"OnKeyDown 9"}).empty()) << "the dialog key is consumed";
}

TEST_F(Routing, EnterAndEscapeAreBroadcastAsDialogKeysUntilOneAnswers) {
  a->SetFocus();
  log.clear();
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Only(log, {"CM_DIALOGKEY"}), (Log{"A:CM_DIALOGKEY 13", "B:CM_DIALOGKEY 13", "G:CM_DIALOGKEY 13"}));
  EXPECT_EQ(Only(log, {"OnKeyDown"}), (Log{"A:OnKeyDown 13"})) << "unanswered, the key reaches the control";
  log.clear();
  a->dialogKeyAnswer = 1;
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Only(log, {"CM_DIALOGKEY", "OnKeyDown"}), (Log{"A:CM_DIALOGKEY 27"}));
}

TEST_F(Routing, AltCharacterIsBroadcastAsDialogChar) {
  a->SetFocus();
  log.clear();
  ::SendMessageW(a->Handle(), WM_SYSCHAR, 'u', LPARAM(1) << 29);
  EXPECT_EQ(Only(log, {"CM_DIALOGCHAR"}), (Log{"A:CM_DIALOGCHAR 117", "B:CM_DIALOGCHAR 117", "G:CM_DIALOGCHAR 117"}));
}

TEST_F(Routing, PlainButtonClicksOnAcceleratorEnterSpaceAndRelease) {
  auto* button = new TButton(form.get());
  button->SetName("Btn");
  button->SetParent(form.get());
  button->SetBounds(10, 50, 80, 25);
  button->SetCaption(L"&Update");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  a->SetFocus();
  ::SendMessageW(a->Handle(), WM_SYSCHAR, 'U', LPARAM(1) << 29);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ActiveControl(), button) << "the accelerator focuses the button";
  ::SendMessageW(button->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(clicks, 2) << "Enter clicks the focused button";
  ::SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(button->Pressed());
  ::SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicks, 3);
  ::SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  ::SendMessageW(button->Handle(), WM_LBUTTONUP, 0, At(80, 3));
  EXPECT_EQ(clicks, 3) << "released off the button";
  button->SetEnabled(false);
  ::SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  ::SendMessageW(button->Handle(), WM_LBUTTONUP, 0, At(3, 3));
  EXPECT_EQ(clicks, 3) << "a disabled button does not click";
  EXPECT_FALSE(::IsWindowEnabled(button->Handle()));
}

TEST_F(Routing, PropertyChangesSendTheirControlMessages) {
  a->SetEnabled(false);
  a->SetEnabled(false);  // unchanged: nothing sent
  a->SetText("x");
  a->SetVisible(false);
  EXPECT_EQ(Only(log, {"CM_ENABLED", "CM_TEXT", "CM_VISIBLE"}),
            (Log{"A:CM_ENABLEDCHANGED", "A:CM_TEXTCHANGED", "A:CM_VISIBLECHANGED 0"}));
  EXPECT_FALSE(::IsWindowVisible(a->Handle()));
}

TEST(Fonts, ChildrenWithParentFontFollowTheirParentUntilTheySetTheirOwn) {
  TForm form(nullptr);
  form.Font()->SetName(L"Tahoma");
  form.Font()->SetHeight(-11);
  auto* inherit = new TButton(&form);
  inherit->SetParent(&form);
  auto* own = new TButton(&form);
  own->SetParent(&form);
  EXPECT_EQ(inherit->Font()->Name(), L"Tahoma");
  own->Font()->SetHeight(-19);
  EXPECT_FALSE(own->ParentFont());
  form.Font()->SetHeight(-13);
  EXPECT_EQ(inherit->Font()->Height(), -13);
  EXPECT_TRUE(inherit->ParentFont());
  EXPECT_EQ(own->Font()->Height(), -19);
  own->SetParentFont(true);
  EXPECT_EQ(own->Font()->Height(), -13);
}

TEST(Layout, TopAlignedControlsFollowTheClientWidthAndAnchorsKeepTheirEdge) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  form.HandleNeeded();
  const int cw = form.ClientWidth();
  auto* top = new TButton(&form);
  top->SetParent(&form);
  top->SetBounds(5, 5, 50, 40);
  top->SetAlign(TAlign::alTop);
  auto* right = new TButton(&form);
  right->SetParent(&form);
  right->SetBounds(cw - 60, 100, 50, 20);
  right->SetAnchors(akRight | akTop);
  auto* fixed = new TButton(&form);
  fixed->SetParent(&form);
  fixed->SetBounds(10, 150, 50, 20);
  EXPECT_EQ(top->BoundsRect(), Bounds(0, 0, cw, 40));
  form.SetWidth(400);
  EXPECT_EQ(top->Width(), cw + 100);
  EXPECT_EQ(right->Left(), cw - 60 + 100);
  EXPECT_EQ(fixed->BoundsRect(), Bounds(10, 150, 50, 20));
}

TEST_F(Routing, FreeingTheFocusedControlClearsTheFormsActiveControl) {
  a->SetFocus();
  ASSERT_EQ(form->ActiveControl(), a);
  delete a;
  a = nullptr;
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_EQ(form->ControlCount(), 2) << "the parent lets go of it too";
  ::SendMessageW(b->Handle(), WM_KEYDOWN, VK_TAB, 0);  // still routes without the freed control
}

namespace {
// Marks a key as held in this thread's keyboard state, as GetKeyState will report it.
void HoldKey(int vk, bool down) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[vk] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}
}  // namespace

TEST_F(Routing, ShiftTabMovesBackAndEscapeClicksOnlyTheCancelButton) {
  auto* cancel = new TButton(form.get());
  cancel->SetName("CancelBtn");
  cancel->SetParent(form.get());
  cancel->SetBounds(10, 60, 80, 25);
  int clicks = 0;
  cancel->OnClick = [&](TObject*) { ++clicks; };
  b->SetFocus();
  HoldKey(VK_SHIFT, true);
  ::SendMessageW(b->Handle(), WM_KEYDOWN, VK_TAB, 0);
  HoldKey(VK_SHIFT, false);
  EXPECT_EQ(form->ActiveControl(), a);
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(clicks, 0) << "not a Cancel button";
  cancel->SetCancel(true);
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(clicks, 1);
  HoldKey(VK_CONTROL, true);
  ::SendMessageW(a->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  HoldKey(VK_CONTROL, false);
  EXPECT_EQ(clicks, 1) << "not with Ctrl held";
}

TEST(BiDiMode, DrawTextFlagsFollowTheModeAndChildrenTakeTheirParentsMode) {
  TForm form(nullptr);
  auto* c = new TCustomControl(&form);
  c->SetParent(&form);
  EXPECT_EQ(c->DrawTextBiDiModeFlags(DT_CENTER), UINT(DT_CENTER)) << "left to right changes nothing";
  form.SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(c->BiDiMode(), bdRightToLeft) << "ParentBiDiMode follows the parent";
  EXPECT_EQ(c->DrawTextBiDiModeFlags(0), UINT(DT_RIGHT | DT_RTLREADING));
  EXPECT_EQ(c->DrawTextBiDiModeFlags(DT_RIGHT), UINT(DT_RTLREADING)) << "DT_RIGHT is removed";
  EXPECT_EQ(c->DrawTextBiDiModeFlags(DT_CENTER | DT_WORDBREAK), UINT(DT_CENTER | DT_WORDBREAK | DT_RTLREADING));
  c->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_FALSE(c->ParentBiDiMode());
  EXPECT_EQ(c->DrawTextBiDiModeFlags(DT_RIGHT), UINT(DT_RIGHT | DT_RTLREADING)) << "reading only: no re-alignment";
  form.SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(c->BiDiMode(), bdRightToLeftReadingOnly) << "its own mode stays";
}

TEST(Constraints, SizesAreKeptWithinTheLimits) {
  TForm form(nullptr);
  auto* c = new TCustomControl(&form);
  c->SetParent(&form);
  c->SetBounds(0, 0, 50, 50);
  c->Constraints()->SetMaxWidth(40);
  EXPECT_EQ(c->Width(), 40) << "a new limit applies at once";
  c->Constraints()->SetMinHeight(60);
  EXPECT_EQ(c->Height(), 60);
  c->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(c->Width(), 10);
  c->Constraints()->SetMinWidth(30);
  EXPECT_EQ(c->Width(), 30);
  c->Constraints()->SetMaxWidth(20);
  EXPECT_EQ(c->Constraints()->MinWidth(), 20) << "a maximum below the minimum lowers the minimum";
  EXPECT_EQ(c->Width(), 20);
}

TEST(Streaming, AnUnpublishedPropertyIsNeitherWrittenNorRead) {
  static const TClassInfo base("TStreamBase", &TCustomControl::StaticClassInfo());
  static TClassInfo hidden("TStreamHidden", &base);
  static bool once = [] {
    hidden.Unpublish("Color");
    return true;
  }();
  (void)once;
  EXPECT_NE(base.FindProperty("Color"), nullptr);
  EXPECT_EQ(hidden.FindProperty("Color"), nullptr);
  for (const TPropInfo* p : hidden.Properties()) EXPECT_NE(p->Name, "Color");
}
