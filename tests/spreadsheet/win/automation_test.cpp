// The automation client against an in-process double of the spreadsheet
// application's object model. The real automation server cannot be installed
// on these machines (it is a commercial Windows program), so the double stands
// in for it: it records every late-bound call with its member name, kind and
// arguments, and can fail any one call to show that Quit still follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/text.h"
#include "tests/spreadsheet/win/dispatch_object.h"
#include "framework/win/sysutils.h"
#include "spreadsheet/win/automation_import.h"
#include "spreadsheet/win/late_bound.h"
#include "spreadsheet/win/value_text.h"

namespace {

const wchar_t kRefusal[] = L"\x0631\x0641\x0636 \x0627\x0644\x062E\x0627\x062F\x0645";  // "رفض الخادم"
const char kRefusalUtf8[] = "\xD8\xB1\xD9\x81\xD8\xB6 \xD8\xA7\xD9\x84\xD8\xAE\xD8\xA7\xD8\xAF\xD9\x85";

struct TLog {
  std::vector<std::string> Calls;
  int FailAt = -1;  // the index of the call to refuse
  int LiveObjects = 0;
  LONG R = 3, N = 5;
  bool SingleValue = false;
  std::vector<VARIANT> Values;  // row-major 3 x N, owned by the test; rows below read empty
  std::string RejectMember;     // a member whose calls the server rejects, busy ...
  int Rejections = 0;           // ... this many times
  size_t LargestFetch = 0;      // the most cells one Value call gave
};

std::string Describe(const VARIANT& v) {
  std::ostringstream s;
  switch (v.vt) {
    case VT_BOOL: s << "bool:" << (v.boolVal ? "true" : "false"); break;
    case VT_ERROR: s << (v.scode == DISP_E_PARAMNOTFOUND ? "omitted" : "error"); break;
    case VT_I4: s << "i4:" << v.lVal; break;
    case VT_I4 | VT_BYREF: s << "i4&:" << *v.plVal; break;
    case VT_BSTR: s << "bstr:" << fw::WideToUtf8(v.bstrVal); break;
    case VT_BSTR | VT_BYREF: s << "bstr&:" << fw::WideToUtf8(*v.pbstrVal); break;
    case VT_VARIANT | VT_BYREF:
      s << "variant&:";
      if (v.pvarVal->vt == VT_ERROR && v.pvarVal->scode == DISP_E_PARAMNOTFOUND)
        s << "omitted";
      else
        s << "vt" << v.pvarVal->vt;
      break;
    case VT_DISPATCH: {
      // The double's objects answer a "Name" request with their own name.
      s << "dispatch";
      break;
    }
    default: s << "vt" << v.vt;
  }
  return s.str();
}

class TFake : public TDispatchObject {
 public:
  TFake(std::string name, TLog& log) : name_(std::move(name)), log_(log) { ++log_.LiveObjects; }
  virtual ~TFake() { --log_.LiveObjects; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count != 1) return E_INVALIDARG;
    const std::string member = fw::WideToUtf8(names[0]);
    for (size_t i = 0; i < members_.size(); ++i)
      if (members_[i] == member) {
        ids[0] = DISPID(i + 1);
        return S_OK;
      }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info,
                                   UINT*) override {
    const std::string member = members_.at(size_t(id - 1));
    std::string kind = flags == (DISPATCH_METHOD | DISPATCH_PROPERTYGET) ? "call"
                       : flags == DISPATCH_PROPERTYGET                   ? "get"
                       : flags == DISPATCH_PROPERTYPUT                   ? "put"
                                                                         : "flags" + std::to_string(flags);
    if (flags == DISPATCH_PROPERTYPUT && !(p->cNamedArgs == 1 && p->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT))
      kind += "(unnamed)";
    if (member == log_.RejectMember && log_.Rejections > 0) {
      --log_.Rejections;
      return RPC_E_CALL_REJECTED;
    }
    std::string line = name_ + "." + member + " " + kind;
    for (UINT i = p->cArgs; i-- > 0;) line += " " + Describe(p->rgvarg[i]);  // natural order
    const int index = int(log_.Calls.size());
    log_.Calls.push_back(line);
    if (index == log_.FailAt) {
      info->bstrDescription = ::SysAllocString(kRefusal);  // the server's own words, in Arabic
      info->scode = E_FAIL;
      return DISP_E_EXCEPTION;
    }
    if (result) ::VariantInit(result);
    return Answer(member, p, result);
  }

