#include "app/price_list.h"

#include <urlmon.h>

namespace {

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

HRESULT DownloadPriceList() {
  StatusWatcher watcher;
  HRESULT hr = ::URLDownloadToFileA(nullptr, PriceListUrl, PriceListPath, 0, &watcher);
  if (hr != S_OK) return hr;
  // No answer at all (a dropped connection) leaves Status 0, which is no success either.
  const bool httpOk = watcher.Status >= 200 && watcher.Status < 300;
  if (!httpOk) {
    ::DeleteFileA(PriceListPath);  // an error page is no price list
    return INET_E_DOWNLOAD_FAILURE;
  }
  return S_OK;
}
