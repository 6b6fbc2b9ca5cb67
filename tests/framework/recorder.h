// Controls that record the handlers and messages they see, in order, so that
// tests can compare whole sequences.
#pragma once
#include <string>
#include <vector>

#include "framework/win/controls.h"
#include "framework/win/forms.h"

namespace fwtest {

using Log = std::vector<std::string>;

template <class Base>
class TRecorder : public Base {
 public:
  TRecorder(fw::TComponent* owner, Log* log, std::string tag) : Base(owner), log_(log), tag_(std::move(tag)) {
    this->OnMouseDown = [this](fw::TObject*, fw::TMouseButton, fw::TShiftState s, int x, int y) {
      Add("OnMouseDown " + std::to_string(x) + "," + std::to_string(y) + ((s & fw::ssDouble) ? " double" : ""));
    };
    this->OnMouseUp = [this](fw::TObject*, fw::TMouseButton, fw::TShiftState, int x, int y) {
      Add("OnMouseUp " + std::to_string(x) + "," + std::to_string(y));
    };
    this->OnMouseMove = [this](fw::TObject*, fw::TShiftState, int x, int y) {
      Add("OnMouseMove " + std::to_string(x) + "," + std::to_string(y));
    };
    this->OnClick = [this](fw::TObject*) { Add("OnClick"); };
    if constexpr (std::is_base_of_v<fw::TWinControl, Base>) {
      this->OnEnter = [this](fw::TObject*) { Add("OnEnter"); };
      this->OnExit = [this](fw::TObject*) { Add("OnExit"); };
      this->OnKeyDown = [this](fw::TObject*, WORD& k, fw::TShiftState) { Add("OnKeyDown " + std::to_string(k)); };
      this->OnKeyUp = [this](fw::TObject*, WORD& k, fw::TShiftState) { Add("OnKeyUp " + std::to_string(k)); };
    }
  }
  std::uint32_t& Style() { return this->controlStyle_; }
  int dialogKeyAnswer = 0;

 protected:
  void Add(const std::string& s) { log_->push_back(tag_ + ":" + s); }
  void WndProc(fw::TMessage& m) override {
    switch (m.Msg) {
      case fw::CM_MOUSEENTER: Add("CM_MOUSEENTER"); break;
      case fw::CM_MOUSELEAVE: Add("CM_MOUSELEAVE"); break;
      case fw::CM_ENTER: Add("CM_ENTER"); break;
      case fw::CM_EXIT: Add("CM_EXIT"); break;
      case fw::CM_FOCUSCHANGED: {
        auto* c = reinterpret_cast<fw::TComponent*>(m.LParam);
        Add("CM_FOCUSCHANGED " + (c ? c->Name() : std::string("nil")));
        break;
      }
      case fw::CM_DIALOGKEY:
        Add("CM_DIALOGKEY " + std::to_string(m.WParam));
        if (dialogKeyAnswer) { m.Result = dialogKeyAnswer; return; }
        break;
      case fw::CM_DIALOGCHAR: Add("CM_DIALOGCHAR " + std::to_string(m.WParam)); break;
      case fw::CM_ENABLEDCHANGED: Add("CM_ENABLEDCHANGED"); break;
      case fw::CM_TEXTCHANGED: Add("CM_TEXTCHANGED"); break;
      case fw::CM_VISIBLECHANGED: Add("CM_VISIBLECHANGED " + std::to_string(m.WParam)); break;
      default: break;
    }
    Base::WndProc(m);
  }
  void MouseDown(fw::TMouseButton b, fw::TShiftState s, int x, int y) override {
    Base::MouseDown(b, s, x, y);
    Add("MouseDown");
  }
  void MouseUp(fw::TMouseButton b, fw::TShiftState s, int x, int y) override {
    Base::MouseUp(b, s, x, y);
    Add("MouseUp");
  }

 private:
  Log* log_;
  std::string tag_;
};

// Keeps only the entries that start with one of the prefixes.
inline Log Only(const Log& log, std::initializer_list<const char*> keep) {
  Log out;
  for (const auto& l : log)
    for (const char* k : keep)
      if (l.find(k) != std::string::npos) { out.push_back(l); break; }
  return out;
}

}  // namespace fwtest
