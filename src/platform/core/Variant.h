#pragma once
// A value of one of the kinds a field holds, or null; also an array of values
// (multi-field Locate / Lookup).
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/core/AnsiString.h"
#include "platform/core/DateTime.h"

enum class VarType { Empty, Null, Int, Double, Bool, String, Date, Array };

class Variant {
 public:
  Variant() = default;  // Unassigned
  Variant(int v) : type_(VarType::Int), i_(v) {}
  Variant(long v) : type_(VarType::Int), i_(v) {}
  Variant(long long v) : type_(VarType::Int), i_(v) {}
  Variant(unsigned v) : type_(VarType::Int), i_(v) {}
  Variant(unsigned long v) : type_(VarType::Int), i_(static_cast<long long>(v)) {}
  Variant(unsigned long long v) : type_(VarType::Int), i_(static_cast<long long>(v)) {}
  Variant(long double v) : type_(VarType::Double), d_(static_cast<double>(v)) {}
  Variant(double v) : type_(VarType::Double), d_(v) {}
  Variant(float v) : type_(VarType::Double), d_(v) {}
  Variant(bool v) : type_(VarType::Bool), i_(v ? 1 : 0) {}
  Variant(const char* v) : type_(VarType::String), s_(v) {}
  Variant(const AnsiString& v) : type_(VarType::String), s_(v) {}
  Variant(const std::string& v) : type_(VarType::String), s_(v) {}
  Variant(const TDateTime& v) : type_(VarType::Date), d_(v.Val) {}

  static Variant Null() { Variant v; v.type_ = VarType::Null; return v; }
  static Variant Array(std::vector<Variant> items);

  VarType Type() const { return type_; }
  bool IsNull() const { return type_ == VarType::Null; }
  bool IsEmpty() const { return type_ == VarType::Empty; }
  bool IsArray() const { return type_ == VarType::Array; }
  int ArrayHighBound() const { return arr_ ? static_cast<int>(arr_->size()) - 1 : -1; }
  const Variant& operator[](int i) const;

  // Conversions; null and empty convert to 0, "" and false. Text → number uses
  // DecimalSeparator and raises EConvertError on bad text.
  AnsiString AsString() const;
  double AsDouble() const;
  long long AsInt64() const;
  int AsInt() const { return static_cast<int>(AsInt64()); }
  bool AsBool() const;
  TDateTime AsDateTime() const;

  operator AnsiString() const { return AsString(); }

  friend bool operator==(const Variant& a, const Variant& b);

 private:
  VarType type_ = VarType::Empty;
  long long i_ = 0;
  double d_ = 0;
  AnsiString s_;
  std::shared_ptr<std::vector<Variant>> arr_;
};

Variant VarArrayOf(std::initializer_list<Variant> items);
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline Variant NullVariant() { return Variant::Null(); }
