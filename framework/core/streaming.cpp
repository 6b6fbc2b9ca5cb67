#include "framework/core/streaming.h"

#include <cctype>
#include <cstdio>
#include <sstream>

#include "framework/core/exception.h"
#include "framework/core/text.h"

namespace fw {

std::any FindRootMethod(TComponent& root, const std::string& name) {
  std::any m = root.FindMethod(name);
  if (!m.has_value()) throw EReadError("Invalid property value: method " + name + " not found");
  return m;
}

// ---- writing ----------------------------------------------------------------

namespace {

void WriteString(std::ostream& out, const std::wstring& w) {
  if (w.empty()) { out << "''"; return; }
  const std::string u = WideToUtf8(w);
  bool inQuote = false;
  for (unsigned char ch : u) {
    if (ch < 0x20) {
      if (inQuote) { out << '\''; inQuote = false; }
      out << '#' << int(ch);
    } else {
      if (!inQuote) { out << '\''; inQuote = true; }
      if (ch == '\'') out << "''";
      else out << char(ch);
    }
  }
  if (inQuote) out << '\'';
}

void WriteValue(std::ostream& out, const TPropValue& v, const std::string& indent) {
  if (auto* i = std::get_if<std::int64_t>(&v)) out << *i;
  else if (auto* b = std::get_if<bool>(&v)) out << (*b ? "True" : "False");
  else if (auto* s = std::get_if<std::wstring>(&v)) WriteString(out, *s);
  else if (auto* id = std::get_if<TIdent>(&v)) out << id->Name;
  else if (auto* set = std::get_if<TIdentSet>(&v)) {
    out << '[';
    for (size_t k = 0; k < set->size(); ++k) out << (k ? ", " : "") << (*set)[k];
    out << ']';
  } else if (auto* bytes = std::get_if<TBytes>(&v)) {
    static const char* hex = "0123456789ABCDEF";
    out << '{';
    for (size_t k = 0; k < bytes->size(); ++k) {
      if (k % 32 == 0) out << '\n' << indent << "  ";
      out << hex[(*bytes)[k] >> 4] << hex[(*bytes)[k] & 15];
    }
    out << '}';
  }
}

void WriteProperties(std::ostream& out, const TPersistent& obj, const std::string& prefix, const std::string& indent) {
  for (const TPropInfo* p : obj.ClassInfo().Properties()) {
    if (p->Stored && !p->Stored(obj)) continue;
    if (p->Kind == TPropKind::Object) {
      if (TPersistent* sub = p->Object(const_cast<TPersistent&>(obj)))
        WriteProperties(out, *sub, prefix + p->Name + ".", indent);
      continue;
    }
    if (p->Kind == TPropKind::Component) {
      if (TComponent* c = p->GetComponent(obj)) out << indent << prefix << p->Name << " = " << c->Name() << '\n';
      continue;
    }
    if (!p->Get) continue;
    TPropValue v = p->Get(obj);
    if (p->Default && *p->Default == v) continue;
    out << indent << prefix << p->Name << " = ";
    if (p->IntToIdent && std::holds_alternative<std::int64_t>(v))
      if (auto id = p->IntToIdent(std::get<std::int64_t>(v))) v = TIdent{*id};
    WriteValue(out, v, indent);
    out << '\n';
  }
}

void WriteComponent(std::ostream& out, const TComponent& c, const TComponent& root, const std::string& indent) {
  out << indent << "object " << c.Name() << ": " << c.ClassName() << '\n';
  WriteProperties(out, c, "", indent + "  ");
  for (TComponent* child : c.GetChildren(&root)) WriteComponent(out, *child, root, indent + "  ");
  out << indent << "end\n";
}

}  // namespace

std::string WriteComponentText(const TComponent& root) {
  std::ostringstream out;
  WriteComponent(out, root, root, "");
  return out.str();
}

// ---- reading ----------------------------------------------------------------

namespace {

class Parser {
 public:
  Parser(std::string_view text, TComponent& root) : s_(text), root_(root) {}

