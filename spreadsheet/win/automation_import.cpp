#include "spreadsheet/win/automation_import.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "framework/core/text.h"
#include "framework/win/sysutils.h"
#include "spreadsheet/core/value_copy.h"
#include "spreadsheet/win/late_bound.h"
#include "spreadsheet/win/value_text.h"

namespace sheet {

namespace {

constexpr LONG kLastCellType = 11;   // SpecialCells: xlCellTypeLastCell, the corner of the area ever used
constexpr DWORD kEndWaitMs = 10000;  // how long a quitting instance may take to end before it is ended

LONG AsInteger(fw::TVariant&& value, const wchar_t* member) {
  fw::TVariant n;
  if (FAILED(::VariantChangeType(n.Out(), &value.Raw(), 0, VT_I4)))
    throw EAutomationError(fw::WideToUtf8(member) + " did not give a number", DISP_E_TYPEMISMATCH);
  return (*n).lVal;
}

// The element [i, j] of a fetched 2-D array, relative to its lower bounds.
const VARIANT& Element(SAFEARRAY* array, LONG i, LONG j) {
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

bool IsBlock(const VARIANT& v) {
  return (v.vt & VT_ARRAY) && (v.vt & VT_TYPEMASK) == VT_VARIANT && v.parray && ::SafeArrayGetDim(v.parray) == 2;
}

// Workbooks.Open's positional arguments: FileName, UpdateLinks (0: never
// update, never ask), ReadOnly, Format, Password, WriteResPassword,
// IgnoreReadOnlyRecommended, Origin, Delimiter, Editable, Notify (false: no
// waiting for a workbook another user holds), Converter, AddToMru.
std::vector<VARIANT> OpenArguments(BSTR* path) {
  std::vector<VARIANT> args = {TextRefArg(path), IntArg(0), BoolArg(true)};
  for (int k = 0; k < 3; ++k) args.push_back(OmittedArg());  // Format, Password, WriteResPassword
  args.push_back(BoolArg(true));                             // IgnoreReadOnlyRecommended
  for (int k = 0; k < 2; ++k) args.push_back(OmittedArg());  // Origin, Delimiter
  args.push_back(BoolArg(false));                            // Editable
  args.push_back(BoolArg(false));                            // Notify
  args.push_back(OmittedArg());                              // Converter
  args.push_back(BoolArg(false));                            // AddToMru
  return args;
}

}  // namespace

// Ends the instance when the exchange outlives its bound: a call that waits
// on a dialog nobody can see then returns, failed.
class TSpreadsheetApplication::TWatchdog {
 public:
  TWatchdog(HANDLE process, std::chrono::milliseconds bound)
      : thread_([this, process, bound] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, bound, [this] { return disarmed_; })) {
            expired_ = true;
            if (process) ::TerminateProcess(process, 1);
          }
        }) {}
  ~TWatchdog() { Disarm(); }
  void Disarm() {
    {
      std::lock_guard lock(mutex_);
      disarmed_ = true;
    }
    done_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  bool Expired() {
    std::lock_guard lock(mutex_);
    return expired_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool disarmed_ = false, expired_ = false;
  std::thread thread_;  // last: it starts once everything above exists
};

std::unique_ptr<TSpreadsheetApplication> TSpreadsheetApplication::Start(std::chrono::milliseconds bound) {
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(L"Excel.Application", &clsid))) return nullptr;
  const ULONGLONG before = ::GetTickCount64();
  fw::TComPtr<IDispatch> app;
  const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                                        reinterpret_cast<void**>(app.Out()));
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw EAutomationError(std::string("The spreadsheet application could not be started (") + code + ")", hr);
  }
  auto started = std::make_unique<TSpreadsheetApplication>(std::move(app), bound);
  started->FindProcess(before);
  return started;
}

TSpreadsheetApplication::TSpreadsheetApplication(fw::TComPtr<IDispatch> application, std::chrono::milliseconds bound)
    : application_(std::move(application)), bound_(bound), deadline_(::GetTickCount64() + ULONGLONG(bound.count())) {}

