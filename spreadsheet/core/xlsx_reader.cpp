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

#include "spreadsheet/core/batch_worker.h"
#include "spreadsheet/core/number_format.h"
#include "spreadsheet/core/xml_reader.h"

namespace sheet {

namespace {

constexpr std::uint32_t kMaxColumns = 16384;  // XFD
constexpr std::uint32_t kMaxRows = 1048576;
constexpr double kLastOleDate = 2958466.0;   // 10000-01-01, exclusive
constexpr double kFirstOleDate = -657434.0;  // 0100-01-01

// The namespaces the reader reads: SpreadsheetML's in its transitional and its
// strict spelling, the package's relationships, and the office relationships
// that r:id attributes belong to.
constexpr std::string_view kMainTransitional = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kMainStrict = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr std::string_view kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kOfficeRelationshipsTransitional =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kOfficeRelationshipsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";

// A handler of a SpreadsheetML part: its elements of other namespaces are skipped.
class TSpreadsheetHandler : public TXmlHandler {
 public:
  bool Accepts(std::string_view ns) const override { return ns == kMainTransitional || ns == kMainStrict; }
};

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// An attribute value that is usually a few characters (a cell reference, a
// row number, a style), measured in line rather than by a call to strlen.
std::string_view Short(const char* v) {
  size_t n = 0;
  while (v[n]) ++n;
  return std::string_view(v, n);
}

bool IsTrue(const char* v) { return v && (std::string_view(v) == "1" || std::string_view(v) == "true"); }

bool ParseUnsigned(std::string_view s, std::uint64_t& out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

// A plain decimal of at most 15 digits ("-1234.25"), as most stored numbers
// are, without the general parser: its digits and its power of ten are both
// exact doubles, so their quotient is the correctly rounded value.
bool ParseShortDecimal(std::string_view s, double& out) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  size_t i = 0;
  const bool negative = !s.empty() && s[0] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  int count = 0, fraction = -1;  // fraction: digits after the point, -1 before it
  for (; i < s.size(); ++i) {
    const char ch = s[i];
    if (ch >= '0' && ch <= '9') {
      if (++count > 15) return false;
      digits = digits * 10 + std::uint64_t(ch - '0');
      if (fraction >= 0) ++fraction;
    } else if (ch == '.' && fraction < 0) {
      fraction = 0;
    } else {
      return false;  // an exponent, a blank, anything else: the general parser decides
    }
  }
  if (count == 0) return false;
  const double v = double(digits) / kPowers[fraction < 0 ? 0 : fraction];
  out = negative ? -v : v;
  return true;
}

// Numbers as a sheet stores them: C-locale decimal, possibly with blanks around.
bool ParseNumber(std::string_view s, double& out) {
  if (ParseShortDecimal(s, out)) return true;
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size() && std::isfinite(out);
}

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

// ---- text runs shared by the string table and inline strings ----------------

// Collects the text of an <si> or <is>: its own <t>, or the <t> of its <r> runs;
// the phonetic guide (<rPh>) is not part of the value.
class TRichTextCollector {
 public:
  void Start(std::string_view name) {
    if (NameIs(name, "rPh"))
      ++phonetic_;
    else if (NameIs(name, "t") && !phonetic_)
      inText_ = true;
  }
  void End(std::string_view name) {
    if (NameIs(name, "rPh"))
      --phonetic_;
    else if (NameIs(name, "t"))
      inText_ = false;
  }
  void Text(std::string_view s) {
    if (inText_) text_ += s;
  }
  std::string Take() {
    std::string out = std::move(text_);
    text_.clear();
    inText_ = false;
    phonetic_ = 0;
    return out;
  }