 protected:
  virtual HRESULT Answer(const std::string&, DISPPARAMS*, VARIANT*) { return S_OK; }
  HRESULT Object(VARIANT* result, TFake* o) {
    result->vt = VT_DISPATCH;
    result->pdispVal = o;
    o->AddRef();
    return S_OK;
  }
  std::string name_;
  TLog& log_;
  std::vector<std::string> members_;
};

class TSimple : public TFake {
 public:
  TSimple(std::string name, TLog& log, std::vector<std::string> members,
          std::map<std::string, std::string> children = {}, LONG row = 0, LONG col = 0)
      : TFake(std::move(name), log), row_(row), col_(col), children_(std::move(children)) {
    members_ = std::move(members);
  }
  LONG row_, col_;  // a cell's place; a block's first and last rows

 protected:
  HRESULT Answer(const std::string& member, DISPPARAMS* p, VARIANT* result) override;
  HRESULT Value(VARIANT* result);
  std::map<std::string, std::string> children_;
};

TFake* MakeObject(const std::string& name, TLog& log, LONG row = 0, LONG col = 0);

LONG ArgLong(const VARIANT& v) { return v.vt == VT_I4 ? v.lVal : 0; }

HRESULT TSimple::Value(VARIANT* result) {
  if (log_.SingleValue) {
    result->vt = VT_R8;
    result->dblVal = 1;
    return S_OK;
  }
  const LONG rows = col_ - row_ + 1;  // a block keeps its first row in row_ and its last in col_
  SAFEARRAYBOUND bounds[2] = {{ULONG(rows), 1}, {ULONG(log_.N), 1}};
  SAFEARRAY* a = ::SafeArrayCreate(VT_VARIANT, 2, bounds);
  for (LONG i = 1; i <= rows; ++i)
    for (LONG j = 1; j <= log_.N; ++j) {
      const LONG sheetRow = row_ + i - 1;
      if (sheetRow > 3) continue;
      LONG index[2] = {i, j};
      ::SafeArrayPutElement(a, index, &log_.Values[size_t((sheetRow - 1) * log_.N + (j - 1))]);
    }
  log_.LargestFetch = std::max(log_.LargestFetch, size_t(rows) * size_t(log_.N));
  result->vt = VT_ARRAY | VT_VARIANT;
  result->parray = a;
  return S_OK;
}

HRESULT TSimple::Answer(const std::string& member, DISPPARAMS* p, VARIANT* result) {
  if (name_ == "LastCell" && (member == "Row" || member == "Column")) {
    result->vt = VT_R8;  // the server answers with a double; the client converts it
    result->dblVal = member == "Row" ? log_.R : log_.N;
    return S_OK;
  }
  if (name_ == "Block" && member == "Value") return Value(result);
  if (name_ == "Sheet" && member == "Cells" && p->cArgs == 2)  // Cells(row, column), arguments reversed
    return Object(result, MakeObject("Cell", log_, ArgLong(p->rgvarg[1]), ArgLong(p->rgvarg[0])));
  if (name_ == "Sheet" && member == "Range" && p->cArgs == 2) {
    auto* from = dynamic_cast<TSimple*>(static_cast<TFake*>(p->rgvarg[1].pdispVal));
    auto* to = dynamic_cast<TSimple*>(static_cast<TFake*>(p->rgvarg[0].pdispVal));
    return Object(result, MakeObject("Block", log_, from ? from->row_ : 0, to ? to->row_ : 0));
  }
  auto it = children_.find(member);
  if (it == children_.end()) return S_OK;
  return Object(result, MakeObject(it->second, log_));
}

