// Owning wrappers for COM: interface pointers, VARIANTs and BSTRs, each freed
// exactly once on every path.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace fw {

template <class T>
class TComPtr {
 public:
  TComPtr() = default;
  // Takes over a reference the caller owns.
  static TComPtr Attach(T* p) { TComPtr c; c.p_ = p; return c; }
  // Adds a reference of its own.
  static TComPtr Share(T* p) { if (p) p->AddRef(); return Attach(p); }
  ~TComPtr() { Reset(); }
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TComPtr& operator=(TComPtr&& o) noexcept {
    if (this != &o) { Reset(); p_ = std::exchange(o.p_, nullptr); }
    return *this;
  }
  TComPtr(const TComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  TComPtr& operator=(const TComPtr& o) { return *this = TComPtr(o); }
  void Reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held first.
  T** Out() { Reset(); return &p_; }

 private:
  T* p_ = nullptr;
};

class TVariant {
 public:
  TVariant() { ::VariantInit(&v_); }
  ~TVariant() { ::VariantClear(&v_); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  TVariant(TVariant&& o) noexcept : v_(o.v_) { ::VariantInit(&o.v_); }
  TVariant& operator=(TVariant&& o) noexcept {
    if (this != &o) { ::VariantClear(&v_); v_ = o.v_; ::VariantInit(&o.v_); }
    return *this;
  }
  // For out parameters: clears what is held first.
  VARIANT* Out() { ::VariantClear(&v_); return &v_; }
  const VARIANT& operator*() const { return v_; }
  VARIANT& Raw() { return v_; }
  void Clear() { ::VariantClear(&v_); }

 private:
  VARIANT v_;
};

class TBstr {
 public:
  TBstr() = default;
  explicit TBstr(std::wstring_view s) : s_(::SysAllocStringLen(s.data(), UINT(s.size()))) {}
  ~TBstr() { ::SysFreeString(s_); }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  TBstr(TBstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
  BSTR Get() const { return s_; }
  BSTR* Out() { ::SysFreeString(s_); s_ = nullptr; return &s_; }
  std::wstring_view View() const { return s_ ? std::wstring_view(s_, ::SysStringLen(s_)) : std::wstring_view(); }

 private:
  BSTR s_ = nullptr;
};

}  // namespace fw
