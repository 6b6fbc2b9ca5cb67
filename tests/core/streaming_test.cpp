#include "framework/core/streaming.h"

#include <gtest/gtest.h>

#include "framework/core/exception.h"
#include "framework/core/idents.h"

using namespace fw;

namespace {

class TSample : public TPersistent {
 public:
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = [] {
      TClassInfo i("TSample", &TPersistent::StaticClassInfo());
      i.Add(IntProp<TSample, int>("Size", &TSample::Size, &TSample::SetSize, 8));
      i.Add(StringProp<TSample, std::wstring>("Label", &TSample::Label, &TSample::SetLabel));
      return i;
    }();
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  std::wstring Label() const { return label_; }
  void SetLabel(const std::wstring& v) { label_ = v; }

 private:
  int size_ = 8;
  std::wstring label_ = L"x";
};

enum class TKind { kNone, kOne, kTwo };

class TWidget : public TComponent {
 public:
  explicit TWidget(TComponent* owner) : TComponent(owner) {}
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = [] {
      TClassInfo i("TWidget", &TComponent::StaticClassInfo(),
                   [](TComponent* o) -> TComponent* { return new TWidget(o); });
      i.Add(IntProp<TWidget, int>("Count", &TWidget::Count, &TWidget::SetCount, 5));
      i.Add(BoolProp<TWidget>("Shown", &TWidget::Shown, &TWidget::SetShown, true));
      i.Add(StringProp<TWidget, std::wstring>("Caption", &TWidget::Caption, &TWidget::SetCaption, L""));
      i.Add(EnumProp<TWidget, TKind>("Kind", &TWidget::Kind, &TWidget::SetKind, {"kNone", "kOne", "kTwo"},
                                     TKind::kNone));
      i.Add(SetProp<TWidget>("Flags", &TWidget::Flags, &TWidget::SetFlags, {"fA", "fB", "fC"}, 1u));
      auto color = IntProp<TWidget, std::uint32_t>("Color", &TWidget::Color, &TWidget::SetColor, 0);
      color.IntToIdent = ColorToIdent;
      color.IdentToInt = IdentToColor;
      i.Add(std::move(color));
      TPropInfo data;
      data.Name = "Data";
      data.Kind = TPropKind::Binary;
      data.Get = [](const TPersistent& o) { return TPropValue(static_cast<const TWidget&>(o).data); };
      data.Set = [](TPersistent& o, const TPropValue& v) { static_cast<TWidget&>(o).data = std::get<TBytes>(v); };
      data.Stored = [](const TPersistent& o) { return !static_cast<const TWidget&>(o).data.empty(); };
      i.Add(std::move(data));
      i.Add(ObjectProp<TWidget, TSample>("Sample", &TWidget::Sample));
      i.Add(EventProp<TWidget>("OnPing", &TWidget::OnPing));
      return i;
    }();
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Count() const { return count_; }
  void SetCount(int v) {
    count_ = v;
    loadingWhenSet = InState(csLoading);
  }
  bool Shown() const { return shown_; }
  void SetShown(bool v) { shown_ = v; }
  std::wstring Caption() const { return caption_; }
  void SetCaption(const std::wstring& v) { caption_ = v; }
  TKind Kind() const { return kind_; }
  void SetKind(TKind v) { kind_ = v; }
  std::uint32_t Flags() const { return flags_; }
  void SetFlags(std::uint32_t v) { flags_ = v; }
  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t v) { color_ = v; }
  TSample* Sample() const { return sample_.get(); }

  void SetParentComponent(TComponent* c) override { parent = dynamic_cast<TWidget*>(c); }
  TComponent* GetParentComponent() const override { return parent; }
  std::vector<TComponent*> GetChildren(const TComponent* root) const override {
    std::vector<TComponent*> out;
    for (auto* c : root->Components())
      if (auto* w = dynamic_cast<TWidget*>(c); w && w->parent == this) out.push_back(w);
    return out;
  }
  void Loaded() override {
    TComponent::Loaded();
    loadedCalls++;
    loadingInLoaded = InState(csLoading);
    readingInLoaded = InState(csReading);
  }
  std::any FindMethod(const std::string& name) override {
    if (name == "Pinged") return std::function<void(TObject*)>([this](TObject*) { pings++; });
    return {};
  }

  TEvent<void(TObject*)> OnPing;
  TWidget* parent = nullptr;
  TBytes data;
  bool loadingWhenSet = false, loadingInLoaded = true, readingInLoaded = true;
  int loadedCalls = 0, pings = 0;

 private:
  int count_ = 5;
  bool shown_ = true;
  std::wstring caption_;
  TKind kind_ = TKind::kNone;
  std::uint32_t flags_ = 1;
  std::uint32_t color_ = 0;
  std::unique_ptr<TSample> sample_ = std::make_unique<TSample>();
};

struct Registered {
  Registered() { TClassRegistry::Register(TWidget::StaticClassInfo()); }
} registered;

}  // namespace

TEST(Streaming, ValuesEqualToTheirDefaultsAreNotWritten) {
  TWidget w(nullptr);
  w.SetName("W");
  EXPECT_EQ(WriteComponentText(w), "object W: TWidget\n  Sample.Label = 'x'\nend\n");
}

