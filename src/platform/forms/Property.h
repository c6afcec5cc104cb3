#pragma once
// Property proxies. Most control properties are plain public members; the few whose write
// has an effect the application relies on (an event such as OnChange or OnClick, or state
// kept in step such as a combo box's Text with its ItemIndex) are TProp members: they read
// like the value and assign like the value, and every write goes through the owner's setter.
// Raw() stores without effects (used by setters themselves).
#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

#include "platform/core/AnsiString.h"

template <class T>
class TProp {
 public:
  using Setter = std::function<void(const T&)>;
  explicit TProp(Setter setter, T init = T{}) : v_(std::move(init)), set_(std::move(setter)) {}
  TProp(const TProp&) = delete;

  TProp& operator=(const TProp& o) { T copy = o.v_; set_(copy); return *this; }
  TProp& operator=(const T& v) { set_(v); return *this; }
  template <class U>
    requires(std::convertible_to<U, T> && !std::same_as<std::decay_t<U>, T> &&
             !std::same_as<std::decay_t<U>, TProp>)
  TProp& operator=(U&& u) { set_(T(std::forward<U>(u))); return *this; }

  operator const T&() const { return v_; }
  const T& get() const { return v_; }
  void Raw(const T& v) { v_ = v; }

  // pointer-valued properties (Parent, ActivePage, DataSource, ...)
  T operator->() const requires std::is_pointer_v<T> { return v_; }

  // read-only text operations for text properties (Edit->Text.Length(), ...)
  int Length() const requires std::same_as<T, AnsiString> { return v_.Length(); }
  bool IsEmpty() const requires std::same_as<T, AnsiString> { return v_.IsEmpty(); }
  const char* c_str() const requires std::same_as<T, AnsiString> { return v_.c_str(); }
  const std::string& str() const requires std::same_as<T, AnsiString> { return v_.str(); }
  AnsiString SubString(int start, int count) const requires std::same_as<T, AnsiString> {
    return v_.SubString(start, count);
  }
  int Pos(const AnsiString& sub) const requires std::same_as<T, AnsiString> { return v_.Pos(sub); }
  char32_t operator[](int i) const requires std::same_as<T, AnsiString> { return v_[i]; }
  AnsiString UpperCase() const requires std::same_as<T, AnsiString> { return v_.UpperCase(); }
  AnsiString LowerCase() const requires std::same_as<T, AnsiString> { return v_.LowerCase(); }
  AnsiString Trim() const requires std::same_as<T, AnsiString> { return v_.Trim(); }
  AnsiString TrimLeft() const requires std::same_as<T, AnsiString> { return v_.TrimLeft(); }
  AnsiString TrimRight() const requires std::same_as<T, AnsiString> { return v_.TrimRight(); }
  int ToInt() const requires std::same_as<T, AnsiString> { return v_.ToInt(); }
  int ToIntDef(int d) const requires std::same_as<T, AnsiString> { return v_.ToIntDef(d); }
  double ToDouble() const requires std::same_as<T, AnsiString> { return v_.ToDouble(); }
  int LastDelimiter(const AnsiString& d) const requires std::same_as<T, AnsiString> {
    return v_.LastDelimiter(d);
  }
  int AnsiCompareIC(const AnsiString& o) const requires std::same_as<T, AnsiString> {
    return v_.AnsiCompareIC(o);
  }

 private:
  T v_;
  Setter set_;
};
