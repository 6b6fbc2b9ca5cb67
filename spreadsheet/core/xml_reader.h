// Streaming XML over a package part with expat: elements and text reach a
// handler as they are parsed, in chunks, so no part is ever held whole.
// A document type declaration is refused, which rules out entity expansion.
// Elements are told apart by namespace and name: a handler names the
// namespaces it reads, and an element of any other namespace (an extension,
// markup compatibility) is skipped with everything inside it. Windows-free.
#pragma once
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>

#include "spreadsheet/core/zip_package.h"

namespace sheet {

struct TXmlAttribute {
  std::string_view Namespace;  // empty for an attribute without a prefix
  std::string_view Name;       // the local name
  const char* Value;
};
using TXmlAttributes = std::span<const TXmlAttribute>;

class TXmlHandler {
 public:
  virtual ~TXmlHandler() = default;
  // Whether elements of this namespace (empty: none) reach the handler.
  virtual bool Accepts(std::string_view ns) const = 0;
  // Names are the local names of elements of an accepted namespace.
  virtual void StartElement(std::string_view name, TXmlAttributes attrs) = 0;
  virtual void EndElement(std::string_view name) = 0;
  virtual void Text(std::string_view) {}
};

// Whether an element's name is this one: a length check and, for a literal,
// a few instructions (string_view's operator== calls out to compare here).
inline bool NameIs(std::string_view name, std::string_view literal) {
  return name.size() == literal.size() &&
         (literal.empty() || std::memcmp(name.data(), literal.data(), literal.size()) == 0);  // memcmp takes no null
}

// The value of the attribute without a prefix that has this name, or nullptr.
// Inline, so that the comparison with a literal name is a few instructions.
inline const char* Attribute(TXmlAttributes attrs, std::string_view name) {
  for (const TXmlAttribute& a : attrs)
    if (a.Namespace.empty() && NameIs(a.Name, name)) return a.Value;
  return nullptr;
}
// The value of the attribute of one of these namespaces that has this name, or nullptr.
const char* Attribute(TXmlAttributes attrs, std::initializer_list<std::string_view> namespaces, std::string_view name);

// Parses the part to its end. Malformed XML, a DOCTYPE, and any exception a
// handler throws end the parse; the error reaches the caller as EWorkbookError
// (or as the handler's own exception).
void ParseXml(TPartStream& part, TXmlHandler& handler);

}  // namespace sheet
