#include "framework/core/persistent.h"

#include <algorithm>

#include "framework/core/component.h"
#include "framework/core/exception.h"

namespace fw {

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent, Factory factory)
    : name_(std::move(name)), parent_(parent), factory_(std::move(factory)) {}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> out;
  if (parent_) out = parent_->Properties();
  for (const auto& p : props_) {
    // A redeclaration replaces the ancestor's entry in place (new default or stored rule).
    bool replaced = false;
    for (auto& q : out)
      if (q->Name == p.Name) { q = &p; replaced = true; }
    if (!replaced) out.push_back(&p);
  }
  for (const auto& name : unpublished_)
    out.erase(std::remove_if(out.begin(), out.end(), [&](const TPropInfo* p) { return p->Name == name; }), out.end());
  return out;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->parent_) {
    for (const auto& p : c->props_)
      if (p.Name == name) return &p;
    for (const auto& u : c->unpublished_)
      if (u == name) return nullptr;
  }
  return nullptr;
}

TClassInfo& TClassInfo::Unpublish(const std::string& name) {
  unpublished_.push_back(name);
  return *this;
}

TClassInfo& TClassInfo::Add(TPropInfo info) {
  props_.push_back(std::move(info));
  return *this;
}

TComponent* TClassInfo::Create(TComponent* owner) const {
  if (!factory_) throw EClassNotFound("Class " + name_ + " cannot be created");
  return factory_(owner);
}

namespace {
std::map<std::string, const TClassInfo*>& Registry() {
  static std::map<std::string, const TClassInfo*> r;
  return r;
}
}  // namespace

void TClassRegistry::Register(const TClassInfo& info) { Registry()[info.Name()] = &info; }

const TClassInfo* TClassRegistry::Find(const std::string& name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& TPersistent::StaticClassInfo() {
  static const TClassInfo info("TPersistent", nullptr);
  return info;
}

const TClassInfo& TPersistent::ClassInfo() const { return StaticClassInfo(); }

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
  throw Exception("Cannot assign a " + ClassName() + " to a " + dest.ClassName());
}

}  // namespace fw
