// Owners for the system's handles: one holder per kind, movable, not copyable.
#pragma once
#include <windows.h>
#include <utility>

namespace fw {

template <typename Traits>
class UniqueResource {
 public:
  using value_type = typename Traits::value_type;
  UniqueResource() = default;
  explicit UniqueResource(value_type v) : value_(v) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& o) noexcept : value_(o.release()) {}
  UniqueResource& operator=(UniqueResource&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  value_type get() const { return value_; }
  explicit operator bool() const { return !Traits::empty(value_); }
  value_type release() { return std::exchange(value_, Traits::none()); }
  void reset(value_type v = Traits::none()) {
    if (!Traits::empty(value_)) Traits::close(value_);
    value_ = v;
  }
  // For out-parameters of the API (RegOpenKeyExA and the like).
  value_type* put() { reset(); return &value_; }

 private:
  value_type value_ = Traits::none();
};

struct HandleTraits {  // kernel handles: both NULL and INVALID_HANDLE_VALUE mean none
  using value_type = HANDLE;
  static value_type none() { return nullptr; }
  static bool empty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct KeyTraits {
  using value_type = HKEY;
  static value_type none() { return nullptr; }
  static bool empty(HKEY k) { return k == nullptr; }
  static void close(HKEY k) { RegCloseKey(k); }
};
struct FindTraits {
  using value_type = HANDLE;
  static value_type none() { return INVALID_HANDLE_VALUE; }
  static bool empty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { FindClose(h); }
};
struct ViewTraits {
  using value_type = void*;
  static value_type none() { return nullptr; }
  static bool empty(void* p) { return p == nullptr; }
  static void close(void* p) { UnmapViewOfFile(p); }
};
struct ModuleTraits {
  using value_type = HMODULE;
  static value_type none() { return nullptr; }
  static bool empty(HMODULE m) { return m == nullptr; }
  static void close(HMODULE m) { FreeLibrary(m); }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueKey = UniqueResource<KeyTraits>;
using UniqueFind = UniqueResource<FindTraits>;
using UniqueView = UniqueResource<ViewTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;

// COM interface pointer: Release on destruction.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) { reset(); p_ = std::exchange(o.p_, nullptr); }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void** put_void() { reset(); return reinterpret_cast<void**>(&p_); }
  void reset() { if (p_) { p_->Release(); p_ = nullptr; } }

 private:
  T* p_ = nullptr;
};

}  // namespace fw
