#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/db/Engine.h"

using tv::db::Cell;

namespace tv::db {
// Date/time text as stored: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS".
std::string DateTimeToIsoText(const TDateTime& d, bool withTime) {
  if (!withTime) return DateToIso(d).str();
  unsigned short y, m, dd, h, mi, s, ms;
  DecodeDate(d, y, m, dd);
  DecodeTime(d, h, mi, s, ms);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", y, m, dd, h, mi, s);
  return buf;
}

// Parses stored ISO date or date-time text; false when it is not one.
bool IsoTextToDateTime(const std::string& s, TDateTime& out) {
  int y, m, d, h = 0, mi = 0, sec = 0;
  if (s.size() < 10 || s[4] != '-' || s[7] != '-') return false;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return false;
  if (s.size() >= 16) std::sscanf(s.c_str() + 10, "%*[ T]%2d:%2d:%2d", &h, &mi, &sec);
  TDateTime date;
  if (!TryEncodeDate(y, m, d, date)) return false;
  out = TDateTime(date.Val + (h * 3600.0 + mi * 60.0 + sec) / 86400.0);
  return true;
}

bool IsNumericType(TFieldType t) {
  switch (t) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftAutoInc: return true;
    default: return false;
  }
}

bool IsIntegerType(TFieldType t) { return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc; }

bool ParseBool(const std::string& text, bool& out) {
  std::string t = Lower(Trim(AnsiString(text)).str());
  if (t == "true" || t == "t" || t == "s" || t == "si" || t == "y" || t == "yes" || t == "1") { out = true; return true; }
  if (t == "false" || t == "f" || t == "n" || t == "no" || t == "0") { out = false; return true; }
  return false;
}

// Text of a number as the program shows it (DecimalSeparator).
AnsiString NumberText(const Cell& c, TFieldType t) {
  if (c.kind == Cell::Int) return IntToStr(c.i);
  if (c.kind == Cell::Real) {
    if (IsIntegerType(t) && std::floor(c.d) == c.d) return IntToStr(static_cast<long long>(c.d));
    return FloatToStr(c.d);
  }
  return AnsiString(c.s);
}

AnsiString CellText(const Cell& c, TFieldType t, bool display) {
  if (c.IsNull()) return AnsiString();
  switch (t) {
    case ftFloat: case ftCurrency: case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
      return NumberText(c, t);
    case ftDate: case ftDateTime: case ftTime: {
      if (c.kind == Cell::Text) {
        TDateTime d;
        if (!IsoTextToDateTime(c.s, d)) return AnsiString(c.s);
        if (t == ftDate || std::floor(d.Val) == d.Val) return DateToStr(d);
        return DateTimeToStr(d);
      }
      return t == ftDate ? DateToStr(TDateTime(c.Number())) : DateTimeToStr(TDateTime(c.Number()));
    }
    case ftBoolean: {
      bool b = c.kind == Cell::Text ? (ParseBool(c.s, b) && b) : c.Number() != 0;
      return b ? "True" : "False";
    }
    default:
      if (c.kind == Cell::Text) return AnsiString(c.s);
      if (c.kind == Cell::Int) return IntToStr(c.i);
      (void)display;
      return FloatToStr(c.d);
  }
}

Variant CellVariant(const Cell& c, TFieldType t) {
  if (c.IsNull()) return Variant::Null();
  switch (t) {
    case ftFloat: case ftCurrency:
      if (c.kind == Cell::Text) return Variant(AnsiString(c.s));
      return Variant(c.Number());
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
      if (c.kind == Cell::Int) return Variant(static_cast<long long>(c.i));
      if (c.kind == Cell::Real) return Variant(c.d);
      return Variant(AnsiString(c.s));
    case ftDate: case ftDateTime: case ftTime: {
      TDateTime d;
      if (c.kind == Cell::Text) {
        if (IsoTextToDateTime(c.s, d)) return Variant(d);
        return Variant(AnsiString(c.s));
      }
      return Variant(TDateTime(c.Number()));
    }
    case ftBoolean: {
      bool b = false;
      if (c.kind == Cell::Text) ParseBool(c.s, b);
      else b = c.Number() != 0;
      return Variant(b);
    }
    default:
      if (c.kind == Cell::Text) return Variant(AnsiString(c.s));
      if (c.kind == Cell::Int) return Variant(static_cast<long long>(c.i));
      return Variant(c.d);
  }
}

