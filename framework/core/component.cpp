#include "framework/core/component.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "framework/core/exception.h"
#include "framework/core/text.h"

namespace fw {

namespace {
TUnhandledErrorSink gUnhandledErrorSink = nullptr;
}  // namespace

TUnhandledErrorSink SetUnhandledErrorSink(TUnhandledErrorSink sink) { return std::exchange(gUnhandledErrorSink, sink); }

void ReportUnhandledError(const std::exception& e) noexcept {
  try {
    if (gUnhandledErrorSink) {
      gUnhandledErrorSink(e);
      return;
    }
  } catch (...) {
    // A sink that fails itself leaves the plain report below.
  }
  std::fprintf(stderr, "%s\n", e.what());
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Those who asked to hear of our removal drop their references first.
  while (!freeNotifies_.empty()) {
    TComponent* c = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = c->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  // Owned components go with their owner, last inserted first.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    c->Destroying();
    Remove(c);
    delete c;
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::operator delete(TComponent* p, std::destroying_delete_t) {
  // Freeing goes on whatever BeforeDestruction raises: the destructors release
  // what is left, and the error is reported rather than lost.
  try {
    p->BeforeDestruction();
  } catch (const std::exception& e) {
    ReportUnhandledError(e);
  } catch (...) {
    ReportUnhandledError(std::runtime_error("Unknown error while freeing a component"));
  }
  void* memory = dynamic_cast<void*>(p);
  p->~TComponent();
  ::operator delete(memory);
}

void TComponent::BeforeDestruction() { Destroying(); }

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info = [] {
    // Name and owner travel in the stream's object header, not as properties.
    TClassInfo i("TComponent", &TPersistent::StaticClassInfo());
    i.Add(IntProp<TComponent, std::int64_t>("Tag", &TComponent::Tag, &TComponent::SetTag, 0));
    return i;
  }();
  return info;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (auto* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (owner_ && !name.empty()) {
    if (TComponent* other = owner_->FindComponent(name); other && other != this)
      throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

void TComponent::SetDesigning(bool on) {
  if (on)
    state_ |= csDesigning;
  else
    state_ &= ~std::uint32_t(csDesigning);
  for (auto* c : components_) c->SetDesigning(on);
}

void TComponent::SetLoadingState(bool on) {
  if (on)
    state_ |= csLoading | csReading;
  else
    state_ &= ~std::uint32_t(csLoading | csReading);
}

void TComponent::EndReading() { state_ &= ~std::uint32_t(csReading); }

void TComponent::InsertComponent(TComponent* c) {
  if (c->owner_) c->owner_->RemoveComponent(c);
  c->owner_ = this;
  components_.push_back(c);
  Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  Notification(c, TOperation::opRemove);
  Remove(c);
}

void TComponent::Remove(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  if (owner_ == c) return;  // the owner hears of removals anyway
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) {
    freeNotifies_.push_back(c);
    c->freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), c), freeNotifies_.end());
  c->freeNotifies_.erase(std::remove(c->freeNotifies_.begin(), c->freeNotifies_.end(), this), c->freeNotifies_.end());
}

void TComponent::Notification(TComponent* c, TOperation op) {
  // Removals travel down the ownership tree, so every sibling can drop references to `c`.
  if (op == TOperation::opRemove && c)
    for (auto* child : components_)
      if (child != c) child->Notification(c, op);
}

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (auto* c : components_) c->Destroying();
}

std::any TComponent::FindMethod(const std::string&) { return {}; }

std::string TComponent::MethodName(const void*) const { return {}; }

void TComponent::Loaded() { state_ &= ~std::uint32_t(csLoading); }

std::vector<TComponent*> TComponent::GetChildren(const TComponent* root) const {
  // The root writes the components it owns that have no parent component (non-visual ones).
  std::vector<TComponent*> out;
  if (root == this)
    for (auto* c : components_)
      if (!c->GetParentComponent()) out.push_back(c);
  return out;
}

}  // namespace fw