TFake* MakeObject(const std::string& name, TLog& log, LONG row, LONG col) {
  if (name == "Application")
    return new TSimple(name, log, {"Visible", "DisplayAlerts", "Workbooks", "Quit"}, {{"Workbooks", "Workbooks"}});
  if (name == "Workbooks") return new TSimple(name, log, {"Open"}, {{"Open", "Workbook"}});
  if (name == "Workbook") return new TSimple(name, log, {"Worksheets", "Close"}, {{"Worksheets", "Sheet"}});
  if (name == "Sheet") return new TSimple(name, log, {"Cells", "Range"}, {{"Cells", "SheetCells"}});
  if (name == "SheetCells") return new TSimple(name, log, {"SpecialCells"}, {{"SpecialCells", "LastCell"}});
  if (name == "LastCell") return new TSimple(name, log, {"Row", "Column"});
  if (name == "Cell") return new TSimple(name, log, {}, {}, row, col);
  return new TSimple(name, log, {"Value"}, {}, row, col);
}

VARIANT Number(double d) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = d;
  return v;
}
VARIANT Text(const wchar_t* s) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = ::SysAllocString(s);
  return v;
}
VARIANT Empty() {
  VARIANT v;
  ::VariantInit(&v);
  return v;
}
VARIANT Error() {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_ERROR;
  v.scode = 0x800A07FA;
  return v;
}

class AutomationImport : public ::testing::Test {
 protected:
  void SetUp() override {
    // The heading and two rows of prices (last cell E3).
    log.Values = {Text(L"guid"), Text(L"salp"), Text(L"price1"), Text(L"salp2"), Text(L"price2"),
                  Text(L"K-1"),  Number(12.5),  Number(13),      Empty(),        Number(-3),
                  Text(L"K-2"),  Number(1e20),  Number(0.25),    Number(1),      Number(2)};
  }
  void TearDown() override {
    for (auto& v : log.Values) ::VariantClear(&v);
  }
  // Runs the import on a fresh double; the table starts as the window's, 30 x 1500.
  void Run(std::chrono::milliseconds bound = sheet::TSpreadsheetApplication::kBound) {
    sheet::TSpreadsheetApplication app(fw::TComPtr<IDispatch>::Share(MakeObject("Application", log)), bound);
    app.Import(table, "C:\\Program Files\\Common Files\\F26-3-2022.xlsx", ".");
  }
  TLog log;
  fw::TStringTable table{30, 1500};
};

const std::vector<std::string> kExpectedCalls = {
    "Application.Visible put bool:false",
    "Application.DisplayAlerts put bool:false",
    "Application.Workbooks get",
    // FileName, UpdateLinks 0, ReadOnly, three left out, IgnoreReadOnlyRecommended, two left out, Editable
    // false, Notify false, Converter left out, AddToMru false.
    "Workbooks.Open call bstr&:C:\\Program Files\\Common Files\\F26-3-2022.xlsx i4:0 bool:true omitted omitted "
    "omitted bool:true omitted omitted bool:false bool:false omitted bool:false",
    "Workbook.Worksheets get i4:1",
    "Sheet.Cells get",
    "SheetCells.SpecialCells call i4:11 variant&:omitted",
    "LastCell.Row get",
    "LastCell.Column get",
    "Sheet.Cells get i4:1 i4:1",
    "Sheet.Cells get i4:3 i4:5",
    "Sheet.Range get dispatch dispatch",
    "Block.Value get",
    "Workbook.Close call bool:false",
    "Application.Quit call",
};

}  // namespace

TEST_F(AutomationImport, AlertsOffBeforeOpenReadOnlyWithoutLinksClosedUnsavedBeforeQuit) {
  Run();
  EXPECT_EQ(log.Calls, kExpectedCalls);
  EXPECT_EQ(log.LiveObjects, 0) << "every reference released";
  EXPECT_EQ(table.ColCount(), 5);
  EXPECT_EQ(table.RowCount(), 5);  // R + 2
  EXPECT_EQ(table.Cell(0, 0), "guid");
  EXPECT_EQ(table.Cell(1, 1), "12.5");
  EXPECT_EQ(table.Cell(2, 1), "13");
  EXPECT_EQ(table.Cell(3, 1), "");
  EXPECT_EQ(table.Cell(4, 1), "-3");
  EXPECT_EQ(table.Cell(1, 2), "1E20");
  EXPECT_EQ(table.Cell(0, 3), "");
}