 private:
  std::string text_;
  bool inText_ = false;
  int phonetic_ = 0;
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

// ---- ISO 8601 dates of t="d" cells ----------------------------------------

// Days from 1899-12-30 to the given civil date (proleptic Gregorian).
long long DaysFromOleEpoch(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long unixDays = era * 146097 + (long long)doe - 719468;
  return unixDays + 25569;  // 1970-01-01 is OLE day 25569
}

bool ParseIsoDate(std::string_view s, double& ole) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double sec = 0;
  auto num = [&](size_t pos, size_t len, int& out) {
    if (pos + len > s.size()) return false;
    auto [p, ec] = std::from_chars(s.data() + pos, s.data() + pos + len, out);
    return ec == std::errc() && p == s.data() + pos + len;
  };
  if (!num(0, 4, y) || s.size() < 10 || s[4] != '-' || !num(5, 2, mo) || s[7] != '-' || !num(8, 2, d)) return false;
  if (mo < 1 || mo > 12 || d < 1 || d > 31) return false;
  if (s.size() > 10) {
    if (s[10] != 'T' || !num(11, 2, h) || s.size() < 16 || s[13] != ':' || !num(14, 2, mi)) return false;
    if (s.size() > 16 && s[16] == ':') {
      size_t end = 17;
      while (end < s.size() && (std::isdigit((unsigned char)s[end]) || s[end] == '.')) ++end;
      auto [p, ec] = std::from_chars(s.data() + 17, s.data() + end, sec);
      if (ec != std::errc()) return false;
    }
    if (h > 24 || mi > 59 || sec >= 61) return false;
  }
  ole = double(DaysFromOleEpoch(y, unsigned(mo), unsigned(d))) + (h * 3600 + mi * 60 + sec) / 86400.0;
  return ole >= kFirstOleDate && ole < kLastOleDate;
}

// ---- the worksheet ---------------------------------------------------------

// A cell's t attribute: its kind of value.
enum class TType : std::uint8_t { Number, Shared, InlineString, FormulaString, Boolean, Error, Date, Unknown };
TType TypeOf(const char* t) {
  if (!t) return TType::Number;
  if (t[0] && !t[1]) {  // the usual one-letter kinds without measuring
    switch (t[0]) {
      case 's': return TType::Shared;
      case 'n': return TType::Number;
      case 'b': return TType::Boolean;
      case 'e': return TType::Error;
      case 'd': return TType::Date;
      default: return TType::Unknown;
    }
  }
  const std::string_view v(t);
  if (v == "s") return TType::Shared;
  if (v == "n") return TType::Number;
  if (v == "str") return TType::FormulaString;
  if (v == "inlineStr") return TType::InlineString;
  if (v == "b") return TType::Boolean;
  if (v == "e") return TType::Error;
  if (v == "d") return TType::Date;
  return TType::Unknown;
}

// A column's letters: 1 is A, 27 is AA.
std::string ColumnName(std::uint32_t col) {
  std::string letters;
  for (std::uint32_t c = col; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), char('A' + (c - 1) % 26));
  return letters;
}

// A cell as the sheet stores it, its value's text in its batch's Text.
struct TRawCell {
  std::uint32_t Row, Col;
  std::uint64_t Style;
  TType Type;
  bool HasInline;  // an inline string's <is>, whose text is the value
  std::uint32_t At, Size;
};

// The cells of a stretch of the sheet, handed to the converter together.
struct TCellBatch {
  std::vector<TRawCell> Cells;
  std::string Text;
  void clear() {
    Cells.clear();
    Text.clear();
  }
};

// Turns stored cells into the block's values and strings, in the sheet's
// order: numbers parsed, dates and currency told by the cell's style, shared
// strings checked against the table.
class TCellConverter {
 public:
  TCellConverter(TValueBlock& block, const std::vector<TFormatKind>& styles, bool date1904,
                 std::uint64_t sharedStringCount)
      : block_(block), styles_(styles), date1904_(date1904), sharedStringCount_(sharedStringCount) {}

  bool InOrder = true;  // every cell after the one before it, by row and column

  void Convert(const TCellBatch& batch) {
    for (const TRawCell& c : batch.Cells) Convert(c, std::string_view(batch.Text).substr(c.At, c.Size));
  }

 private:
  static std::string CellName(const TRawCell& c) { return ColumnName(c.Col) + std::to_string(c.Row); }

  void Push(const TRawCell& raw, TCellKind kind, double number, std::uint32_t stringIndex = 0) {
    TValueBlock::TStored c;
    c.Row = raw.Row;
    c.Col = std::uint16_t(raw.Col);
    c.Kind = kind;
    if (kind == TCellKind::Text || kind == TCellKind::Error)
      c.StringIndex = stringIndex;
    else
      c.Number = number;
    if (!block_.Cells.empty()) {
      const TValueBlock::TStored& last = block_.Cells.back();
      InOrder = InOrder && (last.Row != c.Row ? last.Row < c.Row : last.Col < c.Col);
    }
    block_.Cells.push_back(c);
  }

  std::uint32_t AddString(std::string_view s) {
    block_.Strings.emplace_back(s);
    return std::uint32_t(block_.Strings.size() - 1);
  }

