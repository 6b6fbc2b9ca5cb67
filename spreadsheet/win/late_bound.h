// Late-bound automation: members called by name through IDispatch, as a
// scripting client would. Failures raise EAutomationError naming the member.
#pragma once
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
