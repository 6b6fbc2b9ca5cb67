// An out-of-process stand-in for the spreadsheet application's automation
// server, registered in the test bench's Wine prefix as "Excel.Application"
// (LocalServer32): COM starts it in a process of its own, as it starts the
// real one, and the program reaches it through marshalled IDispatch calls.
//
// It behaves as the real server's documentation says it does, where the
// program has to cope:
// - Workbooks.Open: "If this argument is omitted [UpdateLinks], the user is
//   prompted to specify how links will be updated" (Workbooks.Open method,
//   Excel VBA reference); a file it cannot read brings a repair prompt while
//   alerts are shown. The server is hidden, so a prompt is a wait for ever.
// - Application.Quit: "If unsaved workbooks are open when you use this
//   method, Microsoft Excel displays a dialog box asking whether you want to
//   save the changes. You can prevent this by saving all workbooks before
//   using the Quit method or by setting the DisplayAlerts property to False"
//   (Application.Quit method). A workbook with volatile formulas is unsaved
//   as soon as it is opened; Workbook.Close without SaveChanges prompts too.
// - A busy server rejects incoming calls: its message filter answers
//   SERVERCALL_RETRYLATER (IMessageFilter::HandleInComingCall), and a caller
//   without a filter of its own gets RPC_E_CALL_REJECTED. Where Wine does not
//   consult the server's filter, the call itself answers RPC_E_CALL_REJECTED.
// - Range.Activate fails unless the range's sheet is the active one
//   ("Activate method of Range class failed", error 1004).
// - Range.Value gives, per cell, VT_R8, VT_CY (currency formats), VT_DATE
//   (date formats), VT_BOOL, VT_BSTR and VT_ERROR (CVErr: 0x800A07D0 + the
//   error's number) (Range.Value property; "Cell error values").
// - The last cell (Range.SpecialCells(xlCellTypeLastCell = 11)) is the corner
//   of the area ever used, formatting included: it may lie in row 1 048 576.
//
// Its values come from the workbook it is asked to open, read with the
// program's own built-in reader. What it does is chosen per test by the file
// C:\naveko-double\behaviour.txt, one word per line:
//   reject SECONDS   rejects every call for SECONDS after it starts
//   links            the workbook has links to other workbooks
//   volatile         the workbook holds volatile formulas: unsaved once opened
//   other-sheet      the workbook was saved with its second sheet active
//   far-last-cell    the sheet was once formatted down to row 1 048 576
//   crash MEMBER     the process ends in the middle of a call of MEMBER
//   prompt-open      Open always brings a dialog (a password, a repair)
//   add NUMBER       every number it gives is NUMBER more than the file's
// It appends every call it answers to C:\naveko-double\calls.log.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/text.h"
#include "tests/spreadsheet/win/dispatch_object.h"
#include "spreadsheet/core/cell_value.h"
#include "spreadsheet/core/xlsx_reader.h"

