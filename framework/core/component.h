// Components: ownership (owned components are freed with their owner),
// removal notification, component state, Name and Tag.
#pragma once
#include <any>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "framework/core/persistent.h"

namespace fw {

enum TComponentStateFlag : std::uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
};

enum class TOperation { opInsert, opRemove };

// Where an error goes that cannot travel up to a caller, such as one raised
// while a component is freed (delete does not throw). The Windows layer points
// it at its handlers' error path, the application's exception handler, for as
// long as the application exists; until then it is written to stderr. Returns
// the sink it replaces.
using TUnhandledErrorSink = void (*)(const std::exception&);
TUnhandledErrorSink SetUnhandledErrorSink(TUnhandledErrorSink sink);
void ReportUnhandledError(const std::exception& e) noexcept;

// Freeing a component: `delete` (the owner's, a unique_ptr's or code's) calls
// BeforeDestruction on the whole object first, so that clean-up that needs the
// derived classes' virtual operations runs while they still exist; then the
// destructors run, most derived first, and the owned components go last
// inserted first.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  static void* operator new(std::size_t size) { return ::operator new(size); }
  static void operator delete(void* p) { ::operator delete(p); }  // a constructor that throws
  static void operator delete(TComponent* p, std::destroying_delete_t);
  // The first step of freeing, on the whole object; overrides call the base first.
  virtual void BeforeDestruction();

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  int ComponentCount() const { return int(components_.size()); }
  TComponent* FindComponent(const std::string& name) const;

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);
  std::int64_t Tag() const { return tag_; }
  void SetTag(std::int64_t tag) { tag_ = tag; }

  std::uint32_t ComponentState() const { return state_; }
  bool InState(std::uint32_t flags) const { return (state_ & flags) != 0; }
  void SetDesigning(bool on);

  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);
  // Asks `c` to tell this component when it goes away, even if this does not own it.
  void FreeNotification(TComponent* c);
  void RemoveFreeNotification(TComponent* c);

  // The root's published event handlers, by name: the layout stream binds
  // events to them. Each entry holds the std::function of the event's type.
  virtual std::any FindMethod(const std::string& name);
  // The reverse look-up for writing: the name of the handler bound to an event, by its tag.
  virtual std::string MethodName(const void* handlerTag) const;

  // Called once for every component that the layout stream read, after the whole tree is read.
  virtual void Loaded();
  // Streaming hooks used by the reader.
  void SetLoadingState(bool on);  // on: csLoading and csReading; off: both cleared
  void EndReading();
  virtual void SetParentComponent(TComponent*) {}
  virtual TComponent* GetParentComponent() const { return nullptr; }
  // The children written inside this component's object block, in stream order.
  virtual std::vector<TComponent*> GetChildren(const TComponent* root) const;

 protected:
  virtual void Notification(TComponent* c, TOperation op);
  void Destroying();

 private:
  void Remove(TComponent* c);
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  std::int64_t tag_ = 0;
  std::uint32_t state_ = 0;
};

}  // namespace fw