TEST(Streaming, RoundTripKeepsEveryKindOfValue) {
  TWidget w(nullptr);
  w.SetName("Form");
  w.SetCount(-42);
  w.SetShown(false);
  w.SetCaption(L"NAVEKO \x062A\x062D\x062F\x064A\x062B 'q'\r\n");
  w.SetKind(TKind::kTwo);
  w.SetFlags(0b110);
  w.SetColor(0xFF00000F);  // clBtnFace
  w.data = {0x00, 0xAB, 0xFF};
  w.Sample()->SetSize(3);
  auto* child = new TWidget(&w);
  child->SetName("Child");
  child->parent = &w;
  child->SetCount(7);

  const std::string text = WriteComponentText(w);
  EXPECT_NE(text.find("Color = clBtnFace"), std::string::npos) << text;
  EXPECT_NE(text.find("Flags = [fB, fC]"), std::string::npos) << text;
  EXPECT_NE(text.find("Sample.Size = 3"), std::string::npos) << text;

  TWidget back(nullptr);
  ReadComponentText(text, back);
  EXPECT_EQ(back.Name(), "Form");
  EXPECT_EQ(back.Count(), -42);
  EXPECT_FALSE(back.Shown());
  EXPECT_EQ(back.Caption(), w.Caption());
  EXPECT_EQ(back.Kind(), TKind::kTwo);
  EXPECT_EQ(back.Flags(), 0b110u);
  EXPECT_EQ(back.Color(), 0xFF00000Fu);
  EXPECT_EQ(back.data, w.data);
  EXPECT_EQ(back.Sample()->Size(), 3);
  ASSERT_EQ(back.ComponentCount(), 1);
  auto* c = dynamic_cast<TWidget*>(back.Components()[0]);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Name(), "Child");
  EXPECT_EQ(c->parent, &back);
  EXPECT_EQ(c->Count(), 7);
  EXPECT_EQ(WriteComponentText(back), text);
}

TEST(Streaming, ComponentsAreLoadingWhileReadAndLoadedOnceAfterwards) {
  const char* text =
      "object Root: TWidget\n"
      "  Count = 1\n"
      "  object A: TWidget\n"
      "    Count = 2\n"
      "  end\n"
      "end\n";
  TWidget root(nullptr);
  ReadComponentText(text, root);
  auto* a = dynamic_cast<TWidget*>(root.FindComponent("A"));
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(root.loadingWhenSet);
  EXPECT_TRUE(a->loadingWhenSet);
  EXPECT_EQ(root.loadedCalls, 1);
  EXPECT_EQ(a->loadedCalls, 1);
  EXPECT_FALSE(a->readingInLoaded);  // reading is over when Loaded runs
  EXPECT_FALSE(root.InState(csLoading));
  EXPECT_FALSE(a->InState(csLoading | csReading));
}

TEST(Streaming, EventsBindToTheRootsMethodsByName) {
  TWidget root(nullptr);
  ReadComponentText("object R: TWidget\n  OnPing = Pinged\nend\n", root);
  ASSERT_TRUE(bool(root.OnPing));
  root.OnPing(&root);
  EXPECT_EQ(root.pings, 1);
  EXPECT_NE(WriteComponentText(root).find("OnPing = Pinged"), std::string::npos);
  TWidget other(nullptr);
  EXPECT_THROW(ReadComponentText("object R: TWidget\n  OnPing = Missing\nend\n", other), EReadError);
}

TEST(Streaming, MalformedStreamsRaiseReadErrorsWithTheLine) {
  const char* bad[] = {
      "",
      "object R: TWidget\n  Count = \n",
      "object R: TWidget\n  Count = 'text'\nend\n",
      "object R: TWidget\n  Nope = 1\nend\n",
      "object R: TWidget\n  Kind = kFour\nend\n",
      "object R: TWidget\n  Flags = [fA, fZ]\nend\n",
      "object R: TWidget\n  Data = {ABC}\nend\n",
      "object R: TWidget\n  Caption = 'open\nend\n",
      "object R: TWidget\n  object X: TUnknown\n  end\nend\n",
      "object R: TOther\nend\n",
      "object R: TWidget\n  Count = 99999999999999999999999\nend\n",
      "object R: TWidget\nend\nend\n",
  };
  for (const char* text : bad) {
    TWidget w(nullptr);
    EXPECT_THROW(ReadComponentText(text, w), EReadError) << text;
    EXPECT_FALSE(w.InState(csLoading | csReading)) << text;
  }
  TWidget w(nullptr);
  try {
    ReadComponentText("object R: TWidget\n\n  Nope = 1\nend\n", w);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
  }
}

TEST(Streaming, StringsAcceptCharacterCodesAndDoubledQuotes) {
  TWidget w(nullptr);
  ReadComponentText("object R: TWidget\n  Caption = 'a''b'#13#10'c'#1578\nend\n", w);
  EXPECT_EQ(w.Caption(), std::wstring(L"a'b\r\nc\x062A"));
}
