// Published-property metadata: what the layout stream reads and writes.
// Each class lists its published properties once, with their defaults and
// stored rules, so that a value equal to its default is never written.
#pragma once
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace fw {

class TPersistent;
class TComponent;
using TObject = TPersistent;
using TNotifyEvent = std::function<void(TObject* sender)>;

// The values a stored property can hold. Identifiers cover enumerations,
// Booleans and event method names; sets are lists of identifiers.
struct TIdent {
  std::string Name;
  friend bool operator==(const TIdent&, const TIdent&) = default;
};
using TIdentSet = std::vector<std::string>;
using TBytes = std::vector<std::uint8_t>;
using TPropValue = std::variant<std::int64_t, bool, std::wstring, TIdent, TIdentSet, TBytes>;

enum class TPropKind { Integer, Boolean, String, Enum, Set, Binary, Event, Object, Component };

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  std::function<TPropValue(const TPersistent&)> Get;       // not used for Object
  std::function<void(TPersistent&, const TPropValue&)> Set;  // not used for Object
  std::function<TPersistent*(TPersistent&)> Object;        // Object kind: the nested persistent
  std::optional<TPropValue> Default;                       // equal values are not written
  std::function<bool(const TPersistent&)> Stored;          // empty: always stored
  std::vector<std::string> Names;                          // Enum and Set: the identifiers, by ordinal
  // Integer kind: optional symbolic names (colours, character sets) for the text form.
  std::function<std::optional<std::string>(std::int64_t)> IntToIdent;
  std::function<std::optional<std::int64_t>(const std::string&)> IdentToInt;
  // Component kind: a reference to another component of the root, by name,
  // resolved once the whole stream is read.
  std::function<TComponent*(const TPersistent&)> GetComponent;
  std::function<void(TPersistent&, TComponent*)> SetComponent;
  // Event kind: binds the root's handler `method` to the event (throws when the root has none).
  std::function<void(TPersistent&, const std::string& method, TComponent& root)> BindEvent;
};

// An event: the handler, and the name of the root's method it was bound to by the
// layout stream (empty for handlers assigned in code, which are not written).
template <class Sig>
struct TEvent {
  std::function<Sig> Fn;
  std::string MethodName;
  TEvent& operator=(std::function<Sig> f) {
    Fn = std::move(f);
    MethodName.clear();
    return *this;
  }
  explicit operator bool() const { return bool(Fn); }
  template <class... A>
  decltype(auto) operator()(A&&... a) const { return Fn(std::forward<A>(a)...); }
};

class TClassInfo {
 public:
  using Factory = std::function<TComponent*(TComponent* owner)>;
  TClassInfo(std::string name, const TClassInfo* parent, Factory factory = {});
  const std::string& Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  bool InheritsFrom(const TClassInfo& other) const;
  // Published properties in stream order: the ancestors' first.
  std::vector<const TPropInfo*> Properties() const;
  const TPropInfo* FindProperty(const std::string& name) const;
  TClassInfo& Add(TPropInfo info);
  // Takes an inherited property out of this class's published list (and its descendants').
  TClassInfo& Unpublish(const std::string& name);
  TComponent* Create(TComponent* owner) const;
  bool CanCreate() const { return bool(factory_); }

 private:
  std::string name_;
  const TClassInfo* parent_;
  Factory factory_;
  std::vector<TPropInfo> props_;
  std::vector<std::string> unpublished_;
};

// Classes the stream reader may instantiate by name.
class TClassRegistry {
 public:
  static void Register(const TClassInfo& info);
  static const TClassInfo* Find(const std::string& name);
};

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual const TClassInfo& ClassInfo() const;
  static const TClassInfo& StaticClassInfo();
  std::string ClassName() const { return ClassInfo().Name(); }
  virtual void Assign(const TPersistent& source);

 protected:
  virtual void AssignTo(TPersistent& dest) const;
};

// Helpers that build the typical property entries from member getters and setters.
template <class C, class T>
TPropInfo IntProp(std::string name, T (C::*get)() const, void (C::*set)(T), std::optional<std::int64_t> def = {}) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Integer;
  p.Get = [get](const TPersistent& o) { return TPropValue(std::int64_t((static_cast<const C&>(o).*get)())); };
  p.Set = [set](TPersistent& o, const TPropValue& v) { (static_cast<C&>(o).*set)(T(std::get<std::int64_t>(v))); };
  if (def) p.Default = TPropValue(*def);
  return p;
}

template <class C>
TPropInfo BoolProp(std::string name, bool (C::*get)() const, void (C::*set)(bool), std::optional<bool> def = {}) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Boolean;
  p.Get = [get](const TPersistent& o) { return TPropValue((static_cast<const C&>(o).*get)()); };
  p.Set = [set](TPersistent& o, const TPropValue& v) { (static_cast<C&>(o).*set)(std::get<bool>(v)); };
  if (def) p.Default = TPropValue(*def);
  return p;
}

