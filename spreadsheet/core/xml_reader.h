// Streaming XML over a package part with expat: elements and text reach a
// handler as they are parsed, in chunks, so no part is ever held whole.
// A document type declaration is refused, which rules out entity expansion.
// Windows-free.
#pragma once
#include <string_view>

#include "spreadsheet/core/zip_package.h"

namespace sheet {

class TXmlHandler {
 public:
  virtual ~TXmlHandler() = default;
  // Names are local names (namespace prefixes dropped); attrs holds name/value
  // pairs ending with nullptr, names also local.
  virtual void StartElement(std::string_view name, const char** attrs) = 0;
  virtual void EndElement(std::string_view name) = 0;
  virtual void Text(std::string_view) {}
};

// The value of the attribute with the given local name, or nullptr.
const char* Attribute(const char** attrs, std::string_view name);

// Parses the part to its end. Malformed XML, a DOCTYPE, and any exception a
// handler throws end the parse; the error reaches the caller as EWorkbookError
// (or as the handler's own exception).
void ParseXml(TPartStream& part, TXmlHandler& handler);

}  // namespace sheet
