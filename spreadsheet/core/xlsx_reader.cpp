#include "spreadsheet/core/xlsx_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "spreadsheet/core/number_format.h"
#include "spreadsheet/core/xlsx_parts.h"
#include "spreadsheet/core/xlsx_sheet.h"
#include "spreadsheet/core/xml_reader.h"

namespace sheet {

using namespace xlsx;

namespace {

// ---- part names and relationships ---------------------------------------

std::string DirectoryOf(std::string_view part) {
  const size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

// Resolves a relationship target against the folder of its source part.
std::string ResolveTarget(std::string_view sourceDir, std::string_view target) {
  std::string joined = !target.empty() && target.front() == '/' ? std::string(target.substr(1))
                                                                : std::string(sourceDir) + std::string(target);
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    std::string seg = joined.substr(start, end - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = end + 1;
  }
  std::string out;
  for (size_t i = 0; i < segments.size(); ++i) out += (i ? "/" : "") + segments[i];
  return out;
}

std::string RelationshipsPartOf(std::string_view part) {
  const size_t slash = part.rfind('/');
  if (slash == std::string_view::npos) return "_rels/" + std::string(part) + ".rels";
  return std::string(part.substr(0, slash + 1)) + "_rels/" + std::string(part.substr(slash + 1)) + ".rels";
}

struct TRelationship {
  std::string Id, Type, Target;  // Target resolved to a part name
};

class TRelationshipsHandler : public TXmlHandler {
 public:
  TRelationshipsHandler(std::string sourceDir, std::vector<TRelationship>& out)
      : dir_(std::move(sourceDir)), out_(out) {}
  bool Accepts(std::string_view ns) const override { return ns == kPackageRelationships; }
  void StartElement(std::string_view name, TXmlAttributes attrs) override {
    if (name != "Relationship") return;
    const char* mode = Attribute(attrs, "TargetMode");
    if (mode && std::string_view(mode) == "External") return;
    const char* id = Attribute(attrs, "Id");
    const char* type = Attribute(attrs, "Type");
    const char* target = Attribute(attrs, "Target");
    if (!id || !type || !target) return;
    out_.push_back({id, type, ResolveTarget(dir_, target)});
  }
  void EndElement(std::string_view) override {}

 private:
  std::string dir_;
  std::vector<TRelationship>& out_;
};

std::vector<TRelationship> ReadRelationships(const TZipPackage& pkg, std::string_view sourcePart,
                                             const TReadLimits& limits) {
  std::vector<TRelationship> rels;
  const std::string relsPart = sourcePart.empty() ? "_rels/.rels" : RelationshipsPartOf(sourcePart);
  if (!pkg.Has(relsPart)) return rels;
  TPartStream stream = pkg.Open(relsPart, limits.MaxPartBytes);
  TRelationshipsHandler handler(DirectoryOf(sourcePart), rels);
  ParseXml(stream, handler);
  return rels;
}

// ---- workbook part ------------------------------------------------------

struct TSheetEntry {
  std::string Name, RelationshipId;
};

class TWorkbookHandler : public TSpreadsheetHandler {
 public:
  bool Date1904 = false;
  std::vector<TSheetEntry> Sheets;
  void StartElement(std::string_view name, TXmlAttributes attrs) override {
    if (NameIs(name, "workbookPr")) {
      Date1904 = IsTrue(Attribute(attrs, "date1904"));
    } else if (NameIs(name, "sheet")) {
      const char* id = Attribute(attrs, {kOfficeRelationshipsTransitional, kOfficeRelationshipsStrict}, "id");
      const char* sheetName = Attribute(attrs, "name");
      Sheets.push_back({sheetName ? sheetName : "", id ? id : ""});
    }
  }
  void EndElement(std::string_view) override {}
};

// ---- styles part: the number format kind of every cell style ---------------

class TStylesHandler : public TSpreadsheetHandler {
 public:
  std::vector<TFormatKind> StyleKinds;  // by cell style (xf) index
  void StartElement(std::string_view name, TXmlAttributes attrs) override {
    ++depth_;
    if (NameIs(name, "numFmt") && numFmtsDepth_ && depth_ == numFmtsDepth_ + 1) {
      std::uint64_t id;
      const char* idText = Attribute(attrs, "numFmtId");
      const char* code = Attribute(attrs, "formatCode");
      if (idText && code && ParseUnsigned(idText, id)) custom_[id] = FormatCodeKind(code);
    } else if (NameIs(name, "numFmts")) {
      numFmtsDepth_ = depth_;
    } else if (NameIs(name, "cellXfs")) {
      cellXfsDepth_ = depth_;
    } else if (NameIs(name, "xf") && cellXfsDepth_ && depth_ == cellXfsDepth_ + 1) {
      std::uint64_t id = 0;
      const char* idText = Attribute(attrs, "numFmtId");
      if (idText) ParseUnsigned(idText, id);
      xfFormats_.push_back(id);
    }
  }
  void EndElement(std::string_view name) override {
    if (NameIs(name, "numFmts") && depth_ == numFmtsDepth_) numFmtsDepth_ = 0;
    if (NameIs(name, "cellXfs") && depth_ == cellXfsDepth_) cellXfsDepth_ = 0;
    --depth_;
  }
  // Custom codes may be declared after the styles that use them.
  void Finish() {
    StyleKinds.reserve(xfFormats_.size());
    for (std::uint64_t id : xfFormats_) {
      auto it = custom_.find(id);
      StyleKinds.push_back(it != custom_.end() ? it->second : BuiltinFormatKind(id > 1000 ? 0 : int(id)));
    }
  }

 private:
  int depth_ = 0, numFmtsDepth_ = 0, cellXfsDepth_ = 0;
  std::unordered_map<std::uint64_t, TFormatKind> custom_;
  std::vector<std::uint64_t> xfFormats_;
};

class TSharedStringsHandler : public TSpreadsheetHandler {
 public:
  TSharedStringsHandler(std::vector<std::string>& out, std::uint64_t limit) : out_(out), limit_(limit) {}
  void StartElement(std::string_view name, TXmlAttributes) override {
    if (NameIs(name, "si")) {
      inItem_ = true;
    } else if (inItem_) {
      text_.Start(name);
    }
  }
  void EndElement(std::string_view name) override {
    if (NameIs(name, "si") && inItem_) {
      if (out_.size() >= limit_)
        throw EWorkbookError("The workbook holds more than " + std::to_string(limit_) + " shared strings");
      out_.push_back(text_.Take());
      inItem_ = false;
    } else if (inItem_) {
      text_.End(name);
    }
  }
  void Text(std::string_view s) override {
    if (inItem_) text_.Text(s);
  }

 private:
  std::vector<std::string>& out_;
  std::uint64_t limit_;
  bool inItem_ = false;
  TRichTextCollector text_;
};

const TRelationship* FindRelationship(const std::vector<TRelationship>& rels, std::string_view typeSuffix) {
  for (const auto& r : rels)
    if (EndsWith(r.Type, typeSuffix)) return &r;
  return nullptr;
}

}  // namespace

TValueBlock ReadFirstSheet(const TZipPackage& pkg, const TReadLimits& limits) {
  // The main part, as the package relationships name it.
  std::string workbookPart = "xl/workbook.xml";
  const auto packageRels = ReadRelationships(pkg, "", limits);
  if (const TRelationship* doc = FindRelationship(packageRels, "/officeDocument")) workbookPart = doc->Target;
  if (!pkg.Has(workbookPart)) throw EWorkbookError("The package holds no workbook part");

  TWorkbookHandler workbook;
  {
    TPartStream stream = pkg.Open(workbookPart, limits.MaxPartBytes);
    ParseXml(stream, workbook);
  }
  const auto rels = ReadRelationships(pkg, workbookPart, limits);

  // The first sheet in workbook order that is a worksheet.
  const TRelationship* sheetRel = nullptr;
  for (const auto& entry : workbook.Sheets) {
    for (const auto& r : rels)
      if (r.Id == entry.RelationshipId && EndsWith(r.Type, "/worksheet")) sheetRel = &r;
    if (sheetRel) break;
  }
  if (!sheetRel) throw EWorkbookError("The workbook has no worksheet");

  TStylesHandler styles;
  if (const TRelationship* r = FindRelationship(rels, "/styles"); r && pkg.Has(r->Target)) {
    TPartStream stream = pkg.Open(r->Target, limits.MaxPartBytes);
    ParseXml(stream, styles);
  }
  styles.Finish();

  TValueBlock block;
  if (const TRelationship* r = FindRelationship(rels, "/sharedStrings"); r && pkg.Has(r->Target)) {
    TPartStream stream = pkg.Open(r->Target, limits.MaxPartBytes);
    TSharedStringsHandler handler(block.Strings, limits.MaxSharedStrings);
    ParseXml(stream, handler);
  }

  TSheetShape sheet;
  {
    TPartStream stream = pkg.Open(sheetRel->Target, limits.MaxPartBytes);
    sheet = ReadSheetPart(stream, block, styles.StyleKinds, workbook.Date1904, limits);
  }

  block.R = sheet.MaxRow ? int(sheet.MaxRow) : 1;
  block.N = sheet.MaxCol ? int(sheet.MaxCol) : 1;
  if (std::uint64_t(block.R) * std::uint64_t(block.N) > limits.MaxBlockCells)
    throw EWorkbookError("The sheet's used area of " + std::to_string(block.R) + " rows and " +
                         std::to_string(block.N) + " columns exceeds " + std::to_string(limits.MaxBlockCells) +
                         " cells");
  // Writers store cells in order; anything else is sorted, the last of duplicates kept.
  auto less = [](const TValueBlock::TStored& a, const TValueBlock::TStored& b) {
    return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col;
  };
  if (!sheet.InOrder) {
    std::stable_sort(block.Cells.begin(), block.Cells.end(), less);
    std::deque<TValueBlock::TStored> unique;
    for (const auto& c : block.Cells) {
      if (!unique.empty() && unique.back().Row == c.Row && unique.back().Col == c.Col)
        unique.back() = c;
      else
        unique.push_back(c);
    }
    block.Cells.swap(unique);
  }
  return block;
}

TValueBlock ReadFirstSheetFromFile(const std::string& path, const TReadLimits& limits) {
  return ReadFirstSheet(TZipPackage::OpenFile(path), limits);
}

TValueBlock ReadFirstSheetFromMemory(std::string_view bytes, const TReadLimits& limits) {
  return ReadFirstSheet(TZipPackage::OpenMemory(bytes), limits);
}

}  // namespace sheet