  void Convert(const TRawCell& c, std::string_view value) {
    if (c.Type == TType::InlineString) {
      if (c.HasInline || !value.empty()) Push(c, TCellKind::Text, 0, AddString(value));
      return;
    }
    if (value.empty()) {
      if (c.Type == TType::FormulaString) Push(c, TCellKind::Text, 0, AddString({}));  // a formula giving ""
      return;  // formatting only: part of the used area, no value
    }
    if (c.Type == TType::Shared) {
      std::uint64_t index;
      if (!ParseUnsigned(value, index) || index >= sharedStringCount_)
        throw EWorkbookError("Cell " + CellName(c) + " refers to shared string '" + std::string(value) + "' of " +
                             std::to_string(sharedStringCount_));
      Push(c, TCellKind::Text, 0, std::uint32_t(index));
    } else if (c.Type == TType::FormulaString) {
      Push(c, TCellKind::Text, 0, AddString(value));
    } else if (c.Type == TType::Boolean) {
      if (value != "0" && value != "1" && value != "true" && value != "false")
        throw EWorkbookError("Cell " + CellName(c) + " holds '" + std::string(value) + "', which is not a boolean");
      Push(c, TCellKind::Boolean, value == "1" || value == "true" ? 1 : 0);
    } else if (c.Type == TType::Error) {
      Push(c, TCellKind::Error, 0, AddString(value));
    } else if (c.Type == TType::Date) {
      double ole;
      if (!ParseIsoDate(value, ole))
        throw EWorkbookError("Cell " + CellName(c) + " holds '" + std::string(value) + "', which is not a date");
      Push(c, TCellKind::Date, ole);
    } else {
      double v;
      if (!ParseNumber(value, v))
        throw EWorkbookError("Cell " + CellName(c) + " holds '" + std::string(value) + "', which is not a number");
      const TFormatKind kind = c.Style < styles_.size() ? styles_[c.Style] : TFormatKind::Number;
      double ole;
      if (kind == TFormatKind::Date && SerialToOleDate(v, date1904_, ole))
        Push(c, TCellKind::Date, ole);
      else if (kind == TFormatKind::Currency && std::fabs(v) < 922337203685477.0)
        Push(c, TCellKind::Currency, v);
      else
        Push(c, TCellKind::Number, v);
    }
  }

  TValueBlock& block_;
  const std::vector<TFormatKind>& styles_;
  bool date1904_;
  std::uint64_t sharedStringCount_;
};

class TSheetHandler : public TSpreadsheetHandler {
 public:
  TSheetHandler(TValueBlock& block, const std::vector<TFormatKind>& styles, bool date1904, const TReadLimits& limits,
                std::uint64_t sharedStringCount)
      : limits_(limits), converter_(block, styles, date1904, sharedStringCount) {}

  std::uint32_t MaxRow = 0, MaxCol = 0;

  void StartElement(std::string_view name, TXmlAttributes attrs) override {
    if (!inSheetData_) {
      if (NameIs(name, "sheetData")) inSheetData_ = true;
      return;
    }
    if (inCell_) {
      if (NameIs(name, "v")) {
        inValue_ = true;
      } else if (NameIs(name, "is")) {
        inInline_ = true;
        hasInline_ = true;
      } else if (inInline_) {
        inline_.Start(name);
      }
      return;
    }
    if (NameIs(name, "row")) {
      const char* r = Attribute(attrs, "r");
      std::uint64_t n;
      if (r) {
        if (!ParseUnsigned(Short(r), n) || n < 1 || n > kMaxRows)
          throw EWorkbookError("A row of the sheet has the number '" + std::string(r) + "'");
        row_ = std::uint32_t(n);
      } else {
        ++row_;
        if (row_ > kMaxRows) throw EWorkbookError("The sheet has more rows than a sheet can hold");
      }
      col_ = 0;
    } else if (NameIs(name, "c")) {
      StartCell(attrs);
    }
  }

  void EndElement(std::string_view name) override {
    if (!inSheetData_) return;
    if (inCell_) {
      if (NameIs(name, "v")) {
        inValue_ = false;
      } else if (NameIs(name, "is")) {
        inInline_ = false;
      } else if (inInline_) {
        inline_.End(name);
      } else if (NameIs(name, "c")) {
        EndCell();
      }
      return;
    }
    if (NameIs(name, "sheetData")) inSheetData_ = false;
  }

  void Text(std::string_view s) override {
    if (inValue_)
      value_ += s;
    else if (inInline_)
      inline_.Text(s);
  }

