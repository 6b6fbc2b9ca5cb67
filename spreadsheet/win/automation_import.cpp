#include "spreadsheet/win/automation_import.h"

#include <exception>

#include "framework/win/sysutils.h"
#include "spreadsheet/core/value_copy.h"
#include "spreadsheet/win/late_bound.h"
#include "spreadsheet/win/value_text.h"

namespace sheet {

namespace {

constexpr LONG kLastCellType = 11;  // SpecialCells: the last cell of the used area

LONG AsInteger(fw::TVariant&& value, const wchar_t* member) {
  fw::TVariant n;
  if (FAILED(::VariantChangeType(n.Out(), &value.Raw(), 0, VT_I4)))
    throw EAutomationError(fw::WideToAnsi(member) + " did not give a number", DISP_E_TYPEMISMATCH);
  return (*n).lVal;
}

// The element [i, j] of the fetched 2-D array, relative to its lower bounds.
const VARIANT& Element(SAFEARRAY* array, int i, int j) {
  LONG lower0 = 0, lower1 = 0, upper0 = -1, upper1 = -1;
  ::SafeArrayGetLBound(array, 1, &lower0);
  ::SafeArrayGetUBound(array, 1, &upper0);
  ::SafeArrayGetLBound(array, 2, &lower1);
  ::SafeArrayGetUBound(array, 2, &upper1);
  LONG index[2] = {lower0 + i - 1, lower1 + j - 1};
  if (index[0] > upper0 || index[1] > upper1)
    throw EAutomationError("The fetched block is smaller than its last cell says", DISP_E_BADINDEX);
  void* p = nullptr;
  if (FAILED(::SafeArrayPtrOfIndex(array, index, &p)) || !p)
    throw EAutomationError("The fetched block has no element [" + std::to_string(i) + ", " + std::to_string(j) + "]",
                           DISP_E_BADINDEX);
  return *static_cast<const VARIANT*>(p);
}

}  // namespace

fw::TComPtr<IDispatch> CreateSpreadsheetApplication() {
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(L"Excel.Application", &clsid))) return {};
  fw::TComPtr<IDispatch> app;
  if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(app.Out()))))
    return {};
  return app;
}

void ImportThroughAutomation(fw::TComPtr<IDispatch> application, fw::TStringTable& table, const std::string& path,
                             const std::string& sep) {
  // Everything but the application and the sheet lives until the routine ends.
  fw::TComPtr<IDispatch> sheet, workbooks, workbook, cells, lastCell, active, sheetCells, corner, block;
  fw::TVariant values;
  std::exception_ptr failure;
  try {
    Invoke(application.Get(), L"Visible", TInvokeKind::Put, {BoolArg(false)});
    workbooks = AsObject(Invoke(application.Get(), L"Workbooks", TInvokeKind::Call), L"Workbooks");
    {
      fw::TBstr widePath(fw::AnsiToWide(path));
      BSTR pathArg = widePath.Get();
      Invoke(workbooks.Get(), L"Open", TInvokeKind::Call, {TextRefArg(&pathArg)});
    }
    workbook = AsObject(Invoke(application.Get(), L"Workbooks", TInvokeKind::Get, {IntArg(1)}), L"Workbooks");
    sheet = AsObject(Invoke(workbook.Get(), L"WorkSheets", TInvokeKind::Get, {IntArg(1)}), L"WorkSheets");
    cells = AsObject(Invoke(sheet.Get(), L"Cells", TInvokeKind::Call), L"Cells");
    {
      VARIANT omitted = OmittedArg();
      lastCell = AsObject(Invoke(cells.Get(), L"SpecialCells", TInvokeKind::Call,
                                 {IntArg(kLastCellType), VariantRefArg(&omitted)}),
                          L"SpecialCells");
    }
    Invoke(lastCell.Get(), L"Activate", TInvokeKind::Call);
    active = AsObject(Invoke(application.Get(), L"ActiveCell", TInvokeKind::Call), L"ActiveCell");
    LONG R = AsInteger(Invoke(active.Get(), L"Row", TInvokeKind::Call), L"Row");
    active = AsObject(Invoke(application.Get(), L"ActiveCell", TInvokeKind::Call), L"ActiveCell");
    LONG N = AsInteger(Invoke(active.Get(), L"Column", TInvokeKind::Call), L"Column");
    table.SetRowCount(R);
    table.SetColCount(N);
    sheetCells = AsObject(Invoke(application.Get(), L"Cells", TInvokeKind::Call), L"Cells");
    corner = AsObject(Invoke(sheetCells.Get(), L"Item", TInvokeKind::Get, {IntRefArg(&R), IntRefArg(&N)}), L"Item");
    {
      fw::TBstr a1(L"A1");
      block = AsObject(Invoke(application.Get(), L"Range", TInvokeKind::Get, {TextArg(a1.Get()), ObjectArg(corner.Get())}),
                       L"Range");
    }
    values = Invoke(block.Get(), L"Value", TInvokeKind::Call);
    // A one-cell block is a single value, not an array: element [1, 1] does not exist.
    const VARIANT& v = *values;
    if (!(v.vt & VT_ARRAY) || (v.vt & VT_TYPEMASK) != VT_VARIANT || !v.parray || ::SafeArrayGetDim(v.parray) != 2)
      throw EAutomationError("The sheet's block is a single value, not an array", DISP_E_TYPEMISMATCH);
    CopyBlock(table, R, N, [&](int i, int j) { return VariantText(Element(v.parray, i, j), sep); });
    values.Clear();
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    Invoke(application.Get(), L"Quit", TInvokeKind::Call);
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  application.Reset();
  sheet.Reset();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace sheet