// The process behind the application's main window, kept only when it began
// after this import asked for it: an instance the user had open is never ended.
void TSpreadsheetApplication::FindProcess(ULONGLONG startedAfter) {
  try {
    const TRetryRejectedCalls retry(deadline_);
    const LONG hwnd = AsInteger(Invoke(application_.Get(), L"Hwnd", TInvokeKind::Get), L"Hwnd");
    DWORD pid = 0;
    ::GetWindowThreadProcessId(reinterpret_cast<HWND>(LONG_PTR(hwnd)), &pid);
    if (!pid || pid == ::GetCurrentProcessId()) return;
    fw::UniqueFile process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& f) { return (ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    const ULONGLONG ageMs = (ticks(now) - ticks(created)) / 10000;
    if (ageMs > ::GetTickCount64() - startedAfter + 1000) return;  // it was running before
    pid_ = pid;
    process_ = std::move(process);
  } catch (const EAutomationError&) {
    // No window to tell the process by: the instance is only quit and released.
  }
}

TSpreadsheetApplication::~TSpreadsheetApplication() {
  watchdog_.reset();
  application_.Reset();
  EndProcess();
}

void TSpreadsheetApplication::EndProcess() {
  if (!process_) return;
  if (::WaitForSingleObject(process_.get(), kEndWaitMs) == WAIT_TIMEOUT) ::TerminateProcess(process_.get(), 1);
  process_.reset();
}

void TSpreadsheetApplication::Import(fw::TStringTable& table, const std::string& path, const std::string& sep) {
  // One bound for the whole exchange, from the application's start.
  const ULONGLONG now = ::GetTickCount64();
  watchdog_ =
      std::make_unique<TWatchdog>(process_.get(), std::chrono::milliseconds(deadline_ > now ? deadline_ - now : 0));
  const TRetryRejectedCalls retry(deadline_);
  fw::TComPtr<IDispatch> workbooks, workbook, sheet;
  std::exception_ptr failure;
  try {
    IDispatch* app = application_.Get();
    Invoke(app, L"Visible", TInvokeKind::Put, {BoolArg(false)});
    // No dialog of a hidden application: nobody could answer it.
    Invoke(app, L"DisplayAlerts", TInvokeKind::Put, {BoolArg(false)});
    workbooks = AsObject(Invoke(app, L"Workbooks", TInvokeKind::Get), L"Workbooks");
    {
      fw::TBstr widePath(fw::AnsiToWide(path));  // the path is the file system's, in the ANSI code page
      BSTR pathArg = widePath.Get();
      workbook = AsObject(Invoke(workbooks.Get(), L"Open", TInvokeKind::Call, OpenArguments(&pathArg)), L"Open");
    }
    sheet = AsObject(Invoke(workbook.Get(), L"Worksheets", TInvokeKind::Get, {IntArg(1)}), L"Worksheets");
    // The last cell's own row and column: no need to activate it, nor its sheet.
    fw::TComPtr<IDispatch> cells = AsObject(Invoke(sheet.Get(), L"Cells", TInvokeKind::Get), L"Cells");
    fw::TComPtr<IDispatch> last;
    {
      VARIANT omitted = OmittedArg();
      last = AsObject(
          Invoke(cells.Get(), L"SpecialCells", TInvokeKind::Call, {IntArg(kLastCellType), VariantRefArg(&omitted)}),
          L"SpecialCells");
    }
    const LONG R = AsInteger(Invoke(last.Get(), L"Row", TInvokeKind::Get), L"Row");
    const LONG N = AsInteger(Invoke(last.Get(), L"Column", TInvokeKind::Get), L"Column");
    if (R < 1 || N < 1) throw EAutomationError("The last cell is outside the sheet", DISP_E_BADINDEX);
    table.SetRowCount(R);
    table.SetColCount(N);

    // The block in slices of whole rows, each copied before the next is fetched.
    const LONG rowsPerFetch = std::max<LONG>(1, kCellsPerFetch / N);
    fw::TVariant values;
    LONG first = 0, lastRow = 0;
    auto textOf = [&](int i, int j) -> std::string {
      if (i > lastRow) {
        first = i;
        lastRow = std::min<LONG>(R, i + rowsPerFetch - 1);
        fw::TComPtr<IDispatch> topLeft =
            AsObject(Invoke(sheet.Get(), L"Cells", TInvokeKind::Get, {IntArg(first), IntArg(1)}), L"Cells");
        fw::TComPtr<IDispatch> bottomRight =
            AsObject(Invoke(sheet.Get(), L"Cells", TInvokeKind::Get, {IntArg(lastRow), IntArg(N)}), L"Cells");
        fw::TComPtr<IDispatch> block = AsObject(
            Invoke(sheet.Get(), L"Range", TInvokeKind::Get, {ObjectArg(topLeft.Get()), ObjectArg(bottomRight.Get())}),
            L"Range");
        values = Invoke(block.Get(), L"Value", TInvokeKind::Get);
        // A one-cell block is a single value, not an array: element [1, 1] does not exist.
        if (!IsBlock(*values)) throw EValueConversion("The sheet's block is a single value, not an array");
      }
      return VariantText(Element((*values).parray, i - first + 1, j), sep);
    };
    CopyBlock(table, R, N, textOf);
    values.Clear();
  } catch (...) {
    failure = std::current_exception();
  }
  // Closed unsaved, then quit, whatever happened (alerts are off: no prompt).
  try {
    if (workbook) Invoke(workbook.Get(), L"Close", TInvokeKind::Call, {BoolArg(false)});
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  sheet.Reset();
  workbook.Reset();
  workbooks.Reset();
  try {
    Invoke(application_.Get(), L"Quit", TInvokeKind::Call);
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  application_.Reset();
  const bool expired = watchdog_->Expired();
  watchdog_.reset();
  EndProcess();
  if (!expired) {
    if (failure) std::rethrow_exception(failure);
    return;
  }
  // Out of time: what the last call said, with why it said it.
  std::string why = "The spreadsheet application did not finish within " + std::to_string(bound_.count() / 1000) +
                    " s" + (pid_ ? " and was ended" : "");
  HRESULT code = E_ABORT;
  try {
    if (failure) std::rethrow_exception(failure);
  } catch (const EAutomationError& e) {
    why += std::string(": ") + e.what();
    code = e.Code;
  } catch (const std::exception& e) {
    why += std::string(": ") + e.what();
  }
  throw EAutomationError(why, code);
}

}  // namespace sheet
