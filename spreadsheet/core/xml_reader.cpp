#include "spreadsheet/core/xml_reader.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "spreadsheet/core/cell_value.h"

namespace sheet {

namespace {

constexpr char kNamespaceSeparator = '\x01';

// expat spells a namespaced name "URI\x01local", one without a namespace "local".
void Split(const char* name, std::string_view& ns, std::string_view& local) {
  const char* sep = std::strchr(name, kNamespaceSeparator);
  if (!sep) {
    ns = {};
    local = name;
  } else {
    ns = std::string_view(name, size_t(sep - name));
    local = sep + 1;
  }
}

struct TParse {
  XML_Parser Parser;
  TXmlHandler& Handler;
  std::exception_ptr Error;
  std::vector<TXmlAttribute> Attrs;  // reused between elements
  int Skipping = 0;                  // depth inside an element of a namespace the handler does not read

  void Fail(std::exception_ptr e) {
    if (!Error) Error = e;
    XML_StopParser(Parser, XML_FALSE);
  }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attrs) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error) return;
  try {
    std::string_view ns, local;
    Split(name, ns, local);
    if (p->Skipping || !p->Handler.Accepts(ns)) {
      ++p->Skipping;
      return;
    }
    p->Attrs.clear();
    for (const XML_Char** a = attrs; *a; a += 2) {
      TXmlAttribute attr{{}, {}, a[1]};
      Split(a[0], attr.Namespace, attr.Name);
      p->Attrs.push_back(attr);
    }
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
    std::string_view ns, local;
    Split(name, ns, local);
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

const char* Attribute(TXmlAttributes attrs, std::string_view name) {
  for (const TXmlAttribute& a : attrs)
    if (a.Namespace.empty() && a.Name == name) return a.Value;
  return nullptr;
}

const char* Attribute(TXmlAttributes attrs, std::initializer_list<std::string_view> namespaces, std::string_view name) {
  for (const TXmlAttribute& a : attrs)
    if (a.Name == name && std::find(namespaces.begin(), namespaces.end(), a.Namespace) != namespaces.end())
      return a.Value;
  return nullptr;
}

void ParseXml(TPartStream& part, TXmlHandler& handler) {
  std::unique_ptr<XML_ParserStruct, FreeParser> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
  if (!parser) throw EWorkbookError("Out of memory for the XML parser");
  TParse state{parser.get(), handler, nullptr, {}, 0};
  XML_SetUserData(parser.get(), &state);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);

  constexpr size_t kChunk = 256 * 1024;
  for (;;) {
    void* buffer = XML_GetBuffer(parser.get(), int(kChunk));
    if (!buffer) throw EWorkbookError("Out of memory while reading " + part.Name());
    const size_t n = part.Read(static_cast<char*>(buffer), kChunk);
    if (XML_ParseBuffer(parser.get(), int(n), n == 0) != XML_STATUS_OK) {
      if (state.Error) std::rethrow_exception(state.Error);
      throw EWorkbookError("The workbook part " + part.Name() + " is not well-formed XML (line " +
                           std::to_string(XML_GetCurrentLineNumber(parser.get())) + "): " +
                           XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    if (state.Error) std::rethrow_exception(state.Error);
    if (n == 0) break;
  }
}

}  // namespace sheet
