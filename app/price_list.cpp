#include "app/price_list.h"

#include <urlmon.h>

namespace {

// Watches the HTTP answer of a download: urlmon asks the callback for
// IHttpNegotiate and hands it the status code. It reports no progress and
// never cancels. Lives on the caller's stack for the one synchronous call.
class StatusWatcher : public IBindStatusCallback, public IHttpNegotiate {
 public:
  DWORD Status = 0;  // 0 when no HTTP answer was seen

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

bool LooksLikeWorkbook(const char* path) {
  HANDLE f = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  unsigned char head[4] = {0};
  DWORD got = 0;
  const BOOL ok = ::ReadFile(f, head, sizeof head, &got, nullptr);
  ::CloseHandle(f);
  return ok && got == 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4;
}

HRESULT DownloadPriceList() {
  StatusWatcher watcher;
  HRESULT hr = ::URLDownloadToFileA(nullptr, PriceListUrl, PriceListPath, 0, &watcher);
  if (hr != S_OK) return hr;
  const bool httpOk = watcher.Status == 0 || (watcher.Status >= 200 && watcher.Status < 300);
  if (!httpOk || !LooksLikeWorkbook(PriceListPath)) {
    ::DeleteFileA(PriceListPath);  // an error page is no price list
    return INET_E_DOWNLOAD_FAILURE;
  }
  return S_OK;
}
