// Late-bound automation: members called by name through IDispatch, as a
// scripting client would. Failures raise EAutomationError naming the member.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

#include "framework/core/exception.h"
#include "framework/win/com.h"

namespace sheet {

class EAutomationError : public fw::Exception {
 public:
  EAutomationError(const std::string& message, HRESULT code) : fw::Exception(message), Code(code) {}
  HRESULT Code;
};

// get reads a property, put writes one, call invokes a member and takes its
// result when there is one (a method or a property read, whichever the object has).
enum class TInvokeKind { Get, Put, Call };

// Arguments in their natural order (the first argument first); they are handed
// to Invoke reversed, as IDispatch expects. The caller keeps them alive.
fw::TVariant Invoke(IDispatch* object, const wchar_t* member, TInvokeKind kind, std::vector<VARIANT> args = {});

// The dispatch interface held by a result; throws when it holds none.
fw::TComPtr<IDispatch> AsObject(fw::TVariant&& value, const wchar_t* member);

// While one lives, calls of this thread that a busy server rejects (it is
// starting, loading add-ins or recalculating) are tried again until
// `deadline` (GetTickCount64), as COM asks of its callers: "applications
// should silently retry calls that have returned with SERVERCALL_RETRYLATER"
// (IMessageFilter::RetryRejectedCall). A message filter of this thread does it
// where COM consults it; Invoke does it where a call comes back
// RPC_E_CALL_REJECTED.
class TRetryRejectedCalls : public IMessageFilter {
 public:
  explicit TRetryRejectedCalls(ULONGLONG deadline);
  ~TRetryRejectedCalls();
  TRetryRejectedCalls(const TRetryRejectedCalls&) = delete;
  TRetryRejectedCalls& operator=(const TRetryRejectedCalls&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on its owner's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD rejectType) override;
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override;

  static constexpr DWORD kRetryAfterMs = 200;

 private:
  ULONGLONG deadline_;
  IMessageFilter* previous_ = nullptr;
  TRetryRejectedCalls* outer_;
};

// Argument builders (values the caller owns stay owned by it).
VARIANT BoolArg(bool value);
VARIANT IntArg(LONG value);
VARIANT TextArg(BSTR value);            // by value
VARIANT TextRefArg(BSTR* value);        // by reference
VARIANT IntRefArg(LONG* value);         // by reference
VARIANT VariantRefArg(VARIANT* value);  // by reference
VARIANT ObjectArg(IDispatch* value);    // a variant holding the object
VARIANT OmittedArg();                   // an optional argument left out

}  // namespace sheet
