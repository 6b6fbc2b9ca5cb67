#include "spreadsheet/win/late_bound.h"

#include <algorithm>
#include <cstdio>

#include "framework/core/text.h"

namespace sheet {

namespace {

std::string Hex(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08lX", (unsigned long)hr);
  return buf;
}

std::string MemberText(const wchar_t* member) { return fw::WideToUtf8(member); }

// The retry scope of this thread, if any.
thread_local TRetryRejectedCalls* gRetry = nullptr;
thread_local ULONGLONG gRetryDeadline = 0;

bool Rejected(HRESULT hr) { return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER; }

// True when a rejected call is to be tried again (after a pause).
bool RetryAfterRejection(HRESULT hr) {
  if (!Rejected(hr) || !gRetry || ::GetTickCount64() >= gRetryDeadline) return false;
  ::Sleep(TRetryRejectedCalls::kRetryAfterMs);
  return true;
}

}  // namespace

TRetryRejectedCalls::TRetryRejectedCalls(ULONGLONG deadline) : deadline_(deadline), outer_(gRetry) {
  ::CoRegisterMessageFilter(this, &previous_);
  gRetry = this;
  gRetryDeadline = deadline;
}

TRetryRejectedCalls::~TRetryRejectedCalls() {
  IMessageFilter* ours = nullptr;
  ::CoRegisterMessageFilter(previous_, &ours);
  if (previous_) previous_->Release();  // the reference CoRegisterMessageFilter handed back
  gRetry = outer_;
  gRetryDeadline = outer_ ? outer_->deadline_ : 0;
}

HRESULT STDMETHODCALLTYPE TRetryRejectedCalls::QueryInterface(REFIID riid, void** out) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
    *out = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE TRetryRejectedCalls::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  return SERVERCALL_ISHANDLED;
}

// A server that answered "retry later" is asked again after a pause, until the
// deadline; one that rejected the call for good is not.
DWORD STDMETHODCALLTYPE TRetryRejectedCalls::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) {
  if (rejectType != SERVERCALL_RETRYLATER || ::GetTickCount64() >= deadline_) return DWORD(-1);
  return kRetryAfterMs;
}

DWORD STDMETHODCALLTYPE TRetryRejectedCalls::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITDEFPROCESS; }

fw::TVariant Invoke(IDispatch* object, const wchar_t* member, TInvokeKind kind, std::vector<VARIANT> args) {
  if (!object) throw EAutomationError("No object to call " + MemberText(member) + " on", E_POINTER);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT hr;
  do {
    hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  } while (RetryAfterRejection(hr));
  if (Rejected(hr))
    throw EAutomationError(
        "The application, busy, kept rejecting the call of " + MemberText(member) + " (" + Hex(hr) + ")", hr);
  if (FAILED(hr)) throw EAutomationError("The object has no member " + MemberText(member) + " (" + Hex(hr) + ")", hr);

  std::reverse(args.begin(), args.end());
  DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, UINT(args.size()), 0};
  DISPID putId = DISPID_PROPERTYPUT;
  WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  if (kind == TInvokeKind::Get) flags = DISPATCH_PROPERTYGET;
  if (kind == TInvokeKind::Put) {
    flags = DISPATCH_PROPERTYPUT;
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  fw::TVariant result;
  EXCEPINFO info{};
  UINT argError = 0;
  do {
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                        kind == TInvokeKind::Put ? nullptr : result.Out(), &info, &argError);
  } while (RetryAfterRejection(hr));
  if (FAILED(hr)) {
    std::string text =
        Rejected(hr) ? "The application, busy, kept rejecting the call of " + MemberText(member) + " (" + Hex(hr) + ")"
                     : "The call of " + MemberText(member) + " failed (" + Hex(hr) + ")";
    if (hr == DISP_E_EXCEPTION) {
      if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      if (info.bstrDescription) text += ": " + fw::WideToUtf8(info.bstrDescription);
      if (info.scode) hr = info.scode;
    }
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
    throw EAutomationError(text, hr);
  }
  return result;
}

fw::TComPtr<IDispatch> AsObject(fw::TVariant&& value, const wchar_t* member) {
  VARIANT& v = value.Raw();
  if (v.vt == VT_DISPATCH && v.pdispVal) return fw::TComPtr<IDispatch>::Share(v.pdispVal);
  if (v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal && *v.ppdispVal)
    return fw::TComPtr<IDispatch>::Share(*v.ppdispVal);
  throw EAutomationError(MemberText(member) + " did not give an object", DISP_E_TYPEMISMATCH);
}

VARIANT BoolArg(bool value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT IntArg(LONG value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT TextArg(BSTR value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = value;
  return v;
}

VARIANT TextRefArg(BSTR* value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_BSTR | VT_BYREF;
  v.pbstrVal = value;
  return v;
}

VARIANT IntRefArg(LONG* value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4 | VT_BYREF;
  v.plVal = value;
  return v;
}

VARIANT VariantRefArg(VARIANT* value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_VARIANT | VT_BYREF;
  v.pvarVal = value;
  return v;
}

VARIANT ObjectArg(IDispatch* value) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = value;
  return v;
}

VARIANT OmittedArg() {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

}  // namespace sheet