 private:
  void StartCell(TXmlAttributes attrs) {
    if (++storedCells_ > limits_.MaxStoredCells)
      throw EWorkbookError("The sheet stores more than " + std::to_string(limits_.MaxStoredCells) + " cells");
    if (row_ == 0) row_ = 1;  // a cell outside any <row>
    const char* ref = Attribute(attrs, "r");
    if (ref) {
      std::uint32_t col, row;
      if (!ParseCellReference(Short(ref), col, row))
        throw EWorkbookError("The sheet has a cell '" + std::string(ref) + "'");
      col_ = col;
      row_ = row;
    } else {
      if (++col_ > kMaxColumns) throw EWorkbookError("A row of the sheet has more cells than a sheet can hold");
    }
    const char* t = Attribute(attrs, "t");
    type_ = TypeOf(t);
    if (type_ == TType::Unknown) typeText_ = t;
    style_ = 0;
    if (const char* s = Attribute(attrs, "s")) {
      std::uint64_t n;
      if (!ParseUnsigned(Short(s), n))
        throw EWorkbookError("A cell of the sheet has the style '" + std::string(s) + "'");
      style_ = n;
    }
    inCell_ = true;
    hasInline_ = false;
    value_.clear();
    MaxRow = std::max(MaxRow, row_);
    MaxCol = std::max(MaxCol, col_);
  }

  // The cell goes into the batch; a full batch goes to the converter, on a
  // thread of its own once the sheet proves large.
  void EndCell() {
    inCell_ = false;
    inValue_ = inInline_ = false;
    if (type_ == TType::Unknown && !value_.empty())
      throw EWorkbookError("Cell " + ColumnName(col_) + std::to_string(row_) + " has the unknown type '" + typeText_ +
                           "'");
    if (type_ == TType::InlineString && hasInline_) value_ = inline_.Take();  // the <is> text is the value
    batch_.Cells.push_back(
        {row_, col_, style_, type_, hasInline_, std::uint32_t(batch_.Text.size()), std::uint32_t(value_.size())});
    batch_.Text += value_;
    if (batch_.Cells.size() < kBatch) return;
    if (!worker_)
      worker_ = std::make_unique<TBatchWorker<TCellBatch>>([this](const TCellBatch& b) { converter_.Convert(b); });
    worker_->Submit(batch_);
  }

 public:
  // Every cell converted; the converter's error, the first in the sheet's order, thrown.
  void Finish() {
    if (worker_) {
      worker_->Submit(batch_);
      worker_->Finish();
    } else {
      converter_.Convert(batch_);
      batch_.clear();
    }
  }
  bool InOrder() const { return converter_.InOrder; }

 private:
  static constexpr size_t kBatch = 4096;
  const TReadLimits& limits_;
  bool inSheetData_ = false, inCell_ = false, inValue_ = false, inInline_ = false, hasInline_ = false;
  std::uint32_t row_ = 0, col_ = 0;
  std::uint64_t storedCells_ = 0, style_ = 0;
  TType type_ = TType::Number;
  std::string typeText_, value_;
  TRichTextCollector inline_;
  TCellConverter converter_;
  TCellBatch batch_;
  std::unique_ptr<TBatchWorker<TCellBatch>> worker_;  // last: its thread stops before the rest goes
};

const TRelationship* FindRelationship(const std::vector<TRelationship>& rels, std::string_view typeSuffix) {
  for (const auto& r : rels)
    if (EndsWith(r.Type, typeSuffix)) return &r;
  return nullptr;
}

}  // namespace

bool SerialToOleDate(double serial, bool date1904, double& ole) {
  if (date1904) {
    ole = serial + 1462;  // 1904-01-01
    return ole >= kFirstOleDate && ole < kLastOleDate;
  }
  // The 1900 system counts a 29 February 1900 that never was: serials before
  // it are one day behind OLE dates.
  if (serial < 0) return false;
  ole = serial < 60 ? serial + 1 : serial;
  return ole < kLastOleDate;
}

bool ParseCellReference(std::string_view ref, std::uint32_t& col, std::uint32_t& row) {
  size_t i = 0;
  std::uint64_t c = 0, r = 0;
  if (i < ref.size() && ref[i] == '$') ++i;
  const size_t lettersAt = i;
  // ASCII letters only, whatever the C library's locale calls a letter.
  for (; i < ref.size() && unsigned((ref[i] | 0x20) - 'a') < 26; ++i) {
    c = c * 26 + std::uint64_t((ref[i] | 0x20) - 'a' + 1);
    if (c > kMaxColumns) return false;
  }
  if (i == lettersAt) return false;
  if (i < ref.size() && ref[i] == '$') ++i;
  if (!ParseUnsigned(ref.substr(i), r) || r < 1 || r > kMaxRows) return false;
  col = std::uint32_t(c);
  row = std::uint32_t(r);
  return true;
}

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

  TSheetHandler sheet(block, styles.StyleKinds, workbook.Date1904, limits, block.Strings.size());
  {
    TPartStream stream = pkg.Open(sheetRel->Target, limits.MaxPartBytes);
    try {
      ParseXml(stream, sheet);
    } catch (...) {
      sheet.Finish();  // an earlier cell's error, where the converter meets one, is the one to report
      throw;
    }
    sheet.Finish();
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
  if (!sheet.InOrder()) {
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
