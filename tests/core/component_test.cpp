#include "framework/core/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/exception.h"

using namespace fw;

namespace {

// Records every notification it hears and its own destruction.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
  ~Probe() override { log_->push_back("destroy " + Name()); }
  TComponent* Watched = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove) {
      log_->push_back(Name() + " hears removal of " + c->Name());
      if (c == Watched) Watched = nullptr;
    }
  }

 private:
  std::vector<std::string>* log_;
};

}  // namespace

TEST(Component, OwnedComponentsAreFreedWithTheirOwnerLastFirst) {
  std::vector<std::string> log;
  auto* root = new Probe(nullptr, &log);
  root->SetName("root");
  auto* a = new Probe(root, &log);
  a->SetName("a");
  auto* b = new Probe(root, &log);
  b->SetName("b");
  auto* c = new Probe(a, &log);
  c->SetName("c");
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), root);
  EXPECT_EQ(root->FindComponent("B"), b);  // names compare without case
  delete root;
  // Each destructor body logs before its owned components go; the last inserted goes first.
  const std::vector<std::string> want = {"destroy root", "destroy b", "destroy a", "destroy c"};
  std::vector<std::string> destroyed;
  for (auto& l : log)
    if (l.rfind("destroy", 0) == 0) destroyed.push_back(l);
  EXPECT_EQ(destroyed, want);
}

TEST(Component, SiblingsHearOfARemovalAndDropTheirReference) {
  std::vector<std::string> log;
  Probe root(nullptr, &log);
  root.SetName("root");
  auto* holder = new Probe(&root, &log);
  holder->SetName("holder");
  auto* target = new Probe(&root, &log);
  target->SetName("target");
  holder->Watched = target;
  delete target;
  EXPECT_EQ(holder->Watched, nullptr);
  EXPECT_EQ(root.ComponentCount(), 1);
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
  std::vector<std::string> log;
  Probe ownerA(nullptr, &log), ownerB(nullptr, &log);
  auto* watcher = new Probe(&ownerA, &log);
  watcher->SetName("watcher");
  auto* target = new Probe(&ownerB, &log);
  target->SetName("target");
  watcher->Watched = target;
  target->FreeNotification(watcher);
  delete target;
  EXPECT_EQ(watcher->Watched, nullptr);
  // And the link is gone both ways: deleting the watcher later notifies no one.
  delete watcher;
}

TEST(Component, DuplicateNamesUnderOneOwnerAreRefused) {
  std::vector<std::string> log;
  Probe root(nullptr, &log);
  auto* a = new Probe(&root, &log);
  a->SetName("Button");
  auto* b = new Probe(&root, &log);
  EXPECT_THROW(b->SetName("button"), EComponentError);
  EXPECT_EQ(b->Name(), "");
}

TEST(Component, DestroyingStateIsSetOnOwnedComponentsBeforeTheyGo) {
  struct Checker : TComponent {
    using TComponent::TComponent;
    bool* seen = nullptr;
    ~Checker() override { *seen = InState(csDestroying); }
  };
  bool seen = false;
  auto* root = new TComponent(nullptr);
  auto* c = new Checker(root);
  c->seen = &seen;
  delete root;
  EXPECT_TRUE(seen);
}

TEST(Component, DesigningStatePropagatesToOwnedComponents) {
  TComponent root(nullptr);
  auto* c = new TComponent(&root);
  root.SetDesigning(true);
  EXPECT_TRUE(c->InState(csDesigning));
  root.SetDesigning(false);
  EXPECT_FALSE(c->InState(csDesigning));
}

TEST(Component, AnErrorWhileFreeingIsReportedAndTheComponentStillGoes) {
  struct Failing : Probe {
    using Probe::Probe;
    void BeforeDestruction() override {
      Probe::BeforeDestruction();
      throw EComponentError("cannot let go");
    }
  };
  static std::vector<std::string> reported;
  reported.clear();
  const TUnhandledErrorSink previous =
      SetUnhandledErrorSink([](const std::exception& e) { reported.push_back(e.what()); });
  std::vector<std::string> log;
  TComponent owner(nullptr);
  auto* child = new Failing(&owner, &log);
  child->SetName("child");
  delete child;
  SetUnhandledErrorSink(previous);
  EXPECT_EQ(log, std::vector<std::string>{"destroy child"});
  EXPECT_EQ(reported, std::vector<std::string>{"cannot let go"});
  EXPECT_TRUE(owner.Components().empty());
}
