#include "spreadsheet/core/xml_reader.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "spreadsheet/core/cell_value.h"
#include "spreadsheet/core/read_ahead.h"

namespace sheet {

namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

// Names resolve against the prefixes in scope here rather than in expat's
// namespace mode: expat would spell every name "URI\x01local", and finding,
// measuring and comparing those long strings for each of a sheet's millions
// of elements costs more than the rest of the reading. A binding remembers
// whether the handler reads its namespace, so an element costs one lookup.
struct TBinding {
  std::string Prefix;     // empty: the default namespace
  std::string Namespace;  // empty: the default namespace undeclared (xmlns="")
  bool Accepted;
};

// A name's prefix and local part: "x:c" gives "x" and "c", "c" gives "" and "c".
// False for a name that is not a namespace name (":c", "x:", "x:c:d").
bool SplitPrefixed(const char* name, const char* colon, std::string_view& prefix, std::string_view& local) {
  prefix = std::string_view(name, size_t(colon - name));
  local = colon + 1;
  return !prefix.empty() && !local.empty() && local.find(':') == std::string_view::npos;
}
inline bool SplitQName(const char* name, std::string_view& prefix, std::string_view& local) {
  const char* p = name;
  while (*p && *p != ':') ++p;
  if (*p) return SplitPrefixed(name, p, prefix, local);
  prefix = {};
  local = std::string_view(name, size_t(p - name));
  return true;
}

struct TParse {
  XML_Parser Parser;
  TXmlHandler& Handler;
  const std::string& PartName;
  std::exception_ptr Error;
  std::vector<TXmlAttribute> Attrs;   // reused between elements
  std::vector<TBinding> Bindings;     // innermost last
  std::vector<std::uint32_t> Scopes;  // per open element read: the number of bindings before it
  int Skipping = 0;                   // depth inside an element of a namespace the handler does not read

  void Fail(std::exception_ptr e) {
    if (!Error) Error = e;
    XML_StopParser(Parser, XML_FALSE);
  }
  [[noreturn]] void NotANamespaceName(const char* name) const {
    Malformed("the name " + std::string(name) + " is not a namespace name");
  }
  [[noreturn]] void Malformed(const std::string& what) const {
    throw EWorkbookError("The workbook part " + PartName + " is not well-formed XML (line " +
                         std::to_string(XML_GetCurrentLineNumber(Parser)) + "): " + what);
  }

  // The innermost binding of the prefix, or nullptr.
  const TBinding* Find(std::string_view prefix) const {
    for (auto b = Bindings.rbegin(); b != Bindings.rend(); ++b)
      if (NameIs(b->Prefix, prefix)) return &*b;
    return nullptr;
  }

  // A declaration attribute ("xmlns", "xmlns:p") as a binding.
  void Declare(const char* name, const char* value) {
    std::string prefix = name[5] ? name + 6 : "";
    std::string ns = value;
    if (prefix == "xmlns" || (prefix == "xml") != (ns == kXmlNamespace) || (!prefix.empty() && ns.empty()))
      Malformed("the declaration " + std::string(name) + "=\"" + ns + "\" is not allowed");
    const bool accepted = !ns.empty() && Handler.Accepts(ns);
    Bindings.push_back({std::move(prefix), std::move(ns), accepted});
  }

  // The namespace of a prefix ("xml" is always bound); an undeclared one is an error.
  std::string_view NamespaceOf(std::string_view prefix) const {
    if (NameIs(prefix, "xml")) return kXmlNamespace;
    const TBinding* b = Find(prefix);
    if (!b) Malformed("the prefix " + std::string(prefix) + " is not declared");
    return b->Namespace;
  }