template <class C, class S>
TPropInfo StringProp(std::string name, S (C::*get)() const, void (C::*set)(const S&),
                     std::optional<std::wstring> def = {}) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::String;
  p.Get = [get](const TPersistent& o) { return TPropValue(std::wstring((static_cast<const C&>(o).*get)())); };
  p.Set = [set](TPersistent& o, const TPropValue& v) { (static_cast<C&>(o).*set)(S(std::get<std::wstring>(v))); };
  if (def) p.Default = TPropValue(*def);
  return p;
}

template <class C, class E>
TPropInfo EnumProp(std::string name, E (C::*get)() const, void (C::*set)(E), std::vector<std::string> names,
                   std::optional<E> def = {}) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Enum;
  p.Names = std::move(names);
  auto n = p.Names;
  p.Get = [get, n](const TPersistent& o) { return TPropValue(TIdent{n.at(size_t((static_cast<const C&>(o).*get)()))}); };
  p.Set = [set, n](TPersistent& o, const TPropValue& v) {
    const auto& id = std::get<TIdent>(v).Name;
    for (size_t i = 0; i < n.size(); ++i)
      if (n[i] == id) { (static_cast<C&>(o).*set)(E(i)); return; }
    throw std::invalid_argument("invalid property value " + id);
  };
  if (def) p.Default = TPropValue(TIdent{p.Names.at(size_t(*def))});
  return p;
}

// Sets are bit masks over the ordinal of each identifier.
template <class C>
TPropInfo SetProp(std::string name, std::uint32_t (C::*get)() const, void (C::*set)(std::uint32_t),
                  std::vector<std::string> names, std::optional<std::uint32_t> def = {}) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Set;
  p.Names = std::move(names);
  auto n = p.Names;
  auto toSet = [n](std::uint32_t m) {
    TIdentSet s;
    for (size_t i = 0; i < n.size(); ++i)
      if (m & (1u << i)) s.push_back(n[i]);
    return s;
  };
  p.Get = [get, toSet](const TPersistent& o) { return TPropValue(toSet((static_cast<const C&>(o).*get)())); };
  p.Set = [set, n](TPersistent& o, const TPropValue& v) {
    std::uint32_t m = 0;
    for (const auto& id : std::get<TIdentSet>(v)) {
      size_t i = 0;
      while (i < n.size() && n[i] != id) ++i;
      if (i == n.size()) throw std::invalid_argument("invalid set element " + id);
      m |= 1u << i;
    }
    (static_cast<C&>(o).*set)(m);
  };
  if (def) p.Default = TPropValue(toSet(*def));
  return p;
}

template <class C, class T>
TPropInfo ObjectProp(std::string name, T* (C::*get)() const) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Object;
  p.Object = [get](TPersistent& o) -> TPersistent* { return (static_cast<C&>(o).*get)(); };
  return p;
}

}  // namespace fw

namespace fw {
std::any FindRootMethod(TComponent& root, const std::string& name);  // throws EReadError when missing

template <class C, class T>
TPropInfo ComponentProp(std::string name, T* (C::*get)() const, void (C::*set)(T*)) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Component;
  p.GetComponent = [get](const TPersistent& o) -> TComponent* { return (static_cast<const C&>(o).*get)(); };
  p.SetComponent = [set](TPersistent& o, TComponent* c) {
    T* t = dynamic_cast<T*>(c);
    if (c && !t) throw std::invalid_argument("a component of the wrong class");
    (static_cast<C&>(o).*set)(t);
  };
  p.Stored = [get](const TPersistent& o) { return (static_cast<const C&>(o).*get)() != nullptr; };
  return p;
}

template <class C, class Sig>
TPropInfo EventProp(std::string name, TEvent<Sig> C::*member) {
  TPropInfo p;
  p.Name = std::move(name);
  p.Kind = TPropKind::Event;
  p.Get = [member](const TPersistent& o) { return TPropValue(TIdent{(static_cast<const C&>(o).*member).MethodName}); };
  p.Stored = [member](const TPersistent& o) { return !(static_cast<const C&>(o).*member).MethodName.empty(); };
  p.BindEvent = [member](TPersistent& o, const std::string& method, TComponent& root) {
    std::any m = FindRootMethod(root, method);
    auto* fn = std::any_cast<std::function<Sig>>(&m);
    if (!fn) throw std::invalid_argument("method " + method + " has the wrong type");
    auto& ev = static_cast<C&>(o).*member;
    ev.Fn = *fn;
    ev.MethodName = method;
  };
  return p;
}
}  // namespace fw
