#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "themed/core/te_effects.h"

namespace te {

namespace {

std::string Lower(std::string s) {
  for (char& ch : s) ch = char(std::tolower((unsigned char)ch));
  return s;
}

}  // namespace

std::string TteProcItem::NamePart() const {
  const size_t dash = DisplayName.find('-');
  return dash == std::string::npos || dash + 2 > DisplayName.size() ? DisplayName : DisplayName.substr(dash + 2);
}

const char* KindPrefix(std::uint8_t kind) {
  switch (kind) {
    case ekFade: return "[ FADE ] - ";
    case ekSlide: return "[ SLIDE ] - ";
    default: return "[ MANUAL ] - ";
  }
}

TteProcList& EffectList() {
  static TteProcList list;
  return list;
}

void RegisterEffect(const std::string& name, std::uint8_t kind, TEffectProc proc) {
  TteProcList& list = EffectList();
  const std::string key = Lower(name);
  for (int i = 0; i < list.Count(); ++i) {
    const TteProcItem* item = list.Item(i);
    if (Lower(item->NamePart()) == key || (proc && item->Proc.Identity() == proc.Identity()))
      throw EProcItemError("Effect procedute " + name + " already exists in list");
  }
  list.Add(std::make_unique<TteProcItem>(kind, proc, KindPrefix(kind) + name));
}

TteProcItem* FindEffect(const std::string& name) {
  const TteProcList& list = EffectList();
  const std::string key = Lower(name);
  for (int i = 0; i < list.Count(); ++i)
    if (Lower(list.Item(i)->DisplayName) == key) return list.Item(i);
  for (int i = 0; i < list.Count(); ++i)
    if (Lower(list.Item(i)->NamePart()) == key) return list.Item(i);
  return nullptr;
}

namespace {
std::vector<std::string>& EffectNameList() {
  static std::vector<std::string> names;
  return names;
}
}  // namespace

void BuildEffectNames() {
  std::vector<std::string> names = {kRandomEffectName, kBitmapEffectName};
  for (int i = 0; i < EffectList().Count(); ++i) names.push_back(EffectList().Item(i)->DisplayName);
  EffectNameList() = std::move(names);
}

void FreeEffectNames() { EffectNameList().clear(); }

const std::vector<std::string>& EffectNames() { return EffectNameList(); }

void RegisterStandardEffects(TManualProc slide, TManualProc push) {
  for (const TNamedEffect& e : GridEffects()) {
    TEffectProc proc;
    proc.Fade = e.Fade;
    proc.Slide = e.Slide;
    RegisterEffect(e.Name, e.Kind, proc);
  }
  TEffectProc s, p;
  s.Manual = slide;
  p.Manual = push;
  RegisterEffect("Slide", ekManual, s);
  RegisterEffect("Push", ekManual, p);
}

}  // namespace te
