#include "app/win/price_list.h"

#include <urlmon.h>
#include <wininet.h>

#include <string_view>

#include "app/win/user_folder.h"
#include "framework/win/handles.h"
#include "framework/win/sysutils.h"

namespace naveko {

namespace {

std::string gPriceListFile = PriceListPath;

// Whether a file can be written at `path`: opened for writing (made, and
// removed again, when it did not exist). A folder in the file's place, a folder
// that takes no files from this user, or a missing folder all say no.
bool Writable(const std::string& path) {
  bool existed = false;
  {
    const fw::UniqueFile file = fw::OwnFile(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  }
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
  return ansi + "\\" + kPriceListFileName;
}

// Watches the HTTP answer of a download: urlmon asks the callback for
// IHttpNegotiate and hands it the status code and the headers, and asks it
// how to bind. It never cancels. Lives on the caller's stack for the one
// synchronous call.
class StatusWatcher : public IBindStatusCallback, public IHttpNegotiate {
 public:
  DWORD Status = 0;               // the HTTP status of the answer; 0 while none was seen
  long long AnnouncedBytes = -1;  // its Content-Length, when it gave one

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
  // Never a copy from the internet cache: a list re-issued at the same address
  // must not be served from an earlier download (a static-file server gives no
  // Cache-Control, and a copy then counts as fresh for a while). The flags ask
  // for the server's bytes, reach a proxy (Pragma: no-cache) and ask that no
  // copy be kept; DownloadPriceList also removes the cache's entry before and
  // after the call, for a moniker service that keeps one all the same.
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO*) override {
    if (flags) *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

  // IHttpNegotiate
  HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extra) override {
    if (extra) *extra = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnResponse(DWORD code, LPCWSTR headers, LPCWSTR, LPWSTR* extra) override {
    if (extra) *extra = nullptr;
    Status = code;
    // A body sent compressed is announced in its compressed size: then the size is not compared.
    const std::wstring_view all = headers ? headers : L"";
    const std::wstring_view encoding = Header(all, L"content-encoding:");
    AnnouncedBytes = encoding.empty() || encoding.find(L"identity") != std::wstring_view::npos
                         ? Number(Header(all, L"content-length:"))
                         : -1;
    return S_OK;
  }

 private:
  // The value of a header (its name lower-case, with the colon) in a block of response headers.
  static std::wstring_view Header(std::wstring_view headers, std::wstring_view name) {
    for (size_t start = 0; start < headers.size();) {
      size_t end = headers.find(L'\n', start);
      if (end == std::wstring_view::npos) end = headers.size();
      const std::wstring_view line = headers.substr(start, end - start);
      start = end + 1;
      if (line.size() > name.size() &&
          ::CompareStringOrdinal(line.data(), int(name.size()), name.data(), int(name.size()), TRUE) == CSTR_EQUAL)
        return line.substr(name.size());
    }
    return {};
  }
  static long long Number(std::wstring_view text) {
    long long n = 0;
    bool digits = false;
    for (wchar_t c : text) {
      if (c >= L'0' && c <= L'9') {
        n = n * 10 + (c - L'0');
        digits = true;
      } else if (digits) {
        break;
      }
    }
    return digits ? n : -1;
  }
};

// Removes the user's internet-cache entry for the price list's address, if any.
void ForgetCachedCopy() {
  const std::string_view url = PriceListUrl;
  ::DeleteUrlCacheEntryW(std::wstring(url.begin(), url.end()).c_str());  // the address is ASCII
}

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
  ForgetCachedCopy();
  HRESULT hr = ::URLDownloadToFileA(nullptr, PriceListUrl, file, 0, &watcher);
  ForgetCachedCopy();
  seen.HttpStatus = watcher.Status;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (::GetFileAttributesExA(file, GetFileExInfoStandard, &info))
    seen.Bytes = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // No answer at all (a dropped connection) leaves Status 0, which is no success
  // either; nor is an answer cut short: fewer bytes than it announced.
  const bool whole = watcher.AnnouncedBytes < 0 || static_cast<long long>(seen.Bytes) == watcher.AnnouncedBytes;
  if (hr == S_OK && (!(watcher.Status >= 200 && watcher.Status < 300) || !whole)) {
    ::DeleteFileA(file);  // an error page, or part of a workbook, is no price list
    hr = INET_E_DOWNLOAD_FAILURE;
  }
  seen.Result = hr;
  if (report) *report = seen;
  return hr;
}

}  // namespace naveko