// Cell to store for a text typed into a field of type t; raises EConvertError.
Cell CellFromText(const AnsiString& text, TFieldType t, int size) {
  switch (t) {
    case ftString: case ftMemo: case ftBlob: case ftUnknown: {
      if (text.IsEmpty()) return Cell();
      if (t == ftString && size > 0 && text.Length() > size) return Cell::String(text.SubString(1, size).str());
      return Cell::String(text.str());
    }
    case ftFloat: case ftCurrency: {
      AnsiString s = Trim(text);
      if (s.IsEmpty()) return Cell();
      // As a person types it (thousands groups allowed); the program's own texts may also
      // carry an exponent.
      double v;
      if (TryStrToNumber(s, v)) return Cell::Float(v);
      return Cell::Float(StrToFloat(s));
    }
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: {
      AnsiString s = Trim(text);
      if (s.IsEmpty()) return Cell();
      return Cell::Integer(StrToInt64(s));
    }
    case ftDate: {
      AnsiString s = Trim(text);
      if (s.IsEmpty()) return Cell();
      TDateTime d;
      if (IsoTextToDateTime(s.str(), d)) return Cell::String(DateToIso(d).str());
      return Cell::String(DateToIso(StrToDate(s)).str());
    }
    case ftDateTime: case ftTime: {
      AnsiString s = Trim(text);
      if (s.IsEmpty()) return Cell();
      TDateTime d;
      if (!IsoTextToDateTime(s.str(), d)) d = StrToDateTime(s);
      return Cell::String(DateTimeToIsoText(d, true));
    }
    case ftBoolean: {
      if (Trim(text).IsEmpty()) return Cell();
      bool b;
      if (!ParseBool(text.str(), b)) throw EConvertError("'" + text + "' is not a valid boolean value");
      return Cell::Integer(b ? 1 : 0);
    }
  }
  return Cell::String(text.str());
}

// Key value of a Locate/Lookup/filter converted for a field; false when it cannot match.
bool CellFromVariant(const Variant& v, TFieldType t, int size, Cell& out) {
  if (v.IsNull() || v.IsEmpty()) {
    out = Cell();
    return true;
  }
  try {
    switch (v.Type()) {
      case VarType::String: {
        AnsiString s = v.AsString();
        if (IsNumericType(t)) {
          double d;
          AnsiString tt = Trim(s);
          if (tt.IsEmpty()) { out = Cell(); return true; }
          if (TryStrToFloat(tt, d)) { out = Cell::Float(d); return true; }
          char* end = nullptr;
          d = std::strtod(tt.c_str(), &end);
          if (end && *end == 0) { out = Cell::Float(d); return true; }
          return false;
        }
        (void)size;
        out = CellFromText(s, t, 0);
        return true;
      }
      case VarType::Int:
        if (t == ftString || t == ftMemo) { out = Cell::String(IntToStr(v.AsInt64()).str()); return true; }
        out = Cell::Integer(v.AsInt64());
        return true;
      case VarType::Double:
        if (t == ftString || t == ftMemo) { out = Cell::String(FloatToStr(v.AsDouble()).str()); return true; }
        if (t == ftDate) { out = Cell::String(DateToIso(TDateTime(v.AsDouble())).str()); return true; }
        out = Cell::Float(v.AsDouble());
        return true;
      case VarType::Bool:
        out = Cell::Integer(v.AsBool() ? 1 : 0);
        return true;
      case VarType::Date:
        if (t == ftDate) out = Cell::String(DateToIso(v.AsDateTime()).str());
        else if (t == ftDateTime) out = Cell::String(DateTimeToIsoText(v.AsDateTime(), true));
        else if (t == ftString) out = Cell::String(DateToStr(v.AsDateTime()).str());
        else out = Cell::Float(v.AsDateTime().Val);
        return true;
      default:
        return false;
    }
  } catch (const EConvertError&) {
    return false;
  }
}
}  // namespace tv::db

using namespace tv::db;

TField::TField(TDataSet* dataSet, const AnsiString& name, TFieldType type, int size, int index)
    : FieldName(name), dataSet_(dataSet), type_(type), size_(size), index_(index) {}

AnsiString TField::ClassName() const { return "TField"; }

int TField::DisplayWidth() const {
  switch (type_) {
    case ftString: return size_ > 0 ? size_ : 20;
    case ftDate: return 10;
    case ftDateTime: return 18;
    case ftBoolean: return 5;
    case ftMemo: return 10;
    case ftSmallint: return 6;
    case ftInteger: case ftAutoInc: case ftWord: return 11;
    default: return 15;
  }
}

bool TField::GetIsNull() const { return dataSet_->CurrentCell(index_).IsNull(); }

AnsiString TField::GetAsString() const { return CellText(dataSet_->CurrentCell(index_), type_, false); }

AnsiString TField::GetDisplayText() const { return CellText(dataSet_->CurrentCell(index_), type_, true); }

