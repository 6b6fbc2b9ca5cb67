// The window-procedure hook chain: hook components, one subclassing per
// hooked window (comctl32's window subclasses, no executable thunks; the
// framework's own window data is left alone), and the process-wide hook list.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "framework/win/forms.h"
#include "themed/win/te_const.h"
#include "themed/win/te_controls.h"

namespace te {

using namespace fw;

namespace {
std::unique_ptr<THookList> gHookList;
constexpr UINT_PTR kSubclassId = 0x7E4B;  // ours among a window's subclasses
}  // namespace

THookList* HookList() { return gHookList.get(); }

void FreeHookList() { gHookList.reset(); }

// ---- TTeHook --------------------------------------------------------------------------------

TTeHook::TTeHook(TComponent* owner) : TComponent(owner) {}

TTeHook::~TTeHook() {
  SetActive(false);
  SetControl(nullptr);
}

const TClassInfo& TTeHook::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassInfo i("TTeHook", &TComponent::StaticClassInfo());
    i.Add(BoolProp<TTeHook>("Active", &TTeHook::Active, &TTeHook::SetActive, true));
    return i;
  }();
  return info;
}

void TTeHook::SetActive(bool v) {
  active_ = v;
  if (v)
    Attach();
  else
    Detach();
}

void TTeHook::Attach() {
  if (!control_ || InState(csDestroying) || controlHook_) return;
  if (!gHookList) gHookList = std::make_unique<THookList>();
  TControlHook* hook = gHookList->Find(control_);
  if (!hook) hook = gHookList->Add(control_);
  hook->Add(this);
}

void TTeHook::Detach() {
  if (controlHook_) controlHook_->Remove(this);
}

void TTeHook::SetControl(TWinControl* control) {
  if (control == control_) return;
  const bool wasActive = active_;
  TControlHook* old = controlHook_ ? controlHook_ : gHookList && control_ ? gHookList->Find(control_) : nullptr;
  Detach();
  if (control_) control_->RemoveFreeNotification(this);
  control_ = control;
  if (control_) control_->FreeNotification(this);
  // A hook of the old window left without hooks goes once the message loop gets to it.
  if (old && old->Hooks().empty() && gHookList && gHookList->Handle())
    ::PostMessageW(gHookList->Handle(), HM_RELEASE, 0, reinterpret_cast<LPARAM>(old));
  if (wasActive) Attach();
}

TCustomForm* TTeHook::GetForm() const { return dynamic_cast<TCustomForm*>(control_); }

void TTeHook::AfterMessage(TMessage&, bool&) {}

void TTeHook::BeforeMessage(TMessage& m, bool& handled) {
  handled_ = handled;
  HookMessage(m);
  handled = handled_;
}

void TTeHook::Unhooked() {}

void TTeHook::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == TOperation::opRemove && c == control_) SetControl(nullptr);
}

// ---- TControlHook -----------------------------------------------------------------------------

TControlHook::TControlHook(TWinControl* control) : control_(control) {}

TControlHook::~TControlHook() {
  destroying_ = true;
  if (gHookList) gHookList->Remove(this);
  while (!hooks_.empty()) {
    TTeHook* hook = hooks_.back();
    hooks_.pop_back();
    hook->controlHook_ = nullptr;
  }
  Uninstall();
}

void TControlHook::Add(TTeHook* hook) {
  if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
  hook->controlHook_ = this;
  Install();
}

void TControlHook::Remove(TTeHook* hook) {
  hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
  hook->controlHook_ = nullptr;
  if (hooks_.empty()) Uninstall();
}

void TControlHook::Install() {
  if (!control_ || control_->InState(csDestroying) || destroying_) return;
  HWND h = control_->Handle();     // a window is made when there is none
  if (!h || h == window_) return;  // already ours
  if (::SetWindowSubclass(h, &TControlHook::WindowProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) window_ = h;
}

void TControlHook::Uninstall() {
  if (!window_) return;
  // Only what is still ours: the removal finds our subclass or nothing.
  if (::IsWindow(window_)) ::RemoveWindowSubclass(window_, &TControlHook::WindowProc, kSubclassId);
  window_ = nullptr;
}

LRESULT CALLBACK TControlHook::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  return reinterpret_cast<TControlHook*>(data)->Handle(hwnd, msg, wp, lp);
}

LRESULT TControlHook::Handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TMessage m{msg, wp, lp, 0};
  const bool hooksRun = !hooks_.empty() && control_ && !destroying_ && !control_->InState(csDestroying);
  // A copy: a hook's handler may attach or detach hooks.
  const std::vector<TTeHook*> hooks = hooks_;
  bool handled = false;
  if (hooksRun && msg != WM_QUIT)
    for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it)
      GuardedCall([&] { (*it)->BeforeMessage(m, handled); });
  if (!handled || msg == WM_DESTROY) {
    m.Result = ::DefSubclassProc(hwnd, msg, wp, lp);
    if (hooksRun) {
      bool after = false;
      for (auto it = hooks.rbegin(); it != hooks.rend() && !after; ++it)
        GuardedCall([&] { (*it)->AfterMessage(m, after); });
    }
  }
  if (msg == WM_DESTROY) {
    if (!hooks_.empty()) GuardedCall([&] { hooks_.back()->Unhooked(); });
    ::RemoveWindowSubclass(hwnd, &TControlHook::WindowProc, kSubclassId);
    window_ = nullptr;
    // The window the control makes next is subclassed again.
    if (gHookList && !destroying_ && control_ && !control_->InState(csDestroying))
      ::PostMessageW(gHookList->Handle(), HM_REINSTALL, 0, reinterpret_cast<LPARAM>(this));
  }
  return m.Result;
}

// ---- THookList ------------------------------------------------------------------------------------

THookList::THookList() : window_(AllocateHWnd([this](HWND h, TMessage& m) { WndProc(h, m); })) {}

THookList::~THookList() {
  while (!hooks_.empty()) {
    std::unique_ptr<TControlHook> last = std::move(hooks_.back());
    hooks_.pop_back();
    last.reset();
  }
  window_.Destroy();
}

TControlHook* THookList::Find(TWinControl* control) const {
  for (const auto& h : hooks_)
    if (h->Control() == control) return h.get();
  return nullptr;
}

TControlHook* THookList::Add(TWinControl* control) {
  hooks_.push_back(std::make_unique<TControlHook>(control));
  return hooks_.back().get();
}

void THookList::Remove(TControlHook* hook) {
  for (auto it = hooks_.begin(); it != hooks_.end(); ++it)
    if (it->get() == hook) {
      it->release();  // its destructor is what is running
      hooks_.erase(it);
      return;
    }
}

bool THookList::Contains(const TControlHook* hook) const {
  return std::any_of(hooks_.begin(), hooks_.end(), [hook](const auto& h) { return h.get() == hook; });
}

void THookList::WndProc(HWND hwnd, TMessage& m) {
  auto* hook = NamedObjectOf<TControlHook>(m.LParam);  // checked against the list before use
  switch (m.Msg) {
    case HM_REINSTALL:
      if (Contains(hook)) hook->Install();
      return;
    case HM_RELEASE:
      if (Contains(hook) && hook->Hooks().empty()) delete hook;  // it takes itself out of the list
      return;
    default: TUtilityWindow::DefaultHandling(hwnd, m);
  }
}

}  // namespace te
