#include "app/price_list.h"

#include <urlmon.h>

#include "app/user_folder.h"
#include "framework/win/sysutils.h"

namespace {

std::string gPriceListFile = PriceListPath;

// Whether a file can be written at `path`: opened for writing (made, and
// removed again, when it did not exist). A folder in the file's place, a folder
// that takes no files from this user, or a missing folder all say no.
bool Writable(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  ::CloseHandle(h);
  if (!existed) ::DeleteFileA(path.c_str());
  return true;
}

// %LOCALAPPDATA%\NAVEKO\F26-3-2022.xlsx in the system code page; the folder's
// short name when its long name has characters the code page lacks.
std::string PerUserFile() {
  const std::wstring folder = NavekoFolder();
  if (folder.empty()) return {};
  std::string ansi = fw::WideToAnsi(folder);
  if (fw::AnsiToWide(ansi) != folder) {
    wchar_t shortName[MAX_PATH] = {0};
    if (::GetShortPathNameW(folder.c_str(), shortName, MAX_PATH)) ansi = fw::WideToAnsi(shortName);
  }
  return ansi + "\\" + PriceListFileName;
}

// Watches the HTTP answer of a download: urlmon asks the callback for
// IHttpNegotiate and hands it the status code. It reports no progress and
// never cancels. Lives on the caller's stack for the one synchronous call.
class StatusWatcher : public IBindStatusCallback, public IHttpNegotiate {
 public:
  DWORD Status = 0;  // the HTTP status of the answer; 0 while none was seen

  // IUnknown: the object is not reference-counted beyond the call it serves.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
      *out = static_cast<IBindStatusCallback*>(this);
    } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
      *out = static_cast<IHttpNegotiate*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IBindStatusCallback
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extra) override {
    if (extra) *extra = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* extra) override {
    if (extra) *extra = nullptr;
    Status = code;
    return S_OK;
  }
};

}  // namespace

const std::string& PriceListFile() { return gPriceListFile; }

std::string ChoosePriceListFile() {
  if (Writable(PriceListPath)) return PriceListPath;
  const std::string own = PerUserFile();
  return own.empty() ? std::string(PriceListPath) : own;
}

HRESULT DownloadPriceList(TDownloadReport* report) {
  TDownloadReport seen;
  gPriceListFile = ChoosePriceListFile();
  const char* file = gPriceListFile.c_str();
  StatusWatcher watcher;
  HRESULT hr = ::URLDownloadToFileA(nullptr, PriceListUrl, file, 0, &watcher);
  seen.HttpStatus = watcher.Status;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (::GetFileAttributesExA(file, GetFileExInfoStandard, &info))
    seen.Bytes = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // No answer at all (a dropped connection) leaves Status 0, which is no success either.
  if (hr == S_OK && !(watcher.Status >= 200 && watcher.Status < 300)) {
    ::DeleteFileA(file);  // an error page is no price list
    hr = INET_E_DOWNLOAD_FAILURE;
  }
  seen.Result = hr;
  if (report) *report = seen;
  return hr;
}
