#include "spreadsheet/core/xlsx_sheet.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "spreadsheet/core/batch_worker.h"
#include "spreadsheet/core/xlsx_parts.h"
#include "spreadsheet/core/xml_reader.h"

namespace sheet {

namespace xlsx {

namespace {

// ---- ISO 8601 dates of t="d" cells ----------------------------------------

// Days from 1899-12-30 to the given civil date (proleptic Gregorian; a day
// past its month's end runs on into the next).
long long DaysFromOleEpoch(int y, unsigned m, unsigned d) {
  using namespace std::chrono;
  const sys_days date{year{y} / month{m} / day{d}};
  return (date - sys_days{year{1899} / December / 30}).count();
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
        if (!ParseUnsigned(std::string_view(r), n) || n < 1 || n > kMaxRows)
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
      if (!ParseCellReference(std::string_view(ref), col, row))
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
      if (!ParseUnsigned(std::string_view(s), n))
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

}  // namespace

TSheetShape ReadSheetPart(TPartStream& part, TValueBlock& block, const std::vector<TFormatKind>& styles, bool date1904,
                          const TReadLimits& limits) {
  TSheetHandler sheet(block, styles, date1904, limits, block.Strings.size());
  try {
    ParseXml(part, sheet);
  } catch (...) {
    sheet.Finish();  // an earlier cell's error, where the converter meets one, is the one to report
    throw;
  }
  sheet.Finish();
  return {sheet.MaxRow, sheet.MaxCol, sheet.InOrder()};
}

}  // namespace xlsx

using namespace xlsx;

bool SerialToOleDate(double serial, bool date1904, double& ole) {
  if (date1904) {
    ole = serial + 1462;  // 1904-01-01
    return ole >= kFirstOleDate && ole < kLastOleDate;
  }
  // The 1900 system counts a 29 February 1900 that never was: the days from 1
  // (1 January 1900) to 59 are one behind OLE dates. A serial below 1 is a
  // time of day without a date, the same in both (0.5 is noon).
  if (serial < 0) return false;
  ole = serial >= 1 && serial < 60 ? serial + 1 : serial;
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

}  // namespace sheet
