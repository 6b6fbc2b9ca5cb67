// libFuzzer target: the stored-layout reader on arbitrary text. It must raise
// EReadError or read the stream, never crash, leak or overrun.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/core/exception.h"
#include "framework/core/streaming.h"

namespace {

// A component with one property of each kind and children of its own class.
class TFuzzWidget : public fw::TComponent {
 public:
  explicit TFuzzWidget(fw::TComponent* owner) : fw::TComponent(owner) {}
  static const fw::TClassInfo& StaticClassInfo() {
    static const fw::TClassInfo info = [] {
      fw::TClassInfo i("TFuzzWidget", &fw::TComponent::StaticClassInfo(),
                       [](fw::TComponent* o) -> fw::TComponent* { return new TFuzzWidget(o); });
      i.Add(fw::IntProp<TFuzzWidget, int>("Count", &TFuzzWidget::Count, &TFuzzWidget::SetCount, 0));
      i.Add(fw::BoolProp<TFuzzWidget>("On", &TFuzzWidget::On, &TFuzzWidget::SetOn, false));
      i.Add(fw::StringProp<TFuzzWidget, std::wstring>("Caption", &TFuzzWidget::Caption, &TFuzzWidget::SetCaption));
      i.Add(fw::EnumProp<TFuzzWidget, int>("Kind", &TFuzzWidget::Kind, &TFuzzWidget::SetKind, {"k0", "k1", "k2"}));
      i.Add(fw::SetProp<TFuzzWidget>("Flags", &TFuzzWidget::Flags, &TFuzzWidget::SetFlags, {"f0", "f1", "f2"}));
      i.Add(fw::ComponentProp<TFuzzWidget, TFuzzWidget>("Peer", &TFuzzWidget::Peer, &TFuzzWidget::SetPeer));
      return i;
    }();
    return info;
  }
  const fw::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  int Count() const { return count_; }
  void SetCount(int v) { count_ = v; }
  int Kind() const { return kind_; }
  void SetKind(int v) { kind_ = v; }
  bool On() const { return on_; }
  void SetOn(bool v) { on_ = v; }
  std::wstring Caption() const { return caption_; }
  void SetCaption(const std::wstring& v) { caption_ = v; }
  std::uint32_t Flags() const { return flags_; }
  void SetFlags(std::uint32_t v) { flags_ = v; }
  TFuzzWidget* Peer() const { return peer_; }
  void SetPeer(TFuzzWidget* p) { peer_ = p; }

 private:
  int count_ = 0, kind_ = 0;
  bool on_ = false;
  std::wstring caption_;
  std::uint32_t flags_ = 0;
  TFuzzWidget* peer_ = nullptr;
};

const bool registered = [] {
  fw::TClassRegistry::Register(TFuzzWidget::StaticClassInfo());
  return true;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)registered;
  TFuzzWidget root(nullptr);
  try {
    fw::ReadComponentText(std::string_view(reinterpret_cast<const char*>(data), size), root);
    (void)fw::WriteComponentText(root);
  } catch (const fw::EReadError&) {
  } catch (const fw::EComponentError&) {  // a duplicate name
  }
  return 0;
}