namespace {

// {B355F6E1-5630-492D-9EA8-E6D154585A40}
const CLSID kClsid = {0xb355f6e1, 0x5630, 0x492d, {0x9e, 0xa8, 0xe6, 0xd1, 0x54, 0x58, 0x5a, 0x40}};
const wchar_t kFolder[] = L"C:\\naveko-double";
const HRESULT kExcelError = HRESULT(0x800A03EC);  // the application's own run-time error (1004)

std::string Ansi(const std::wstring& w) {
  const int n = ::WideCharToMultiByte(CP_ACP, 0, w.c_str(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w.c_str(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

struct TBehaviour {
  double RejectSeconds = 0;
  bool Links = false, Volatile = false, OtherSheet = false, FarLastCell = false, PromptOpen = false;
  std::string CrashIn;
  double Add = 0;
};
TBehaviour gBehaviour;
DWORD gStart = 0;
int gLiveObjects = 0;
bool gQuitting = false;
HWND gWindow = nullptr;

void Log(const std::string& line) {
  const std::wstring path = std::wstring(kFolder) + L"\\calls.log";
  if (FILE* f = _wfopen(path.c_str(), L"ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    if (std::getenv("NAVEKO_DOUBLE_TIMES")) std::fprintf(f, "  at %lu\n", ::GetTickCount());
    std::fclose(f);
  }
}

void ReadBehaviour() {
  const std::wstring path = std::wstring(kFolder) + L"\\behaviour.txt";
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return;
  char word[64], arg[256];
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    arg[0] = 0;
    if (std::sscanf(line, "%63s %255s", word, arg) < 1) continue;
    const std::string w = word;
    if (w == "reject") gBehaviour.RejectSeconds = std::atof(arg);
    if (w == "links") gBehaviour.Links = true;
    if (w == "volatile") gBehaviour.Volatile = true;
    if (w == "other-sheet") gBehaviour.OtherSheet = true;
    if (w == "far-last-cell") gBehaviour.FarLastCell = true;
    if (w == "prompt-open") gBehaviour.PromptOpen = true;
    if (w == "crash") gBehaviour.CrashIn = arg;
    if (w == "add") gBehaviour.Add = std::atof(arg);
  }
  std::fclose(f);
}

bool Rejecting() { return gBehaviour.RejectSeconds > 0 && ::GetTickCount() - gStart < gBehaviour.RejectSeconds * 1000; }

// A prompt of a hidden server: nobody can answer it.
[[noreturn]] void WaitForAnAnswerThatNeverComes(const std::string& prompt) {
  Log("prompt " + prompt);
  for (;;) ::Sleep(1000);
}

std::string Describe(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY: return "empty";
    case VT_BOOL: return v.boolVal ? "true" : "false";
    case VT_I4: return std::to_string(v.lVal);
    case VT_I2: return std::to_string(v.iVal);
    case VT_R8: return std::to_string(v.dblVal);
    case VT_BSTR: return "'" + fw::WideToUtf8(v.bstrVal ? v.bstrVal : L"") + "'";
    case VT_ERROR: return v.scode == DISP_E_PARAMNOTFOUND ? "omitted" : "error";
    case VT_DISPATCH: return "object";
    default:
      if (v.vt & VT_BYREF) {
        if ((v.vt & VT_TYPEMASK) == VT_VARIANT) return Describe(*v.pvarVal);
        if ((v.vt & VT_TYPEMASK) == VT_BSTR) return "'" + fw::WideToUtf8(*v.pbstrVal ? *v.pbstrVal : L"") + "'";
        if ((v.vt & VT_TYPEMASK) == VT_I4) return std::to_string(*v.plVal);
      }
      return "vt" + std::to_string(v.vt);
  }
}

// The positional arguments of a call, in their natural order; a property's
// new value (the named argument DISPID_PROPERTYPUT) comes first.
class TArgs {
 public:
  explicit TArgs(DISPPARAMS* p) : p_(p) {}
  size_t Count() const { return p_->cArgs; }
  // Argument i, by value; an omitted one, or one past the end, is VT_ERROR/DISP_E_PARAMNOTFOUND.
  VARIANT At(size_t i) const {
    VARIANT out;
    ::VariantInit(&out);
    out.vt = VT_ERROR;
    out.scode = DISP_E_PARAMNOTFOUND;
    if (i >= Count()) return out;
    const VARIANT& v = p_->rgvarg[p_->cArgs - 1 - i];
    const VARIANT& plain = (v.vt == (VT_VARIANT | VT_BYREF)) ? *v.pvarVal : v;
    ::VariantCopyInd(&out, const_cast<VARIANT*>(&plain));
    return out;
  }
  bool Omitted(size_t i) const {
    const VARIANT v = At(i);
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
  }
  long Long(size_t i) const {
    VARIANT v = At(i), n;
    ::VariantInit(&n);
    if (FAILED(::VariantChangeType(&n, &v, 0, VT_I4))) throw DISP_E_TYPEMISMATCH;
    ::VariantClear(&v);
    return n.lVal;
  }
  std::wstring Text(size_t i) const {
    VARIANT v = At(i), s;
    ::VariantInit(&s);
    if (FAILED(::VariantChangeType(&s, &v, 0, VT_BSTR))) throw DISP_E_TYPEMISMATCH;
    std::wstring out(s.bstrVal, ::SysStringLen(s.bstrVal));
    ::VariantClear(&s);
    ::VariantClear(&v);
    return out;
  }
  std::string Line() const {
    std::string out;
    for (size_t i = 0; i < Count(); ++i) {
      VARIANT v = At(i);
      out += " " + Describe(v);
      ::VariantClear(&v);
    }
    return out;
  }

 private:
  DISPPARAMS* p_;
};

struct TFault {
  HRESULT Code;
  std::wstring Text;
};

// An object of the server's model: members called by name, as late binding does.
class TObject : public TDispatchObject {
 public:
  using THandler = std::function<void(WORD flags, const TArgs& args, VARIANT* result)>;

  explicit TObject(std::string name) : name_(std::move(name)) { ++gLiveObjects; }
  virtual ~TObject() {
    if (--gLiveObjects == 0 && gQuitting) ::PostQuitMessage(0);
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (Rejecting()) return RPC_E_CALL_REJECTED;
    for (UINT n = 0; n < count; ++n) ids[n] = DISPID_UNKNOWN;
    const std::string wanted = fw::WideToUtf8(names[0]);
    for (size_t i = 0; i < members_.size(); ++i)
      if (_stricmp(members_[i].first.c_str(), wanted.c_str()) == 0) {
        ids[0] = DISPID(i + 1);
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
      }
    Log("unknown " + name_ + "." + wanted);
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    if (Rejecting()) {
      Log("rejected " + name_);
      return RPC_E_CALL_REJECTED;
    }
    if (id < 1 || size_t(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    const auto& [member, handler] = members_[size_t(id - 1)];
    const TArgs args(params);
    Log(name_ + "." + member + (flags & DISPATCH_PROPERTYPUT ? " put" : "") + args.Line());
    if (member == gBehaviour.CrashIn) {
      Log("crash in " + member);
      ::ExitProcess(3);
    }
    if (result) ::VariantInit(result);
    try {
      handler(flags, args, result);
      return S_OK;
    } catch (const TFault& f) {
      if (info) {
        *info = EXCEPINFO{};
        info->bstrSource = ::SysAllocString(L"Microsoft Excel");
        info->bstrDescription = ::SysAllocString(f.Text.c_str());
        info->scode = f.Code;
      }
      return DISP_E_EXCEPTION;
    } catch (HRESULT hr) {
      return hr;
    }
  }

  // A member of this object called from inside the server.
  void Call(const std::string& member, WORD flags, const TArgs& args, VARIANT* result) {
    for (const auto& [name, handler] : members_)
      if (name == member) return handler(flags, args, result);
  }

 protected:
  void Member(std::string name, THandler h) { members_.emplace_back(std::move(name), std::move(h)); }
  static void Object(VARIANT* result, TObject* o) {
    o->AddRef();
    if (!result) {
      o->Release();
      return;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = o;
  }
  static void Long(VARIANT* result, long n) {
    if (!result) return;
    result->vt = VT_I4;
    result->lVal = n;
  }
  static void Bool(VARIANT* result, bool b) {
    if (!result) return;
    result->vt = VT_BOOL;
    result->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  }

 private:
  std::string name_;
  std::vector<std::pair<std::string, THandler>> members_;
};

class TApplication;
class TWorkbook;

// A sheet of the open workbook; only the first holds the file's values.
struct TSheetData {
  int Index = 1;
  std::shared_ptr<const sheet::TValueBlock> Block;  // null for a sheet without values
};

class TRange : public TObject {
 public:
  TRange(TApplication& app, TSheetData sheet, long top, long left, long bottom, long right);

 private:
  VARIANT ValueAt(long row, long col) const;
  TApplication& app_;
  TSheetData sheet_;
  long top_, left_, bottom_, right_;
};

class TWorksheet : public TObject {
 public:
  TWorksheet(TApplication& app, TSheetData sheet);
};

class TWorkbook : public TObject {
 public:
  TWorkbook(TApplication& app, std::wstring path, std::shared_ptr<const sheet::TValueBlock> block);
  bool Saved = true;
  bool Open = true;

 private:
  TApplication& app_;
  std::shared_ptr<const sheet::TValueBlock> block_;
};

class TWorkbooks : public TObject {
 public:
  explicit TWorkbooks(TApplication& app);
};

class TApplication : public TObject {
 public:
  TApplication();
  ~TApplication() override;
  bool DisplayAlerts = true;
  int ActiveSheet = 1;
  std::vector<TWorkbook*> Books;  // held by the application too
  long ActiveRow = 1, ActiveCol = 1;
  std::shared_ptr<const sheet::TValueBlock> Block() const { return Books.empty() ? nullptr : first_; }
  void Opened(TWorkbook* book, std::shared_ptr<const sheet::TValueBlock> block) {
    book->AddRef();
    Books.push_back(book);
    first_ = std::move(block);
  }
  TSheetData Active() const { return {ActiveSheet, ActiveSheet == 1 ? first_ : nullptr}; }

 private:
  std::shared_ptr<const sheet::TValueBlock> first_;
};

long LastRowOf(const TSheetData& s) {
  if (!s.Block) return 1;
  return gBehaviour.FarLastCell ? 1048576 : s.Block->R;
}
long LastColOf(const TSheetData& s) { return s.Block ? s.Block->N : 1; }

TRange::TRange(TApplication& app, TSheetData sheet, long top, long left, long bottom, long right)
    : TObject("Range"), app_(app), sheet_(std::move(sheet)), top_(top), left_(left), bottom_(bottom), right_(right) {
  Member("SpecialCells", [this](WORD, const TArgs& a, VARIANT* r) {
    if (a.Long(0) != 11) throw TFault{kExcelError, L"No cells were found."};
    const long row = LastRowOf(sheet_), col = LastColOf(sheet_);
    Object(r, new TRange(app_, sheet_, row, col, row, col));
  });
  Member("Activate", [this](WORD, const TArgs&, VARIANT* r) {
    if (sheet_.Index != app_.ActiveSheet) throw TFault{kExcelError, L"Activate method of Range class failed"};
    app_.ActiveRow = top_;
    app_.ActiveCol = left_;
    Bool(r, true);
  });
  Member("Row", [this](WORD, const TArgs&, VARIANT* r) { Long(r, top_); });
  Member("Column", [this](WORD, const TArgs&, VARIANT* r) { Long(r, left_); });
  auto item = [this](WORD, const TArgs& a, VARIANT* r) {
    const long row = top_ + a.Long(0) - 1, col = left_ + (a.Count() > 1 ? a.Long(1) : 1) - 1;
    Object(r, new TRange(app_, sheet_, row, col, row, col));
  };
  Member("Item", item);
  Member("Cells", [this, item](WORD f, const TArgs& a, VARIANT* r) {
    if (a.Count() == 0) return Object(r, this);
    item(f, a, r);
  });
  Member("Value", [this](WORD flags, const TArgs&, VARIANT* r) {
    if (flags & DISPATCH_PROPERTYPUT) throw TFault{kExcelError, L"The workbook is read-only"};
    if (!r) return;
    if (top_ == bottom_ && left_ == right_) {
      *r = ValueAt(top_, left_);
      return;
    }
    SAFEARRAYBOUND bounds[2] = {{ULONG(bottom_ - top_ + 1), 1}, {ULONG(right_ - left_ + 1), 1}};
    SAFEARRAY* array = ::SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!array) throw HRESULT(E_OUTOFMEMORY);
    for (long row = top_; row <= bottom_; ++row)
      for (long col = left_; col <= right_; ++col) {
        LONG index[2] = {row - top_ + 1, col - left_ + 1};
        VARIANT v = ValueAt(row, col);
        ::SafeArrayPutElement(array, index, &v);
        ::VariantClear(&v);
      }
    r->vt = VT_ARRAY | VT_VARIANT;
    r->parray = array;
  });
}

VARIANT TRange::ValueAt(long row, long col) const {
  VARIANT v;
  ::VariantInit(&v);
  if (!sheet_.Block || row > sheet_.Block->R || col > sheet_.Block->N) return v;
  const sheet::TCellValue c = sheet_.Block->At(int(row), int(col));
  switch (c.Kind) {
    case sheet::TCellKind::Empty: break;
    case sheet::TCellKind::Number:
      v.vt = VT_R8;
      v.dblVal = c.Number + gBehaviour.Add;
      break;
    case sheet::TCellKind::Currency:
      v.vt = VT_CY;
      ::VarCyFromR8(c.Number + gBehaviour.Add, &v.cyVal);
      break;
    case sheet::TCellKind::Date:
      v.vt = VT_DATE;
      v.date = c.Number;
      break;
    case sheet::TCellKind::Boolean:
      v.vt = VT_BOOL;
      v.boolVal = c.Number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case sheet::TCellKind::Text:
      v.vt = VT_BSTR;
      v.bstrVal = ::SysAllocString(fw::Utf8ToWide(c.Text).c_str());
      break;
    case sheet::TCellKind::Error: {
      // CVErr: xlErrNull 2000, Div0 2007, Value 2015, Ref 2023, Name 2029, Num 2036, NA 2042.
      static const std::map<std::string, long> kErrors = {{"#NULL!", 2000}, {"#DIV/0!", 2007}, {"#VALUE!", 2015},
                                                          {"#REF!", 2023},  {"#NAME?", 2029},  {"#NUM!", 2036},
                                                          {"#N/A", 2042}};
      const auto it = kErrors.find(c.Text);
      v.vt = VT_ERROR;
      v.scode = 0x800A0000 | (it == kErrors.end() ? 2042 : it->second);
      break;
    }
  }
  return v;
}

TWorksheet::TWorksheet(TApplication& app, TSheetData sheet) : TObject("Worksheet") {
  Member("Cells", [&app, sheet](WORD, const TArgs& a, VARIANT* r) {
    auto* all = new TRange(app, sheet, 1, 1, 1048576, 16384);
    if (a.Count() == 0) return Object(r, all);
    const long row = a.Long(0), col = a.Count() > 1 ? a.Long(1) : 1;
    delete all;
    Object(r, new TRange(app, sheet, row, col, row, col));
  });
  Member("Range", [&app, sheet](WORD, const TArgs& a, VARIANT* r) {
    // Range(cell1, cell2) by two cells' objects, or "A1"-style text and a cell.
    long top = 1, left = 1, bottom = 1, right = 1;
    for (size_t i = 0; i < a.Count() && i < 2; ++i) {
      VARIANT v = a.At(i);
      long row = 1, col = 1;
      if (v.vt == VT_BSTR) {
        const std::wstring t(v.bstrVal);
        col = 0;
        size_t k = 0;
        while (k < t.size() && iswalpha(t[k])) col = col * 26 + (towupper(t[k++]) - L'A' + 1);
        row = std::wcstol(t.c_str() + k, nullptr, 10);
      } else if (v.vt == VT_DISPATCH && v.pdispVal) {
        VARIANT out;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        DISPID idRow = 0, idCol = 0;
        LPOLESTR rowName = const_cast<LPOLESTR>(L"Row"), colName = const_cast<LPOLESTR>(L"Column");
        v.pdispVal->GetIDsOfNames(IID_NULL, &rowName, 1, 0, &idRow);
        v.pdispVal->GetIDsOfNames(IID_NULL, &colName, 1, 0, &idCol);
        v.pdispVal->Invoke(idRow, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &out, nullptr, nullptr);
        row = out.lVal;
        v.pdispVal->Invoke(idCol, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &out, nullptr, nullptr);
        col = out.lVal;
      }
      ::VariantClear(&v);
      if (i == 0) {
        top = bottom = row;
        left = right = col;
      } else {
        bottom = row;
        right = col;
      }
    }
    Object(r, new TRange(app, sheet, top, left, bottom, right));
  });
  Member("Activate", [&app, sheet](WORD, const TArgs&, VARIANT*) { app.ActiveSheet = sheet.Index; });
  Member("Index", [sheet](WORD, const TArgs&, VARIANT* r) { Long(r, sheet.Index); });
}

TWorkbook::TWorkbook(TApplication& app, std::wstring, std::shared_ptr<const sheet::TValueBlock> block)
    : TObject("Workbook"), app_(app), block_(std::move(block)) {
  Saved = !gBehaviour.Volatile;
  auto sheetAt = [this](WORD, const TArgs& a, VARIANT* r) {
    const long index = a.Count() ? a.Long(0) : 1;
    if (index < 1 || index > 2) throw TFault{DISP_E_BADINDEX, L"Subscript out of range"};
    Object(r, new TWorksheet(app_, {int(index), index == 1 ? block_ : nullptr}));
  };
  Member("Worksheets", sheetAt);
  Member("Sheets", sheetAt);
  Member("Saved", [this](WORD flags, const TArgs& a, VARIANT* r) {
    if (flags & DISPATCH_PROPERTYPUT) Saved = a.Long(0) != 0;
    Bool(r, Saved);
  });
  // Close(SaveChanges, Filename, RouteWorkbook)
  Member("Close", [this](WORD, const TArgs& a, VARIANT*) {
    if (a.Omitted(0) && !Saved && app_.DisplayAlerts) WaitForAnAnswerThatNeverComes("save the changes?");
    Open = false;
  });
}

TWorkbooks::TWorkbooks(TApplication& app) : TObject("Workbooks") {
  // Open(FileName, UpdateLinks, ReadOnly, Format, Password, WriteResPassword,
  //      IgnoreReadOnlyRecommended, Origin, Delimiter, Editable, Notify, Converter, AddToMru, Local, CorruptLoad)
  Member("Open", [&app](WORD, const TArgs& a, VARIANT* r) {
    const std::wstring path = a.Text(0);
    if (gBehaviour.PromptOpen) WaitForAnAnswerThatNeverComes("the workbook's password?");
    std::shared_ptr<const sheet::TValueBlock> block;
    try {
      block = std::make_shared<const sheet::TValueBlock>(sheet::ReadFirstSheetFromFile(Ansi(path)));
    } catch (const std::exception& e) {
      if (app.DisplayAlerts) WaitForAnAnswerThatNeverComes("repair the workbook?");
      throw TFault{kExcelError, L"The file is corrupt and cannot be opened."};
    }
    if (gBehaviour.Links && (a.Omitted(1) || a.Long(1) != 0)) WaitForAnAnswerThatNeverComes("update the links?");
    auto* book = new TWorkbook(app, path, block);
    app.Opened(book, block);
    if (gBehaviour.OtherSheet) app.ActiveSheet = 2;
    Object(r, book);
  });
  auto item = [&app](WORD, const TArgs& a, VARIANT* r) {
    const long index = a.Long(0);
    if (index < 1 || size_t(index) > app.Books.size()) throw TFault{DISP_E_BADINDEX, L"Subscript out of range"};
    Object(r, app.Books[size_t(index - 1)]);
  };
  Member("Item", item);
  Member("Count", [&app](WORD, const TArgs&, VARIANT* r) { Long(r, long(app.Books.size())); });
}

TApplication::TApplication() : TObject("Application") {
  Member("Visible", [](WORD, const TArgs&, VARIANT* r) { Bool(r, false); });
  Member("DisplayAlerts", [this](WORD flags, const TArgs& a, VARIANT* r) {
    if (flags & DISPATCH_PROPERTYPUT) DisplayAlerts = a.Long(0) != 0;
    Bool(r, DisplayAlerts);
  });
  Member("Hwnd", [](WORD, const TArgs&, VARIANT* r) { Long(r, long(reinterpret_cast<LONG_PTR>(gWindow))); });
  // Workbooks, and Workbooks(i) as the default member's shorthand.
  Member("Workbooks", [this](WORD, const TArgs& a, VARIANT* r) {
    auto* books = new TWorkbooks(*this);
    if (a.Count() == 0) return Object(r, books);
    const long index = a.Long(0);
    delete books;
    if (index < 1 || size_t(index) > Books.size()) throw TFault{DISP_E_BADINDEX, L"Subscript out of range"};
    Object(r, Books[size_t(index - 1)]);
  });
  Member("ActiveCell", [this](WORD, const TArgs&, VARIANT* r) {
    Object(r, new TRange(*this, Active(), ActiveRow, ActiveCol, ActiveRow, ActiveCol));
  });
  Member("Cells",
         [this](WORD, const TArgs&, VARIANT* r) { Object(r, new TRange(*this, Active(), 1, 1, 1048576, 16384)); });
  // The active sheet's Range.
  Member("Range", [this](WORD f, const TArgs& a, VARIANT* r) { TWorksheet(*this, Active()).Call("Range", f, a, r); });
  Member("Quit", [this](WORD, const TArgs&, VARIANT*) {
    if (DisplayAlerts)
      for (TWorkbook* b : Books)
        if (b->Open && !b->Saved) WaitForAnAnswerThatNeverComes("save the changes before quitting?");
    gQuitting = true;
  });
}

TApplication::~TApplication() {
  for (TWorkbook* b : Books) b->Release();
  gQuitting = true;
}

class TFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    // One application per process, as the real server gives: the class goes
    // from the table at once, so the next program starts a process of its own.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
    auto* app = new TApplication();
    app->AddRef();
    const HRESULT hr = app->QueryInterface(riid, out);
    app->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// The server's own filter: a busy server answers SERVERCALL_RETRYLATER.
class TServerFilter : public IMessageFilter {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
      *out = static_cast<IMessageFilter*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    if (Rejecting()) {
      Log("retry later");
      return SERVERCALL_RETRYLATER;
    }
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return DWORD(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  gStart = ::GetTickCount();
  ::CreateDirectoryW(kFolder, nullptr);
  ReadBehaviour();
  Log("start " + std::to_string(::GetCurrentProcessId()));
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  // The main window the application's Hwnd names: hidden, as an automation server's is.
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"XLMAIN";
  ::RegisterClassW(&wc);
  gWindow = ::CreateWindowW(L"XLMAIN", L"Spreadsheet stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                            instance, nullptr);
  TServerFilter filter;
  IMessageFilter* old = nullptr;
  ::CoRegisterMessageFilter(&filter, &old);
  TFactory factory;
  DWORD cookie = 0;
  if (FAILED(::CoRegisterClassObject(kClsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie))) return 2;
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_APP && cookie) {
      ::CoRevokeClassObject(cookie);
      cookie = 0;
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (cookie) ::CoRevokeClassObject(cookie);
  ::CoRegisterMessageFilter(nullptr, nullptr);
  ::DestroyWindow(gWindow);
  Log("end");
  ::CoUninitialize();
  return 0;
}
