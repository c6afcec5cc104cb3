#include "platform/core/Classes.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/core/Encoding.h"
#include "platform/core/SysUtils.h"

namespace {
[[noreturn]] void IndexError(int i) {
  throw EOutOfRange("Índice de lista fuera de rango (" + std::to_string(i) + ")");
}
}  // namespace

// ---- TComponent ----------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  destroying_ = true;
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int i) const {
  if (i < 0 || i >= ComponentCount()) IndexError(i);
  return components_[i];
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
  if (name.IsEmpty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->Name, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* c) {
  if (!c || c->owner_ == this) return;
  if (c->owner_) c->owner_->RemoveComponent(c);
  components_.push_back(c);
  c->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* c) {
  if (!c) return;
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it != components_.end()) components_.erase(it);
  if (c->owner_ == this) c->owner_ = nullptr;
}

// ---- TStrings --------------------------------------------------------------------

int TStrings::IndexOf(const AnsiString& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Get(i), s)) return i;
  return -1;
}

void TStrings::AddStrings(const TStrings& other) {
  BeginUpdate();
  for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
  EndUpdate();
}

void TStrings::Assign(const TStrings& other) {
  if (&other == this) return;
  BeginUpdate();
  Clear();
  AddStrings(other);
  EndUpdate();
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TStrings::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(this);
}

AnsiString TStrings::Text() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    out += Get(i).str();
    out += '\n';
  }
  return AnsiString(std::move(out));
}

void TStrings::SetText(const AnsiString& text) {
  BeginUpdate();
  Clear();
  const std::string& s = text.str();
  size_t p = 0;
  while (p < s.size()) {
    size_t e = s.find_first_of("\r\n", p);
    if (e == std::string::npos) {
      Add(AnsiString(s.substr(p)));
      break;
    }
    Add(AnsiString(s.substr(p, e - p)));
    p = e + ((s[e] == '\r' && e + 1 < s.size() && s[e + 1] == '\n') ? 2 : 1);
  }
  EndUpdate();
}

AnsiString TStrings::CommaText() const {
  std::string out;
  for (int i = 0; i < Count(); ++i) {
    if (i) out += ',';
    const std::string& s = Get(i).str();
    bool quote = s.empty() && Count() == 1;
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      out += c;
      if (c == '"') out += '"';
    }
    out += '"';
  }
  return AnsiString(std::move(out));
}

void TStrings::SetCommaText(const AnsiString& text) {
  BeginUpdate();
  Clear();
  const std::string& s = text.str();
  size_t p = 0;
  auto blank = [&](size_t i) { return static_cast<unsigned char>(s[i]) <= ' '; };
  while (p < s.size() && blank(p)) ++p;
  while (p < s.size()) {
    std::string item;
    if (s[p] == '"') {
      ++p;
      while (p < s.size()) {
        if (s[p] == '"') {
          if (p + 1 < s.size() && s[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += s[p++];
      }
    } else {
      while (p < s.size() && s[p] != ',' && !blank(p)) item += s[p++];
    }
    Add(AnsiString(item));
    while (p < s.size() && blank(p)) ++p;
    if (p < s.size() && s[p] == ',') {
      ++p;
      while (p < s.size() && blank(p)) ++p;
      if (p == s.size()) Add(AnsiString());
    }
  }
  EndUpdate();
}

AnsiString TStrings::Names(int i) const {
  const std::string& s = Get(i).str();
  size_t e = s.find('=');
  return e == std::string::npos ? AnsiString() : AnsiString(s.substr(0, e));
}

int TStrings::IndexOfName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = Get(i).str();
    size_t e = s.find('=');
    if (e != std::string::npos && SameText(AnsiString(s.substr(0, e)), name)) return i;
  }
  return -1;
}

AnsiString TStrings::Values(const AnsiString& name) const {
  int i = IndexOfName(name);
  if (i < 0) return AnsiString();
  const std::string& s = Get(i).str();
  return AnsiString(s.substr(s.find('=') + 1));
}

void TStrings::SetValue(const AnsiString& name, const AnsiString& value) {
  int i = IndexOfName(name);
  if (value.IsEmpty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i >= 0) Put(i, name + "=" + value);
  else Add(name + "=" + value);
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
  std::ifstream in(fileName.str(), std::ios::binary);
  if (!in) throw EFOpenError("No se puede abrir el archivo " + fileName);
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) throw EFOpenError("No se puede leer el archivo " + fileName);
  SetText(AnsiString(tv::encoding::DecodeFileText(buf.str())));
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  std::string data;
  for (int i = 0; i < Count(); ++i) {
    data += tv::encoding::Utf8ToCp1252(Get(i).str());
    data += "\r\n";
  }
  std::ofstream out(fileName.str(), std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("No se puede crear el archivo " + fileName);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw EFCreateError("No se puede escribir el archivo " + fileName);
}

// ---- TStringList -------------------------------------------------------------------

int TStringList::Compare(const AnsiString& a, const AnsiString& b) const {
  return CaseSensitive ? AnsiCompareStr(a, b) : CompareText(a, b);
}

const AnsiString& TStringList::Get(int i) const {
  if (i < 0 || i >= Count()) IndexError(i);
  return items_[i].s;
}

void TStringList::Put(int i, const AnsiString& s) {
  if (i < 0 || i >= Count()) IndexError(i);
  if (sorted_) throw Exception("Operación no permitida en una lista ordenada");
  items_[i].s = s;
  Changed();
}

TObject* TStringList::GetObject(int i) const {
  if (i < 0 || i >= Count()) IndexError(i);
  return items_[i].o;
}

void TStringList::PutObject(int i, TObject* o) {
  if (i < 0 || i >= Count()) IndexError(i);
  items_[i].o = o;
}

int TStringList::AddObject(const AnsiString& s, TObject* o) {
  int idx = Count();
  if (sorted_) {
    if (Find(s, idx)) {
      if (Duplicates == dupIgnore) return idx;
      if (Duplicates == dupError) throw Exception("La lista no admite duplicados: " + s);
      // dupAccept: after the equal ones, so equal lines keep their order
      while (idx < Count() && Compare(items_[idx].s, s) == 0) ++idx;
    }
  }
  items_.insert(items_.begin() + idx, Item{s, o});
  Changed();
  return idx;
}

void TStringList::Insert(int i, const AnsiString& s) {
  if (sorted_) throw Exception("Operación no permitida en una lista ordenada");
  if (i < 0 || i > Count()) IndexError(i);
  items_.insert(items_.begin() + i, Item{s, nullptr});
  Changed();
}

void TStringList::Delete(int i) {
  if (i < 0 || i >= Count()) IndexError(i);
  items_.erase(items_.begin() + i);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::IndexOf(const AnsiString& s) const {
  if (sorted_) {
    int idx;
    return Find(s, idx) ? idx : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(items_[i].s, s) == 0) return i;
  return -1;
}

bool TStringList::Find(const AnsiString& s, int& index) const {
  int lo = 0, hi = Count();
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (Compare(items_[mid].s, s) < 0) lo = mid + 1;
    else hi = mid;
  }
  index = lo;
  return lo < Count() && Compare(items_[lo].s, s) == 0;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return Compare(a.s, b.s) < 0; });
  Changed();
}

void TStringList::Exchange(int a, int b) {
  if (a < 0 || a >= Count()) IndexError(a);
  if (b < 0 || b >= Count()) IndexError(b);
  std::swap(items_[a], items_[b]);
  Changed();
}

void TStringList::SetSorted(bool v) {
  if (v && !sorted_) Sort();
  sorted_ = v;
}