TEST_F(AutomationImport, TheWorkbookIsClosedUnsavedAndTheApplicationQuitAfterAFailureOfAnyStep) {
  for (int fail = 0; fail + 2 < int(kExpectedCalls.size()); ++fail) {
    SCOPED_TRACE(kExpectedCalls[size_t(fail)]);
    log.Calls.clear();
    log.FailAt = fail;
    try {
      Run();
      ADD_FAILURE() << "no error";
    } catch (const sheet::EAutomationError& e) {
      EXPECT_NE(std::string(e.what()).find(kRefusalUtf8), std::string::npos) << "one conversion from UTF-16: " << e.what();
    }
    const bool opened = fail > 3;
    ASSERT_EQ(log.Calls.size(), size_t(fail) + (opened ? 3 : 2));
    if (opened) {
      EXPECT_EQ(log.Calls[log.Calls.size() - 2], "Workbook.Close call bool:false");
    }
    EXPECT_EQ(log.Calls.back(), "Application.Quit call");
    EXPECT_EQ(log.LiveObjects, 0);
  }
}

TEST_F(AutomationImport, ACallTheBusyServerRejectsIsTriedAgainUntilTheBound) {
  log.RejectMember = "Open";
  log.Rejections = 3;
  Run();
  EXPECT_EQ(log.Calls, kExpectedCalls) << "the rejected calls went through in the end";

  log.Calls.clear();
  log.Rejections = 1000;
  try {
    Run(std::chrono::milliseconds(700));
    ADD_FAILURE() << "no error";
  } catch (const sheet::EAutomationError& e) {
    EXPECT_EQ(e.Code, RPC_E_CALL_REJECTED) << e.what();
  }
  EXPECT_GT(log.Rejections, 990) << "given up once the bound had passed";
  EXPECT_EQ(log.Calls.back(), "Application.Quit call");
}

TEST_F(AutomationImport, ALastCellFarBelowTheDataIsReadInSlicesOfBoundedSize) {
  log.R = 1048576;
  Run();
  EXPECT_EQ(table.RowCount(), 1048576 + 2);
  EXPECT_EQ(table.Cell(1, 1), "12.5");
  EXPECT_EQ(table.Cell(0, 2), "K-2");
  EXPECT_EQ(table.Cell(0, 3), "");
  EXPECT_LE(log.LargestFetch, size_t(sheet::TSpreadsheetApplication::kCellsPerFetch));
  EXPECT_GT(std::count(log.Calls.begin(), log.Calls.end(), "Block.Value get"), 4);
}

TEST_F(AutomationImport, AOneCellBlockIsNoArrayAndFails) {
  log.SingleValue = true;
  log.R = 1;
  log.N = 1;
  EXPECT_THROW(Run(), sheet::EValueConversion);
  EXPECT_EQ(log.Calls.back(), "Application.Quit call");
  EXPECT_EQ(table.RowCount(), 1);  // the counts were set before the block was read
  EXPECT_EQ(table.ColCount(), 1);
}

TEST_F(AutomationImport, AnErrorValueHasNoTextAndFailsAfterQuit) {
  ::VariantClear(&log.Values[8]);
  log.Values[8] = Error();  // D2 holds #N/A
  EXPECT_THROW(Run(), sheet::EValueConversion);
  EXPECT_EQ(log.Calls.back(), "Application.Quit call");
  EXPECT_EQ(table.Cell(2, 1), "13");  // copied before the error
  EXPECT_EQ(table.Cell(4, 1), "");
  EXPECT_EQ(log.LiveObjects, 0);
}

TEST_F(AutomationImport, AFailedQuitIsReportedWhenAllElseWorked) {
  log.FailAt = int(kExpectedCalls.size()) - 1;
  EXPECT_THROW(Run(), sheet::EAutomationError);
  EXPECT_EQ(table.RowCount(), 5);
}

TEST(SpreadsheetApplication, IsNotRegisteredHere) {
  // Nothing registers "Excel.Application" in the test prefix: ReadWorkbook takes the built-in reader.
  EXPECT_FALSE(sheet::TSpreadsheetApplication::Start());
}