  void Run() {
    std::vector<TComponent*> loaded;
    try {
      ReadObject(nullptr, loaded);
      SkipBlank();
      if (pos_ != s_.size()) Fail("text after the end of the stream");
      // References to components resolve now that every component exists.
      for (auto& f : fixups_) {
        TComponent* target = f.Name == root_.Name() ? &root_ : root_.FindComponent(f.Name);
        if (!target) throw EReadError("Error reading layout: " + f.Path + " names " + f.Name + ", which does not exist");
        try {
          f.Prop->SetComponent(*f.Object, target);
        } catch (const std::exception& e) {
          throw EReadError("Error reading layout: invalid value for " + f.Path + ": " + e.what());
        }
      }
    } catch (...) {
      for (auto* c : loaded) c->SetLoadingState(false);
      throw;
    }
    // Every component stays in the loading state until the whole tree is read.
    for (auto* c : loaded) c->EndReading();
    for (auto* c : loaded) c->Loaded();
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EReadError("Error reading layout at line " + std::to_string(line_) + ": " + what);
  }

  void SkipBlank() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') { ++line_; ++pos_; }
      else if (c == ' ' || c == '\t' || c == '\r') ++pos_;
      else break;
    }
  }

  bool AtEnd() { SkipBlank(); return pos_ >= s_.size(); }

  std::string Ident() {
    SkipBlank();
    size_t b = pos_;
    while (pos_ < s_.size() && (std::isalnum((unsigned char)s_[pos_]) || s_[pos_] == '_' || s_[pos_] == '.')) ++pos_;
    if (b == pos_) Fail("identifier expected");
    return std::string(s_.substr(b, pos_ - b));
  }

  void Expect(char c) {
    SkipBlank();
    if (pos_ >= s_.size() || s_[pos_] != c) Fail(std::string("'") + c + "' expected");
    ++pos_;
  }

  bool PeekWord(std::string_view w) {
    SkipBlank();
    if (s_.substr(pos_, w.size()) != w) return false;
    size_t e = pos_ + w.size();
    return e == s_.size() || !(std::isalnum((unsigned char)s_[e]) || s_[e] == '_');
  }

  TPropValue Value() {
    SkipBlank();
    if (pos_ >= s_.size()) Fail("value expected");
    char c = s_[pos_];
    if (c == '\'' || c == '#') return StringValue();
    if (c == '-' || std::isdigit((unsigned char)c)) {
      size_t b = pos_;
      if (c == '-') ++pos_;
      while (pos_ < s_.size() && std::isdigit((unsigned char)s_[pos_])) ++pos_;
      std::string digits(s_.substr(b, pos_ - b));
      if (digits == "-") Fail("number expected");
      try { return std::int64_t(std::stoll(digits)); } catch (const std::exception&) { Fail("number out of range"); }
    }
    if (c == '[') {
      ++pos_;
      TIdentSet set;
      SkipBlank();
      if (pos_ < s_.size() && s_[pos_] == ']') { ++pos_; return set; }
      for (;;) {
        set.push_back(Ident());
        SkipBlank();
        if (pos_ < s_.size() && s_[pos_] == ',') { ++pos_; continue; }
        Expect(']');
        return set;
      }
    }
    if (c == '{') {
      ++pos_;
      TBytes bytes;
      int nibble = -1;
      for (;;) {
        if (pos_ >= s_.size()) Fail("'}' expected");
        char h = s_[pos_++];
        if (h == '}') break;
        if (h == '\n') { ++line_; continue; }
        if (h == ' ' || h == '\t' || h == '\r') continue;
        int d = std::isdigit((unsigned char)h) ? h - '0'
              : (h >= 'A' && h <= 'F') ? h - 'A' + 10 : (h >= 'a' && h <= 'f') ? h - 'a' + 10 : -1;
        if (d < 0) Fail("hex digit expected");
        if (nibble < 0) nibble = d;
        else { bytes.push_back(std::uint8_t(nibble * 16 + d)); nibble = -1; }
      }
      if (nibble >= 0) Fail("odd number of hex digits");
      return bytes;
    }
    std::string id = Ident();
    if (id == "True") return true;
    if (id == "False") return false;
    return TIdent{id};
  }