  // Whether the handler reads elements of this prefix's namespace.
  bool Accepted(std::string_view prefix) const {
    if (NameIs(prefix, "xml")) return Handler.Accepts(kXmlNamespace);
    const TBinding* b = Find(prefix);
    if (b) return b->Accepted;
    if (!prefix.empty()) Malformed("the prefix " + std::string(prefix) + " is not declared");
    return Handler.Accepts({});
  }
};

bool IsDeclaration(const char* name) {
  return name[0] == 'x' && std::strncmp(name, "xmlns", 5) == 0 && (name[5] == '\0' || name[5] == ':');
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attrs) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error) return;
  if (p->Skipping) {
    ++p->Skipping;
    return;
  }
  try {
    // One pass binds the element's declarations and gathers its other
    // attributes, their prefixes for now where their namespaces go.
    const size_t outer = p->Bindings.size();
    bool prefixed = false;
    p->Attrs.clear();
    for (const XML_Char** a = attrs; *a; a += 2) {
      if (IsDeclaration(a[0])) {
        p->Declare(a[0], a[1]);
        continue;
      }
      TXmlAttribute attr{{}, {}, a[1]};
      if (!SplitQName(a[0], attr.Namespace, attr.Name)) p->NotANamespaceName(a[0]);
      prefixed = prefixed || !attr.Namespace.empty();
      p->Attrs.push_back(attr);
    }
    std::string_view prefix, local;
    if (!SplitQName(name, prefix, local)) p->NotANamespaceName(name);
    if (!p->Accepted(prefix)) {
      p->Bindings.resize(outer);
      ++p->Skipping;
      return;
    }
    p->Scopes.push_back(std::uint32_t(outer));
    if (prefixed)
      for (TXmlAttribute& attr : p->Attrs)
        if (!attr.Namespace.empty()) attr.Namespace = p->NamespaceOf(attr.Namespace);
    p->Handler.StartElement(local, p->Attrs);
  } catch (...) {
    p->Fail(std::current_exception());
  }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error) return;
  if (p->Skipping) {
    --p->Skipping;
    return;
  }
  try {
    p->Bindings.resize(p->Scopes.back());
    p->Scopes.pop_back();
    std::string_view prefix, local;
    SplitQName(name, prefix, local);
    p->Handler.EndElement(local);
  } catch (...) {
    p->Fail(std::current_exception());
  }
}

void XMLCALL OnText(void* data, const XML_Char* s, int len) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error || p->Skipping) return;
  try {
    p->Handler.Text(std::string_view(s, size_t(len)));
  } catch (...) {
    p->Fail(std::current_exception());
  }
}

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto* p = static_cast<TParse*>(data);
  p->Fail(std::make_exception_ptr(EWorkbookError("A workbook part declares a document type, which is refused")));
}

struct FreeParser {
  void operator()(XML_ParserStruct* p) const { XML_ParserFree(p); }
};

}  // namespace

const char* Attribute(TXmlAttributes attrs, std::initializer_list<std::string_view> namespaces, std::string_view name) {
  for (const TXmlAttribute& a : attrs)
    if (a.Name == name && std::find(namespaces.begin(), namespaces.end(), a.Namespace) != namespaces.end())
      return a.Value;
  return nullptr;
}

void ParseXml(TPartStream& part, TXmlHandler& handler) {
  std::unique_ptr<XML_ParserStruct, FreeParser> parser(XML_ParserCreate(nullptr));
  if (!parser) throw EWorkbookError("Out of memory for the XML parser");
  TParse state{parser.get(), handler, part.Name(), nullptr, {}, {}, {}, 0};
  XML_SetUserData(parser.get(), &state);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);

  auto feed = [&](const char* data, size_t n) {
    if (XML_Parse(parser.get(), data, int(n), n == 0) != XML_STATUS_OK) {
      if (state.Error) std::rethrow_exception(state.Error);
      state.Malformed(XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    if (state.Error) std::rethrow_exception(state.Error);
  };
  // A part that fills its first chunk is read ahead on a thread of its own
  // while this one parses; a small one, or one where no thread starts, here.
  constexpr size_t kChunk = 256 * 1024;
  std::vector<char> first(kChunk);
  size_t n = part.Read(first.data(), kChunk);
  std::unique_ptr<TReadAhead> ahead;
  if (n == kChunk) {
    try {
      ahead = std::make_unique<TReadAhead>(part, kChunk);
    } catch (const std::system_error&) {}
  }
  feed(first.data(), n);
  while (n != 0) {
    if (ahead) {
      const std::string_view chunk = ahead->Next();
      n = chunk.size();
      feed(chunk.data(), n);
    } else {
      n = part.Read(first.data(), kChunk);
      feed(first.data(), n);
    }
  }
}

}  // namespace sheet
