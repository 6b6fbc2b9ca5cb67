// The automation client against an in-process double of the spreadsheet
// application's object model. The real automation server cannot be installed
// on these machines (it is a commercial Windows program), so the double stands
// in for it: it records every late-bound call with its member name, kind and
// arguments, and can fail any one call to show that Quit still follows.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/core/text.h"
#include "framework/win/sysutils.h"
#include "spreadsheet/win/automation_import.h"
#include "spreadsheet/win/late_bound.h"

namespace {

struct TLog {
  std::vector<std::string> Calls;
  int FailAt = -1;  // the index of the call to refuse
  int LiveObjects = 0;
  LONG R = 3, N = 5;
  bool SingleValue = false;
  std::vector<VARIANT> Values;  // row-major R x N, owned by the test
};

std::string Describe(const VARIANT& v) {
  std::ostringstream s;
  switch (v.vt) {
    case VT_BOOL: s << "bool:" << (v.boolVal ? "true" : "false"); break;
    case VT_I4: s << "i4:" << v.lVal; break;
    case VT_I4 | VT_BYREF: s << "i4&:" << *v.plVal; break;
    case VT_BSTR: s << "bstr:" << fw::WideToUtf8(v.bstrVal); break;
    case VT_BSTR | VT_BYREF: s << "bstr&:" << fw::WideToUtf8(*v.pbstrVal); break;
    case VT_VARIANT | VT_BYREF:
      s << "variant&:";
      if (v.pvarVal->vt == VT_ERROR && v.pvarVal->scode == DISP_E_PARAMNOTFOUND) s << "omitted";
      else s << "vt" << v.pvarVal->vt;
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

class TFake : public IDispatch {
 public:
  TFake(std::string name, TLog& log) : name_(std::move(name)), log_(log) { ++log_.LiveObjects; }
  virtual ~TFake() { --log_.LiveObjects; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
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
    std::string line = name_ + "." + member + " " + kind;
    for (UINT i = p->cArgs; i-- > 0;) line += " " + Describe(p->rgvarg[i]);  // natural order
    const int index = int(log_.Calls.size());
    log_.Calls.push_back(line);
    if (index == log_.FailAt) {
      info->bstrDescription = ::SysAllocString(L"refused by the double");
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
  ULONG refs_ = 0;
};

class TSimple : public TFake {
 public:
  TSimple(std::string name, TLog& log, std::vector<std::string> members,
          std::map<std::string, std::string> children = {})
      : TFake(std::move(name), log), children_(std::move(children)) {
    members_ = std::move(members);
  }

 protected:
  HRESULT Answer(const std::string& member, DISPPARAMS* p, VARIANT* result) override;
  std::map<std::string, std::string> children_;
};

TFake* MakeObject(const std::string& name, TLog& log);

HRESULT TSimple::Answer(const std::string& member, DISPPARAMS* p, VARIANT* result) {
  if (name_ == "ActiveCell" && (member == "Row" || member == "Column")) {
    result->vt = VT_R8;  // the server answers with a double; the client converts it
    result->dblVal = member == "Row" ? log_.R : log_.N;
    return S_OK;
  }
  if (name_ == "Block" && member == "Value") {
    if (log_.SingleValue) {
      result->vt = VT_R8;
      result->dblVal = 1;
      return S_OK;
    }
    SAFEARRAYBOUND bounds[2] = {{ULONG(log_.R), 1}, {ULONG(log_.N), 1}};
    SAFEARRAY* a = ::SafeArrayCreate(VT_VARIANT, 2, bounds);
    for (LONG i = 1; i <= log_.R; ++i)
      for (LONG j = 1; j <= log_.N; ++j) {
        LONG index[2] = {i, j};
        ::SafeArrayPutElement(a, index, &log_.Values[size_t((i - 1) * log_.N + (j - 1))]);
      }
    result->vt = VT_ARRAY | VT_VARIANT;
    result->parray = a;
    return S_OK;
  }
  std::string key = member;
  if (name_ == "Application" && member == "Workbooks" && p->cArgs == 1) key = "Workbooks(1)";
  auto it = children_.find(key);
  if (it == children_.end()) return S_OK;
  return Object(result, MakeObject(it->second, log_));
}

TFake* MakeObject(const std::string& name, TLog& log) {
  if (name == "Application")
    return new TSimple(name, log, {"Visible", "Workbooks", "ActiveCell", "Cells", "Range", "Quit"},
                       {{"Workbooks", "Workbooks"}, {"Workbooks(1)", "Workbook"}, {"ActiveCell", "ActiveCell"},
                        {"Cells", "AppCells"}, {"Range", "Block"}});
  if (name == "Workbooks") return new TSimple(name, log, {"Open"});
  if (name == "Workbook") return new TSimple(name, log, {"WorkSheets"}, {{"WorkSheets", "Sheet"}});
  if (name == "Sheet") return new TSimple(name, log, {"Cells"}, {{"Cells", "SheetCells"}});
  if (name == "SheetCells") return new TSimple(name, log, {"SpecialCells"}, {{"SpecialCells", "LastCell"}});
  if (name == "LastCell") return new TSimple(name, log, {"Activate"});
  if (name == "ActiveCell") return new TSimple(name, log, {"Row", "Column"});
  if (name == "AppCells") return new TSimple(name, log, {"Item"}, {{"Item", "Corner"}});
  if (name == "Corner") return new TSimple(name, log, {});
  return new TSimple(name, log, {"Value"});
}

VARIANT Number(double d) { VARIANT v; ::VariantInit(&v); v.vt = VT_R8; v.dblVal = d; return v; }
VARIANT Text(const wchar_t* s) { VARIANT v; ::VariantInit(&v); v.vt = VT_BSTR; v.bstrVal = ::SysAllocString(s); return v; }
VARIANT Empty() { VARIANT v; ::VariantInit(&v); return v; }
VARIANT Error() { VARIANT v; ::VariantInit(&v); v.vt = VT_ERROR; v.scode = 0x800A07FA; return v; }

class AutomationImport : public ::testing::Test {
 protected:
  void SetUp() override {
    // The heading and two rows of prices (last cell E3).
    log.Values = {Text(L"guid"), Text(L"salp"), Text(L"price1"), Text(L"salp2"), Text(L"price2"),
                  Text(L"K-1"),  Number(12.5),  Number(13),      Empty(),         Number(-3),
                  Text(L"K-2"),  Number(1e20),  Number(0.25),    Number(1),       Number(2)};
  }
  void TearDown() override {
    for (auto& v : log.Values) ::VariantClear(&v);
  }
  // Runs the import on a fresh double; the table starts as the window's, 30 x 1500.
  void Run() {
    fw::TComPtr<IDispatch> app = fw::TComPtr<IDispatch>::Share(MakeObject("Application", log));
    sheet::ImportThroughAutomation(std::move(app), table, "C:\\Program Files\\Common Files\\F26-3-2022.xlsx", ".");
  }
  TLog log;
  fw::TStringTable table{30, 1500};
};

const std::vector<std::string> kExpectedCalls = {
    "Application.Visible put bool:false",
    "Application.Workbooks call",
    "Workbooks.Open call bstr&:C:\\Program Files\\Common Files\\F26-3-2022.xlsx",
    "Application.Workbooks get i4:1",
    "Workbook.WorkSheets get i4:1",
    "Sheet.Cells call",
    "SheetCells.SpecialCells call i4:11 variant&:omitted",
    "LastCell.Activate call",
    "Application.ActiveCell call",
    "ActiveCell.Row call",
    "Application.ActiveCell call",
    "ActiveCell.Column call",
    "Application.Cells call",
    "AppCells.Item get i4&:3 i4&:5",
    "Application.Range get bstr:A1 dispatch",
    "Block.Value call",
    "Application.Quit call",
};

}  // namespace

TEST_F(AutomationImport, CallsEveryMemberByNameInOrderAndCopiesTheBlock) {
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

TEST_F(AutomationImport, QuitFollowsAFailureOfAnyLaterStep) {
  for (int fail = 0; fail + 1 < int(kExpectedCalls.size()); ++fail) {
    SCOPED_TRACE(kExpectedCalls[size_t(fail)]);
    log.Calls.clear();
    log.FailAt = fail;
    try {
      Run();
      ADD_FAILURE() << "no error";
    } catch (const sheet::EAutomationError& e) {
      EXPECT_NE(std::string(e.what()).find("refused by the double"), std::string::npos) << e.what();
    }
    ASSERT_EQ(log.Calls.size(), size_t(fail) + 2);
    EXPECT_EQ(log.Calls.back(), "Application.Quit call");
    EXPECT_EQ(log.LiveObjects, 0);
  }
}

TEST_F(AutomationImport, AOneCellBlockIsNoArrayAndFails) {
  log.SingleValue = true;
  log.R = 1;
  log.N = 1;
  EXPECT_THROW(Run(), sheet::EAutomationError);
  EXPECT_EQ(log.Calls.back(), "Application.Quit call");
  EXPECT_EQ(table.RowCount(), 1);  // the counts were set before the block was read
  EXPECT_EQ(table.ColCount(), 1);
}

TEST_F(AutomationImport, AnErrorValueHasNoTextAndFailsAfterQuit) {
  ::VariantClear(&log.Values[8]);
  log.Values[8] = Error();  // D2 holds #N/A
  EXPECT_ANY_THROW(Run());
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
  EXPECT_FALSE(sheet::CreateSpreadsheetApplication());
}