  std::wstring StringValue() {
    std::string utf8;
    for (;;) {
      if (pos_ >= s_.size()) break;
      char c = s_[pos_];
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("unterminated string");
          char d = s_[pos_++];
          if (d == '\'') {
            if (pos_ < s_.size() && s_[pos_] == '\'') { utf8.push_back('\''); ++pos_; continue; }
            break;
          }
          utf8.push_back(d);
        }
      } else if (c == '#') {
        ++pos_;
        size_t b = pos_;
        while (pos_ < s_.size() && std::isdigit((unsigned char)s_[pos_])) ++pos_;
        if (b == pos_ || pos_ - b > 5) Fail("character code expected");
        unsigned code = unsigned(std::stoul(std::string(s_.substr(b, pos_ - b))));
        if (code > 0xFFFF) Fail("character code out of range");
        utf8 += WideToUtf8(std::wstring(1, wchar_t(code)));
      } else {
        break;
      }
    }
    return Utf8ToWide(utf8);
  }

  // Converts a parsed literal to what the property takes.
  void Assign(TPersistent& obj, const TPropInfo& p, TPropValue v, const std::string& fullName) {
    try {
      switch (p.Kind) {
        case TPropKind::Event: {
          auto* id = std::get_if<TIdent>(&v);
          if (!id) Fail("method name expected for " + fullName);
          p.BindEvent(obj, id->Name, root_);
          return;
        }
        case TPropKind::Integer:
          if (auto* id = std::get_if<TIdent>(&v); id && p.IdentToInt)
            if (auto n = p.IdentToInt(id->Name)) v = *n;
          if (!std::holds_alternative<std::int64_t>(v)) Fail("integer expected for " + fullName);
          break;
        case TPropKind::Boolean: if (!std::holds_alternative<bool>(v)) Fail("True or False expected for " + fullName); break;
        case TPropKind::String: if (!std::holds_alternative<std::wstring>(v)) Fail("string expected for " + fullName); break;
        case TPropKind::Enum: if (!std::holds_alternative<TIdent>(v)) Fail("identifier expected for " + fullName); break;
        case TPropKind::Set: if (!std::holds_alternative<TIdentSet>(v)) Fail("set expected for " + fullName); break;
        case TPropKind::Binary: if (!std::holds_alternative<TBytes>(v)) Fail("binary data expected for " + fullName); break;
        case TPropKind::Object: Fail(fullName + " is an object");
        case TPropKind::Component: {
          auto* id = std::get_if<TIdent>(&v);
          if (!id) Fail("component name expected for " + fullName);
          fixups_.push_back({&obj, &p, id->Name, fullName});
          return;
        }
      }
      p.Set(obj, v);
    } catch (const EReadError&) {
      throw;
    } catch (const std::exception& e) {
      Fail("invalid value for " + fullName + ": " + e.what());
    }
  }

  void ReadProperty(TComponent& c, const std::string& path) {
    TPersistent* obj = &c;
    size_t b = 0;
    const TPropInfo* p = nullptr;
    for (;;) {
      size_t dot = path.find('.', b);
      std::string part = path.substr(b, dot == std::string::npos ? std::string::npos : dot - b);
      p = obj->ClassInfo().FindProperty(part);
      if (!p) Fail("property " + c.Name() + "." + path + " does not exist");
      if (dot == std::string::npos) break;
      if (p->Kind != TPropKind::Object || !(obj = p->Object(*obj))) Fail(c.Name() + "." + path + " is not an object");
      b = dot + 1;
    }
    Expect('=');
    Assign(*obj, *p, Value(), c.Name() + "." + path);
  }

  void ReadObject(TComponent* parent, std::vector<TComponent*>& loaded) {
    if (!PeekWord("object")) Fail("'object' expected");
    pos_ += 6;
    std::string name = Ident();
    Expect(':');
    std::string cls = Ident();
    TComponent* c;
    if (!parent) {
      const TClassInfo* want = TClassRegistry::Find(cls);
      if (cls != root_.ClassName() && !(want && root_.ClassInfo().InheritsFrom(*want)))
        Fail("the stream holds a " + cls + ", not a " + root_.ClassName());
      c = &root_;
      c->SetLoadingState(true);
      loaded.push_back(c);
      c->SetName(name);
    } else {
      const TClassInfo* info = TClassRegistry::Find(cls);
      if (!info || !info->CanCreate()) Fail("class " + cls + " not found");
      c = info->Create(&root_);
      c->SetLoadingState(true);
      loaded.push_back(c);
      c->SetName(name);
      c->SetParentComponent(parent);
    }
    while (!AtEnd()) {
      if (PeekWord("end")) { pos_ += 3; return; }
      if (PeekWord("object")) { ReadObject(c, loaded); continue; }
      ReadProperty(*c, Ident());
    }
    Fail("'end' expected");
  }

  struct Fixup {
    TPersistent* Object;
    const TPropInfo* Prop;
    std::string Name, Path;
  };
  std::vector<Fixup> fixups_;
  std::string_view s_;
  size_t pos_ = 0;
  int line_ = 1;
  TComponent& root_;
};

}  // namespace

void ReadComponentText(std::string_view text, TComponent& root) { Parser(text, root).Run(); }

}  // namespace fw