double TField::GetAsFloat() const {
  const Cell& c = dataSet_->CurrentCell(index_);
  switch (c.kind) {
    case Cell::Null: return 0;
    case Cell::Int: return static_cast<double>(c.i);
    case Cell::Real: return c.d;
    case Cell::Text: {
      TDateTime d;
      if ((type_ == ftDate || type_ == ftDateTime) && IsoTextToDateTime(c.s, d)) return d.Val;
      char* end = nullptr;
      double v = std::strtod(c.s.c_str(), &end);
      if (end && *end == 0 && !c.s.empty()) return v;
      return StrToFloat(AnsiString(c.s));
    }
  }
  return 0;
}

int TField::GetAsInteger() const {
  const Cell& c = dataSet_->CurrentCell(index_);
  if (c.kind == Cell::Int) return static_cast<int>(c.i);
  if (c.kind == Cell::Text && !IsNumericType(type_) && type_ != ftDate && type_ != ftDateTime) {
    char* end = nullptr;
    long long v = std::strtoll(c.s.c_str(), &end, 10);
    if (end && *end == 0 && !c.s.empty()) return static_cast<int>(v);
    return StrToInt(AnsiString(c.s));
  }
  return static_cast<int>(std::llround(GetAsFloat()));
}

TDateTime TField::GetAsDateTime() const {
  const Cell& c = dataSet_->CurrentCell(index_);
  if (c.IsNull()) return TDateTime(0.0);
  if (c.kind == Cell::Text) {
    TDateTime d;
    if (IsoTextToDateTime(c.s, d)) return d;
    return StrToDateTime(AnsiString(c.s));
  }
  return TDateTime(c.Number());
}

bool TField::GetAsBoolean() const {
  const Cell& c = dataSet_->CurrentCell(index_);
  if (c.IsNull()) return false;
  if (c.kind == Cell::Text) {
    bool b = false;
    if (!ParseBool(c.s, b)) throw EConvertError("'" + AnsiString(c.s) + "' is not a valid boolean value");
    return b;
  }
  return c.Number() != 0;
}

Variant TField::GetValue() const { return CellVariant(dataSet_->CurrentCell(index_), type_); }

void TField::Store(Cell&& c) { dataSet_->WriteCell(index_, std::move(c), this); }

void TField::SetAsString(const AnsiString& v) { Store(CellFromText(v, type_, size_)); }

void TField::SetAsFloat(const double& v) {
  switch (type_) {
    case ftString: case ftMemo: Store(Cell::String(FloatToStr(v).str())); break;
    case ftDate: Store(Cell::String(DateToIso(TDateTime(v)).str())); break;
    case ftDateTime: Store(Cell::String(DateTimeToIsoText(TDateTime(v), true))); break;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: Store(Cell::Integer(std::llround(v))); break;
    case ftBoolean: Store(Cell::Integer(v != 0 ? 1 : 0)); break;
    default: Store(Cell::Float(v)); break;
  }
}

void TField::SetAsInteger(const int& v) {
  switch (type_) {
    case ftString: case ftMemo: Store(Cell::String(IntToStr(v).str())); break;
    case ftFloat: case ftCurrency: Store(Cell::Float(v)); break;
    default: SetAsFloat(static_cast<double>(v)); break;
  }
}

void TField::SetAsDateTime(const TDateTime& v) {
  switch (type_) {
    case ftString: case ftMemo: Store(Cell::String(DateToStr(v).str())); break;
    case ftDate: Store(Cell::String(DateToIso(v).str())); break;
    case ftDateTime: case ftTime: Store(Cell::String(DateTimeToIsoText(v, true))); break;
    default: SetAsFloat(v.Val); break;
  }
}

void TField::SetAsBoolean(const bool& v) {
  if (type_ == ftString || type_ == ftMemo) Store(Cell::String(v ? "True" : "False"));
  else Store(Cell::Integer(v ? 1 : 0));
}

void TField::SetValue(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: case VarType::Null: Clear(); break;
    case VarType::Int:
      if (type_ == ftString || type_ == ftMemo) Store(Cell::String(IntToStr(v.AsInt64()).str()));
      else if (IsIntegerType(type_)) Store(Cell::Integer(v.AsInt64()));
      else SetAsFloat(static_cast<double>(v.AsInt64()));
      break;
    case VarType::Double: SetAsFloat(v.AsDouble()); break;
    case VarType::Bool: SetAsBoolean(v.AsBool()); break;
    case VarType::Date: SetAsDateTime(v.AsDateTime()); break;
    default: SetAsString(v.AsString()); break;
  }
}

void TField::Clear() { Store(Cell()); }
