#include "spreadsheet/core/xml_reader.h"

#include <expat.h>

#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "spreadsheet/core/cell_value.h"

namespace sheet {

namespace {

constexpr char kNamespaceSeparator = '\x01';

std::string_view LocalName(const char* name) {
  const char* sep = std::strrchr(name, kNamespaceSeparator);
  return sep ? std::string_view(sep + 1) : std::string_view(name);
}

struct TParse {
  XML_Parser Parser;
  TXmlHandler& Handler;
  std::exception_ptr Error;
  std::vector<const char*> Attrs;  // local names, reused between elements

  void Fail(std::exception_ptr e) {
    if (!Error) Error = e;
    XML_StopParser(Parser, XML_FALSE);
  }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attrs) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error) return;
  try {
    p->Attrs.clear();
    for (const XML_Char** a = attrs; *a; a += 2) {
      p->Attrs.push_back(LocalName(a[0]).data());
      p->Attrs.push_back(a[1]);
    }
    p->Attrs.push_back(nullptr);
    p->Handler.StartElement(LocalName(name), p->Attrs.data());
  } catch (...) {
    p->Fail(std::current_exception());
  }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error) return;
  try {
    p->Handler.EndElement(LocalName(name));
  } catch (...) {
    p->Fail(std::current_exception());
  }
}

void XMLCALL OnText(void* data, const XML_Char* s, int len) {
  auto* p = static_cast<TParse*>(data);
  if (p->Error) return;
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

const char* Attribute(const char** attrs, std::string_view name) {
  for (; *attrs; attrs += 2)
    if (name == attrs[0]) return attrs[1];
  return nullptr;
}

void ParseXml(TPartStream& part, TXmlHandler& handler) {
  std::unique_ptr<XML_ParserStruct, FreeParser> parser(XML_ParserCreateNS(nullptr, kNamespaceSeparator));
  if (!parser) throw EWorkbookError("Out of memory for the XML parser");
  TParse state{parser.get(), handler, nullptr, {}};
  XML_SetUserData(parser.get(), &state);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);

  constexpr size_t kChunk = 64 * 1024;
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
