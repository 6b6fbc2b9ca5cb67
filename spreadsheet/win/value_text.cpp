#include "spreadsheet/win/value_text.h"

#include "framework/core/text.h"
#include "framework/win/sysutils.h"
#include "spreadsheet/core/general_number.h"

namespace sheet {

namespace {

// Currency, dates and booleans: the platform's own conversion under the user's locale.
std::string PlatformText(const VARIANT& value) {
  fw::TVariant text;
  const HRESULT hr = ::VariantChangeTypeEx(text.Out(), const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT,
                                           VARIANT_ALPHABOOL | VARIANT_LOCALBOOL, VT_BSTR);
  if (FAILED(hr)) throw EValueConversion("The value cannot be converted to text");
  const VARIANT& t = *text;
  return fw::WideToUtf8(std::wstring_view(t.bstrVal, ::SysStringLen(t.bstrVal)));
}

}  // namespace

std::string VariantText(const VARIANT& value, const std::string& sep) {
  if (value.vt == (VT_VARIANT | VT_BYREF)) return value.pvarVal ? VariantText(*value.pvarVal, sep) : std::string();
  switch (value.vt) {
    case VT_EMPTY:
      return std::string();
    case VT_I1: return std::to_string(int(value.cVal));
    case VT_UI1: return std::to_string(unsigned(value.bVal));
    case VT_I2: return std::to_string(value.iVal);
    case VT_UI2: return std::to_string(value.uiVal);
    case VT_I4: return std::to_string(value.lVal);
    case VT_UI4: return std::to_string(value.ulVal);
    case VT_INT: return std::to_string(value.intVal);
    case VT_UINT: return std::to_string(value.uintVal);
    case VT_I8: return std::to_string(value.llVal);
    case VT_UI8: return std::to_string(value.ullVal);
    case VT_R4: return FormatGeneral(value.fltVal, sep);
    case VT_R8: return FormatGeneral(value.dblVal, sep);
    case VT_CY:
    case VT_DATE:
    case VT_BOOL:
      return PlatformText(value);
    case VT_BSTR:
      return fw::WideToUtf8(std::wstring_view(value.bstrVal, ::SysStringLen(value.bstrVal)));
    case VT_ERROR:
      throw EValueConversion("An error value of the sheet has no text");
    default:
      throw EValueConversion("A value of variant type " + std::to_string(value.vt) + " has no text");
  }
}

std::string CellText(const TValueBlock& block, const TValueBlock::TStored& cell, const std::string& sep) {
  switch (cell.Kind) {
    case TCellKind::Empty:
      return std::string();
    case TCellKind::Number:
      return FormatGeneral(cell.Number, sep);
    case TCellKind::Text:
      return block.Strings[cell.StringIndex];
    case TCellKind::Error:
      throw EValueConversion("Cell value " + block.Strings[cell.StringIndex] + " is an error value and has no text");
    case TCellKind::Currency: {
      fw::TVariant v;
      v.Raw().vt = VT_CY;
      if (FAILED(::VarCyFromR8(cell.Number, &v.Raw().cyVal))) throw EValueConversion("A currency value is out of range");
      return PlatformText(*v);
    }
    case TCellKind::Date: {
      fw::TVariant v;
      v.Raw().vt = VT_DATE;
      v.Raw().date = cell.Number;
      return PlatformText(*v);
    }
    case TCellKind::Boolean: {
      fw::TVariant v;
      v.Raw().vt = VT_BOOL;
      v.Raw().boolVal = cell.Number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      return PlatformText(*v);
    }
  }
  return std::string();
}

}  // namespace sheet
