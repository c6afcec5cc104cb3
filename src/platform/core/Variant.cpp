#include "platform/core/Variant.h"

#include <cmath>

#include "platform/core/SysUtils.h"

namespace {
bool IsNumeric(VarType t) {
  return t == VarType::Int || t == VarType::Double || t == VarType::Bool || t == VarType::Date;
}

long long RoundToInt(double v) {
  // the original rounds to the nearest, ties to even
  return static_cast<long long>(std::nearbyint(v));
}
}  // namespace

Variant Variant::Array(std::vector<Variant> items) {
  Variant v;
  v.type_ = VarType::Array;
  v.arr_ = std::make_shared<std::vector<Variant>>(std::move(items));
  return v;
}

const Variant& Variant::operator[](int i) const {
  if (!arr_ || i < 0 || i >= static_cast<int>(arr_->size()))
    throw EOutOfRange("Índice de arreglo fuera de rango (" + std::to_string(i) + ")");
  return (*arr_)[i];
}

AnsiString Variant::AsString() const {
  switch (type_) {
    case VarType::Empty:
    case VarType::Null:
      return AnsiString();
    case VarType::Int:
      return IntToStr(i_);
    case VarType::Double:
      return FloatToStr(d_);
    case VarType::Bool:
      return i_ ? "True" : "False";
    case VarType::String:
      return s_;
    case VarType::Date:
      return d_ == std::trunc(d_) ? DateToStr(TDateTime(d_)) : DateTimeToStr(TDateTime(d_));
    case VarType::Array:
      break;
  }
  throw EConvertError("No se puede convertir un arreglo en texto");
}

double Variant::AsDouble() const {
  switch (type_) {
    case VarType::Empty:
    case VarType::Null:
      return 0;
    case VarType::Int:
    case VarType::Bool:
      return static_cast<double>(i_);
    case VarType::Double:
    case VarType::Date:
      return d_;
    case VarType::String: {
      AnsiString t = Trim(s_);
      if (t.IsEmpty()) return 0;
      return StrToFloat(t);
    }
    case VarType::Array:
      break;
  }
  throw EConvertError("No se puede convertir un arreglo en número");
}

long long Variant::AsInt64() const {
  switch (type_) {
    case VarType::Int:
    case VarType::Bool:
      return i_;
    case VarType::String: {
      long long v = 0;
      AnsiString t = Trim(s_);
      if (t.IsEmpty()) return 0;
      int iv;
      if (TryStrToInt(t, iv)) return iv;
      double d;
      if (TryStrToFloat(t, d)) return RoundToInt(d);
      v = StrToInt64(t);  // raises with the integer message
      return v;
    }
    default:
      return RoundToInt(AsDouble());
  }
}

bool Variant::AsBool() const {
  switch (type_) {
    case VarType::String: {
      AnsiString t = Trim(s_);
      if (SameText(t, "true") || SameText(t, "verdadero")) return true;
      if (SameText(t, "false") || SameText(t, "falso") || t.IsEmpty()) return false;
      double d;
      if (TryStrToFloat(t, d)) return d != 0;
      throw EConvertError("'" + s_.str() + "' no es un valor lógico válido");
    }
    case VarType::Int:
    case VarType::Bool:
      return i_ != 0;
    default:
      return AsDouble() != 0;
  }
}

TDateTime Variant::AsDateTime() const {
  if (type_ == VarType::String) {
    AnsiString t = Trim(s_);
    if (t.IsEmpty()) return TDateTime(0.0);
    return StrToDateTime(t);
  }
  return TDateTime(AsDouble());
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type_ == VarType::Array || b.type_ == VarType::Array) {
    if (a.type_ != b.type_) return false;
    if (a.arr_->size() != b.arr_->size()) return false;
    for (size_t i = 0; i < a.arr_->size(); ++i)
      if (!((*a.arr_)[i] == (*b.arr_)[i])) return false;
    return true;
  }
  if (a.type_ == VarType::Null || b.type_ == VarType::Null) return a.type_ == b.type_;
  if (a.type_ == VarType::Empty || b.type_ == VarType::Empty) return a.type_ == b.type_;
  if (a.type_ == VarType::String && b.type_ == VarType::String) return a.s_ == b.s_;
  if (IsNumeric(a.type_) && IsNumeric(b.type_)) {
    if ((a.type_ == VarType::Int || a.type_ == VarType::Bool) &&
        (b.type_ == VarType::Int || b.type_ == VarType::Bool))
      return a.i_ == b.i_;
    return a.AsDouble() == b.AsDouble();
  }
  // text against a number: equal when the text reads as that number
  const Variant& s = a.type_ == VarType::String ? a : b;
  const Variant& n = a.type_ == VarType::String ? b : a;
  double d;
  return TryStrToFloat(s.s_, d) && d == n.AsDouble();
}

Variant VarArrayOf(std::initializer_list<Variant> items) { return Variant::Array(std::vector<Variant>(items)); }
