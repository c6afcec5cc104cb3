#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_set>

#include "platform/db/Engine.h"

using tv::db::Cell;
using tv::db::Record;

// ---- filter expressions --------------------------------------------------------------------
// `a='x' and b<>2 or (c='' and not d>=3)`: AND binds tighter than OR; '' matches null.
struct TDataSetFilter {
  enum Kind { Or, And, Not, Compare } kind = Compare;
  std::vector<std::shared_ptr<TDataSetFilter>> kids;
  // Compare: left/right are a field index or a literal
  int leftField = -1, rightField = -1;
  Cell leftLit, rightLit;
  bool leftIsNumberLit = false, rightIsNumberLit = false;
  std::string op;
};

namespace {
struct FilterParser {
  const std::string& s;
  size_t i = 0;
  const std::function<int(const std::string&)>& fieldIndex;

  void Ws() { while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i; }
  [[noreturn]] void Error(const std::string& what) {
    throw EDatabaseError(AnsiString("Filter expression incorrectly formatted: ") + what.c_str() + " in \"" + s.c_str() + "\"");
  }
  bool Keyword(const char* kw) {
    Ws();
    size_t n = std::strlen(kw);
    if (s.size() - i < n) return false;
    for (size_t k = 0; k < n; ++k)
      if (std::tolower(static_cast<unsigned char>(s[i + k])) != kw[k]) return false;
    if (i + n < s.size() && (std::isalnum(static_cast<unsigned char>(s[i + n])) || s[i + n] == '_')) return false;
    i += n;
    return true;
  }
  using P = std::shared_ptr<TDataSet::FilterExpr>;
  P ParseOr() {
    P left = ParseAnd();
    while (Keyword("or")) {
      P node = std::make_shared<TDataSet::FilterExpr>();
      node->kind = TDataSet::FilterExpr::Or;
      node->kids = {left, ParseAnd()};
      left = node;
    }
    return left;
  }
  P ParseAnd() {
    P left = ParseUnary();
    while (Keyword("and")) {
      P node = std::make_shared<TDataSet::FilterExpr>();
      node->kind = TDataSet::FilterExpr::And;
      node->kids = {left, ParseUnary()};
      left = node;
    }
    return left;
  }
  P ParseUnary() {
    if (Keyword("not")) {
      P node = std::make_shared<TDataSet::FilterExpr>();
      node->kind = TDataSet::FilterExpr::Not;
      node->kids = {ParseUnary()};
      return node;
    }
    Ws();
    if (i < s.size() && s[i] == '(') {
      ++i;
      P inner = ParseOr();
      Ws();
      if (i >= s.size() || s[i] != ')') Error("missing )");
      ++i;
      return inner;
    }
    P node = std::make_shared<TDataSet::FilterExpr>();
    node->kind = TDataSet::FilterExpr::Compare;
    Operand(node->leftField, node->leftLit, node->leftIsNumberLit);
    Ws();
    static const char* ops[] = {"<>", "!=", "<=", ">=", "=", "<", ">"};
    bool found = false;
    for (const char* op : ops) {
      size_t n = std::strlen(op);
      if (s.compare(i, n, op) == 0) {
        node->op = op;
        if (node->op == "!=") node->op = "<>";
        i += n;
        found = true;
        break;
      }
    }
    if (!found) {
      if (Keyword("is")) {
        bool negate = Keyword("not");
        if (!Keyword("null")) Error("expected null");
        node->op = negate ? "<>" : "=";
        node->rightLit = Cell();
        return node;
      }
      Error("expected a comparison");
    }
    Operand(node->rightField, node->rightLit, node->rightIsNumberLit);
    return node;
  }
  void Operand(int& field, Cell& lit, bool& isNumber) {
    Ws();
    if (i >= s.size()) Error("unexpected end");
    char c = s[i];
    if (c == '\'' || c == '"') {
      std::string v;
      ++i;
      while (true) {
        if (i >= s.size()) Error("unterminated text");
        if (s[i] == c) {
          if (i + 1 < s.size() && s[i + 1] == c) { v += c; i += 2; continue; }
          ++i;
          break;
        }
        v += s[i++];
      }
      lit = v.empty() ? Cell() : Cell::String(v);
      return;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
      size_t b = i++;
      while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.' || s[i] == 'e' || s[i] == 'E'))
        ++i;
      lit = Cell::Float(std::strtod(s.substr(b, i - b).c_str(), nullptr));
      isNumber = true;
      return;
    }
    std::string name;
    if (c == '[') {
      size_t e = s.find(']', i);
      if (e == std::string::npos) Error("missing ]");
      name = s.substr(i + 1, e - i - 1);
      i = e + 1;
    } else {
      size_t b = i;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || s[i] == '.' ||
                              static_cast<unsigned char>(s[i]) >= 0x80))
        ++i;
      name = s.substr(b, i - b);
    }
    if (name.empty()) Error("unexpected character");
    if (tv::db::Lower(name) == "null") { lit = Cell(); return; }
    field = fieldIndex(name);
    if (field < 0) Error("field '" + name + "' not found");
  }
};

int CompareCells(const Cell& a, const Cell& b, TFieldType t) {
  bool numeric = tv::db::IsNumericType(t) || t == ftBoolean ||
                 (a.kind != Cell::Text && b.kind != Cell::Text);
  if (numeric) {
    double x = a.kind == Cell::Text ? std::strtod(a.s.c_str(), nullptr) : a.Number();
    double y = b.kind == Cell::Text ? std::strtod(b.s.c_str(), nullptr) : b.Number();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  std::string x = a.kind == Cell::Text ? a.s : tv::db::CellText(a, t, false).str();
  std::string y = b.kind == Cell::Text ? b.s : tv::db::CellText(b, t, false).str();
  return x.compare(y) < 0 ? -1 : (x == y ? 0 : 1);
}

bool IsBlank(const Cell& c) { return c.IsNull() || (c.kind == Cell::Text && c.s.empty()); }

// Literal of a filter adapted to the field it is compared with.
Cell Adapt(const Cell& lit, TFieldType t) {
  if (lit.kind != Cell::Text) return lit;
  if (tv::db::IsNumericType(t)) {
    char* end = nullptr;
    double d = std::strtod(lit.s.c_str(), &end);
    if (end && *end == 0) return Cell::Float(d);
    double v;
    if (TryStrToFloat(AnsiString(lit.s), v)) return Cell::Float(v);
    return lit;
  }
  if (t == ftDate || t == ftDateTime) {
    TDateTime d;
    if (tv::db::IsoTextToDateTime(lit.s, d)) return Cell::String(tv::db::DateTimeToIsoText(d, t == ftDateTime));
    if (TryStrToDate(AnsiString(lit.s), d)) return Cell::String(tv::db::DateTimeToIsoText(d, t == ftDateTime));
    return lit;
  }
  if (t == ftBoolean) {
    bool b;
    if (tv::db::ParseBool(lit.s, b)) return Cell::Integer(b ? 1 : 0);
  }
  return lit;
}
}  // namespace

// ---- fields list -------------------------------------------------------------------------------
TField* TFields::operator[](int i) const {
  if (i < 0 || i >= static_cast<int>(ds_->fields_.size())) throw EDatabaseError("List index out of bounds (" + IntToStr(i) + ")");
  return ds_->fields_[static_cast<size_t>(i)].get();
}
int TFields::Count() const { return static_cast<int>(ds_->fields_.size()); }

// ---- dataset ------------------------------------------------------------------------------
TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  for (TDataSource* ds : sources_) ds->SetDataSet(nullptr);
  tv::db::UnregisterOpen(this);
}

void TDataSet::ReadOnlyError() const {
  tv::db::ThrowEngine(DBIERR_READONLY, "Cannot modify a read-only dataset.");
}

void TDataSet::CreateFields(const std::vector<ColumnDef>& columns) {
  bool same = columns.size() == fields_.size();
  for (size_t k = 0; same && k < columns.size(); ++k)
    same = fields_[k]->FieldName == AnsiString(columns[k].name) && fields_[k]->DataType() == columns[k].type &&
           fields_[k]->Size() == columns[k].size;
  if (same) return;
  fields_.clear();
  int idx = 0;
  for (const auto& c : columns) {
    std::unique_ptr<TField> f;
    AnsiString n(c.name);
    switch (c.type) {
      case ftString: f = std::make_unique<TStringField>(this, n, c.type, c.size, idx); break;
      case ftFloat: f = std::make_unique<TFloatField>(this, n, c.type, c.size, idx); break;
      case ftCurrency: f = std::make_unique<TCurrencyField>(this, n, c.type, c.size, idx); break;
      case ftSmallint: f = std::make_unique<TSmallintField>(this, n, c.type, c.size, idx); break;
      case ftInteger: case ftAutoInc: case ftWord: f = std::make_unique<TIntegerField>(this, n, c.type, c.size, idx); break;
      case ftDate: f = std::make_unique<TDateField>(this, n, c.type, c.size, idx); break;
      case ftDateTime: case ftTime: f = std::make_unique<TDateTimeField>(this, n, c.type, c.size, idx); break;
      case ftBoolean: f = std::make_unique<TBooleanField>(this, n, c.type, c.size, idx); break;
      case ftMemo: case ftBlob: f = std::make_unique<TMemoField>(this, n, c.type, c.size, idx); break;
      default: f = std::make_unique<TField>(this, n, c.type, c.size, idx); break;
    }
    fields_.push_back(std::move(f));
    ++idx;
  }
}

void TDataSet::Open() {
  if (state_ != dsInactive) return;
  std::vector<ColumnDef> cols;
  DoOpen(cols);
  CreateFields(cols);
  state_ = dsBrowse;
  try {
    ApplyView(-1, 0);
  } catch (...) {
    state_ = dsInactive;
    DoClose();
    throw;
  }
  bof_ = true;
  eof_ = view_.empty();
  MarkSynced();
  if (AfterOpen) AfterOpen(this);
  DataEvent(static_cast<int>(TDataSource::Event::Active));
}

void TDataSet::Close() {
  if (state_ == dsInactive) return;
  if (BeforeClose) BeforeClose(this);
  state_ = dsInactive;
  DoClose();
  view_.clear();
  view_.shrink_to_fit();
  cur_.reset();
  curLoaded_ = false;
  pos_ = -1;
  bof_ = eof_ = true;
  modified_ = false;
  tv::db::UnregisterOpen(this);
  DataEvent(static_cast<int>(TDataSource::Event::Active));
}

void TDataSet::ScanAll(const std::function<void(std::int64_t, const Record&)>& fn) {
  std::vector<std::int64_t> ids;
  LoadOrder(ids);
  Record rec;
  for (size_t k = 0; k < ids.size(); ++k) {
    int n = static_cast<int>(std::min<size_t>(64, ids.size() - k));
    if (ReadRecord(ids[k], rec, &ids[k], n)) fn(ids[k], rec);
  }
}

bool TDataSet::ReadAllRowsAtOnce(const std::function<void(const Record&)>& row) {
  First();
  if (eof_ || filtered_ || !sources_.empty() || AfterScroll || state_ != dsBrowse || !ScanAllIsView()) return false;
  ScanAll([&](std::int64_t, const Record& r) { row(r); });
  // Where the walk ends: on the last row, at Eof; Bof only when that row is also the first.
  AllRows();
  GoTo(static_cast<int>(view_.size()) - 1);
  eof_ = true;
  bof_ = view_.size() == 1;
  return true;
}

void TDataSet::ApplyView(std::int64_t keepId, int fallbackPos) {
  std::vector<std::int64_t> v;
  if (filtered_ && !filterText_.Trim().IsEmpty()) {
    auto byName = [this](const std::string& n) {
      TField* f = FindField(AnsiString(n));
      if (!f) {
        size_t dot = n.rfind('.');
        if (dot != std::string::npos) f = FindField(AnsiString(n.substr(dot + 1)));
      }
      return f ? f->Index() : -1;
    };
    std::function<int(const std::string&)> fi = byName;
    {
      std::vector<std::int64_t> rest;  // a filter looks at every row
      while (MoreRows(rest, 0)) {
      }
    }
    std::string text = filterText_.str();
    FilterParser p{text, 0, fi};
    filter_ = p.ParseOr();
    p.Ws();
    if (p.i != text.size()) p.Error("unexpected text");
    ScanAll([&](std::int64_t id, const Record& r) {
      if (RecordMatches(r)) v.push_back(id);
    });
  } else {
    filter_.reset();
    LoadOrder(v);
    // filtered without a condition: every row, and no more pages to read on
    if (filtered_)
      while (MoreRows(v, 0)) {
      }
  }
  view_.swap(v);
  viewSorted_ = std::is_sorted(view_.begin(), view_.end());
  int p = keepId >= 0 ? PosOfId(keepId) : -1;
  if (!filtered_) {
    // A source read in pages: read on until the kept row (or the fallback position) shows.
    while (keepId >= 0 && p < 0) {
      size_t from = view_.size();
      if (!MoreRows(view_, 4096)) break;
      auto it = std::find(view_.begin() + static_cast<std::ptrdiff_t>(from), view_.end(), keepId);
      if (it != view_.end()) p = static_cast<int>(it - view_.begin());
    }
    while (p < 0 && fallbackPos >= static_cast<int>(view_.size()) &&
           MoreRows(view_, static_cast<size_t>(fallbackPos) + 1 - view_.size())) {
    }
    viewSorted_ = std::is_sorted(view_.begin(), view_.end());
  }
  if (p < 0) p = std::min(fallbackPos, static_cast<int>(view_.size()) - 1);
  if (view_.empty()) p = -1;
  if (p < 0 && !view_.empty()) p = 0;
  pos_ = p;
  curLoaded_ = false;
  if (view_.empty()) bof_ = eof_ = true;
}

bool TDataSet::RecordMatches(const Record& rec) const {
  if (!filter_) return true;
  std::function<bool(const FilterExpr&)> eval = [&](const FilterExpr& e) -> bool {
    switch (e.kind) {
      case FilterExpr::Or: return eval(*e.kids[0]) || eval(*e.kids[1]);
      case FilterExpr::And: return eval(*e.kids[0]) && eval(*e.kids[1]);
      case FilterExpr::Not: return !eval(*e.kids[0]);
      case FilterExpr::Compare: break;
    }
    TFieldType t = ftString;
    Cell a, b;
    if (e.leftField >= 0) {
      t = fields_[static_cast<size_t>(e.leftField)]->DataType();
      a = rec[static_cast<size_t>(e.leftField)];
    }
    if (e.rightField >= 0) {
      if (e.leftField < 0) t = fields_[static_cast<size_t>(e.rightField)]->DataType();
      b = rec[static_cast<size_t>(e.rightField)];
    }
    if (e.leftField < 0) a = Adapt(e.leftLit, t);
    if (e.rightField < 0) b = Adapt(e.rightLit, t);
    bool blankA = IsBlank(a), blankB = IsBlank(b);
    if (blankA || blankB) {
      bool both = blankA && blankB;
      if (e.op == "=") return both;
      if (e.op == "<>") return !both;
      return false;
    }
    int c = CompareCells(a, b, t);
    if (e.op == "=") return c == 0;
    if (e.op == "<>") return c != 0;
    if (e.op == "<") return c < 0;
    if (e.op == ">") return c > 0;
    if (e.op == "<=") return c <= 0;
    return c >= 0;
  };
  return eval(*filter_);
}

int TDataSet::PosOfId(std::int64_t id) const {
  if (viewSorted_) {
    auto it = std::lower_bound(view_.begin(), view_.end(), id);
    if (it != view_.end() && *it == id) return static_cast<int>(it - view_.begin());
    return -1;
  }
  auto it = std::find(view_.begin(), view_.end(), id);
  return it == view_.end() ? -1 : static_cast<int>(it - view_.begin());
}

const Record* TDataSet::RecordAt(int pos) const {
  static thread_local Record buf;
  if (pos < 0 || pos >= static_cast<int>(view_.size())) return nullptr;
  // read ahead in the direction of travel
  int start = pos;
  if (lastRead_ >= 0 && pos < lastRead_) start = std::max(0, pos - 63);
  lastRead_ = pos;
  int n = static_cast<int>(std::min<size_t>(64, view_.size() - static_cast<size_t>(start)));
  const std::int64_t* hint = &view_[static_cast<size_t>(start)];
  auto* self = const_cast<TDataSet*>(this);
  if (!self->ReadRecord(view_[static_cast<size_t>(pos)], buf, hint, n)) return nullptr;
  return &buf;
}

void TDataSet::LoadCurrent() const {
  if (curLoaded_) return;
  if (!cur_) cur_ = std::make_unique<Record>();
  const Record* r = RecordAt(pos_);
  if (r) *cur_ = *r;
  else cur_->assign(fields_.size(), Cell());
  if (cur_->size() < fields_.size()) cur_->resize(fields_.size());
  curLoaded_ = true;
}

const Cell& TDataSet::CurrentCell(int fieldIndex) const {
  static const Cell null;
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  SyncIfChanged();
  if (paintRow_ >= 0 && paintRow_ != ActiveRow()) {
    int r = paintRow_;
    if (state_ == dsInsert && r > ActiveRow()) --r;
    const Record* rec = RecordAt(r);
    if (!rec || fieldIndex < 0 || fieldIndex >= static_cast<int>(rec->size())) return null;
    return (*rec)[static_cast<size_t>(fieldIndex)];
  }
  if (state_ == dsBrowse) {
    if (pos_ < 0) return null;
    LoadCurrent();
  }
  if (!cur_ || fieldIndex < 0 || fieldIndex >= static_cast<int>(cur_->size())) return null;
  return (*cur_)[static_cast<size_t>(fieldIndex)];
}

void TDataSet::WriteCell(int fieldIndex, Cell&& value, TField* field) {
  if (state_ != dsEdit && state_ != dsInsert) throw EDatabaseError("Dataset not in edit or insert mode");
  if (field && field->ReadOnly) throw EDatabaseError("Field '" + field->FieldName + "' cannot be modified");
  (*cur_)[static_cast<size_t>(fieldIndex)] = std::move(value);
  changed_[static_cast<size_t>(fieldIndex)] = true;
  modified_ = true;
  DataEvent(static_cast<int>(TDataSource::Event::Record), field);
}

// Binary search of where a row goes in the (unfiltered) view.
int TDataSet::PlaceOf(std::int64_t id, const Record& rec) {
  int lo = 0, hi = static_cast<int>(view_.size());
  Record probe;
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    std::int64_t other = view_[static_cast<size_t>(mid)];
    if (!ReadRecord(other, probe, &other, 1)) return -1;  // a row gone behind our back
    if (CompareInOrder(other, probe, id, rec) < 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// Position of a row in the view: by its old values when known, else by a scan.
int TDataSet::FindRow(std::int64_t id, const Record* old) {
  if (old) {
    int p = PlaceOf(id, *old);
    if (p >= 0 && p < static_cast<int>(view_.size()) && view_[static_cast<size_t>(p)] == id) return p;
  }
  return PosOfId(id);
}

int TDataSet::PlaceRow(std::int64_t id) {
  Record rec;
  if (!ReadFresh(id, rec)) return -2;  // deleted since: nothing to show
  int p = PlaceOf(id, rec);
  if (p < 0) return -1;
  view_.insert(view_.begin() + p, id);
  auto n = static_cast<int>(view_.size());
  if (viewSorted_ && ((p > 0 && view_[static_cast<size_t>(p - 1)] > id) || (p + 1 < n && view_[static_cast<size_t>(p + 1)] < id)))
    viewSorted_ = false;
  if (p <= pos_) ++pos_;
  return p;
}

// Applies the row changes other cursors made instead of reloading the whole order.
bool TDataSet::PatchView() {
  if (filtered_ || !PlacesInOrder()) return false;
  std::vector<RowNote> notes;
  if (!RowChangesSinceSync(notes)) return false;
  for (const auto& n : notes) {
    if (n.op == 'u' || n.op == 'd') {
      int p = FindRow(n.id, n.old.get());
      if (p >= 0) {
        view_.erase(view_.begin() + p);
        if (p < pos_ || pos_ >= static_cast<int>(view_.size())) --pos_;
      }
    }
    if ((n.op == 'u' || n.op == 'i') && PlaceRow(n.id) == -1) return false;
  }
  if (pos_ < 0 && !view_.empty()) pos_ = 0;
  curLoaded_ = false;
  if (view_.empty()) bof_ = eof_ = true;
  return true;
}

void TDataSet::SyncIfChanged() const {
  if (state_ != dsBrowse || syncing_) return;
  if (!SourceChanged()) return;
  auto* self = const_cast<TDataSet*>(this);
  self->syncing_ = true;
  try {
    // a patch that cannot finish leaves a reload to put everything right
    if (self->PatchView()) {
      self->MarkSynced();
      self->syncing_ = false;
      return;
    }
    self->Resync();
  } catch (...) {
    self->syncing_ = false;
    throw;
  }
  self->syncing_ = false;
}

void TDataSet::Resync() {
  std::int64_t id = pos_ >= 0 && pos_ < static_cast<int>(view_.size()) ? view_[static_cast<size_t>(pos_)] : -1;
  bool wasEof = eof_, wasBof = bof_;
  DropCache();
  ApplyView(id, std::max(pos_, 0));
  MarkSynced();
  if (!view_.empty()) {
    eof_ = wasEof && pos_ == static_cast<int>(view_.size()) - 1;
    bof_ = wasBof && pos_ == 0;
  }
}

// ---- navigation --------------------------------------------------------------------------------
void TDataSet::CheckBrowseMode() {
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  if (state_ == dsEdit || state_ == dsInsert) {
    if (modified_) Post();
    else Cancel();
  }
}

void TDataSet::Scrolled() {
  if (AfterScroll) AfterScroll(this);
  DataEvent(static_cast<int>(TDataSource::Event::Scroll));
}

void TDataSet::GoTo(int pos, bool scrolled) {
  pos_ = pos;
  curLoaded_ = false;
  if (scrolled) Scrolled();
}

void TDataSet::First() {
  CheckBrowseMode();
  SyncIfChanged();
  GoTo(view_.empty() ? -1 : 0);
  bof_ = true;
  eof_ = view_.empty();
}

void TDataSet::Last() {
  CheckBrowseMode();
  SyncIfChanged();
  AllRows();
  GoTo(static_cast<int>(view_.size()) - 1);
  eof_ = true;
  bof_ = view_.empty();
}

void TDataSet::Next() {
  CheckBrowseMode();
  SyncIfChanged();
  if (pos_ + 1 >= static_cast<int>(view_.size()) && !filtered_) MoreRows(view_, 256);
  if (pos_ + 1 < static_cast<int>(view_.size())) {
    bof_ = eof_ = false;
    GoTo(pos_ + 1);
  } else {
    eof_ = true;
  }
}

void TDataSet::Prior() {
  CheckBrowseMode();
  SyncIfChanged();
  if (pos_ > 0) {
    bof_ = eof_ = false;
    GoTo(pos_ - 1);
  } else {
    bof_ = true;
  }
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  SyncIfChanged();
  if (distance > 0 && pos_ + distance >= static_cast<int>(view_.size()) && !filtered_)
    MoreRows(view_, static_cast<size_t>(pos_ + distance + 1) - view_.size());
  if (view_.empty()) return 0;
  int target = std::clamp(pos_ + distance, 0, static_cast<int>(view_.size()) - 1);
  int moved = target - pos_;
  bof_ = distance < 0 && moved != distance;
  eof_ = distance > 0 && moved != distance;
  if (moved != 0) GoTo(target);
  return moved;
}

bool TDataSet::GetEof() const {
  SyncIfChanged();
  return state_ == dsInactive || eof_;
}
bool TDataSet::GetBof() const {
  SyncIfChanged();
  return state_ == dsInactive || bof_;
}

bool TDataSet::IsEmpty() const {
  SyncIfChanged();
  if (view_.empty() && state_ != dsInactive && !filtered_) const_cast<TDataSet*>(this)->MoreRows(const_cast<TDataSet*>(this)->view_, 1);
  return view_.empty() && state_ != dsInsert;
}

int TDataSet::GetRecNo() const {
  SyncIfChanged();
  if (state_ == dsInsert || pos_ < 0) return -1;
  return pos_ + 1;
}

void TDataSet::SetRecNo(const int& v) {
  CheckBrowseMode();
  SyncIfChanged();
  if (v > static_cast<int>(view_.size()) && !filtered_) MoreRows(view_, static_cast<size_t>(v) - view_.size());
  if (v < 1 || v > static_cast<int>(view_.size())) return;
  bof_ = eof_ = false;
  GoTo(v - 1);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  Resync();
  DataEvent(static_cast<int>(TDataSource::Event::DataSet));
}

// ---- editing ----------------------------------------------------------------------------------
void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  SyncIfChanged();
  if (view_.empty()) {
    Insert();
    return;
  }
  if (!CanModify()) ReadOnlyError();
  if (BeforeEdit) BeforeEdit(this);
  curLoaded_ = false;
  LoadCurrent();
  seen_ = std::make_unique<Record>(*cur_);
  changed_.assign(fields_.size(), false);
  modified_ = false;
  state_ = dsEdit;
  DataEvent(static_cast<int>(TDataSource::Event::State));
}

void TDataSet::Append() { BeginNewRecord(true); }

void TDataSet::Insert() { BeginNewRecord(false); }

// Append puts the new row after the last one; Insert before the current one.
void TDataSet::BeginNewRecord(bool append) {
  CheckBrowseMode();
  if (!CanModify()) ReadOnlyError();
  if (BeforeInsert) BeforeInsert(this);
  SyncIfChanged();
  if (!cur_) cur_ = std::make_unique<Record>();
  cur_->assign(fields_.size(), Cell());
  curLoaded_ = true;
  changed_.assign(fields_.size(), false);
  modified_ = false;
  appending_ = append;
  if (append) {
    AllRows();  // the end of the order
    insertPos_ = static_cast<int>(view_.size());
    eof_ = true;
    bof_ = false;
  } else {
    insertPos_ = std::max(pos_, 0);
  }
  state_ = dsInsert;
  if (OnNewRecord) OnNewRecord(this);
  if (AfterInsert) AfterInsert(this);
  DataEvent(static_cast<int>(TDataSource::Event::State));
  DataEvent(static_cast<int>(TDataSource::Event::DataSet));
}

void TDataSet::Post() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(static_cast<int>(TDataSource::Event::Update));
  if (BeforePost) BeforePost(this);
  if (state_ == dsInsert) {
    // the whole order first: a row written now would show again in a later page
    AllRows();
    std::int64_t id = DoInsert(*cur_);
    std::vector<bool> all(fields_.size(), true);
    state_ = dsBrowse;
    if (!filtered_ && OrderDependsOn(all) && PlacesInOrder()) {
      // keyed order: the new row goes to its place without reloading the order
      int at = PlaceRow(id);
      if (at < 0) ApplyView(id, insertPos_);
      else pos_ = at;
    } else if (filtered_ || OrderDependsOn(all) || !appending_) {
      if (!filtered_ && !OrderDependsOn(all)) {
        // unkeyed table: the row shows where it was inserted for the life of this view
        view_.insert(view_.begin() + std::min<size_t>(static_cast<size_t>(insertPos_), view_.size()), id);
        viewSorted_ = std::is_sorted(view_.begin(), view_.end());
        pos_ = PosOfId(id);
      } else {
        ApplyView(id, insertPos_);
      }
    } else {
      view_.push_back(id);
      if (viewSorted_ && view_.size() > 1 && view_[view_.size() - 2] > id) viewSorted_ = false;
      pos_ = static_cast<int>(view_.size()) - 1;
    }
  } else {
    std::int64_t id = view_[static_cast<size_t>(pos_)];
    if (OrderDependsOn(changed_)) AllRows();
    DoUpdate(id, *cur_, changed_);
    state_ = dsBrowse;
    if (!filtered_ && OrderDependsOn(changed_) && PlacesInOrder()) {
      int was = pos_;
      view_.erase(view_.begin() + pos_);
      pos_ = -1;
      int at = PlaceRow(id);
      if (at < 0) ApplyView(id, was);
      else pos_ = at;
    } else if (filtered_ || OrderDependsOn(changed_)) {
      ApplyView(id, pos_);
    }
  }
  MarkSynced();
  curLoaded_ = false;
  modified_ = false;
  eof_ = bof_ = false;
  if (view_.empty()) eof_ = bof_ = true;
  if (AfterPost) AfterPost(this);
  DataEvent(static_cast<int>(TDataSource::Event::State));
  DataEvent(static_cast<int>(TDataSource::Event::DataSet));
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  bool inserting = state_ == dsInsert;
  state_ = dsBrowse;
  curLoaded_ = false;
  modified_ = false;
  if (inserting) {
    eof_ = view_.empty();
    bof_ = view_.empty();
  }
  DataEvent(static_cast<int>(TDataSource::Event::State));
  DataEvent(static_cast<int>(TDataSource::Event::DataSet));
}

void TDataSet::Delete() {
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (state_ == dsEdit) Cancel();
  SyncIfChanged();
  if (view_.empty() || pos_ < 0) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  if (!CanModify()) ReadOnlyError();
  if (BeforeDelete) BeforeDelete(this);
  std::int64_t id = view_[static_cast<size_t>(pos_)];
  curLoaded_ = false;
  LoadCurrent();
  seen_ = std::make_unique<Record>(*cur_);
  DoDelete(id);
  view_.erase(view_.begin() + pos_);
  ReadOnTo(pos_);  // the row after the deleted one may lie beyond the ids read so far
  if (pos_ >= static_cast<int>(view_.size())) pos_ = static_cast<int>(view_.size()) - 1;
  curLoaded_ = false;
  MarkSynced();
  bof_ = eof_ = view_.empty();
  if (AfterDelete) AfterDelete(this);
  DataEvent(static_cast<int>(TDataSource::Event::DataSet));
}

// ---- fields by name ---------------------------------------------------------------------------
TField* TDataSet::FindField(const AnsiString& name) const {
  AnsiString n = name.Trim();
  for (const auto& f : fields_)
    if (SameText(f->FieldName, n)) return f.get();
  return nullptr;
}

TField* TDataSet::FieldByName(const AnsiString& name) const {
  TField* f = FindField(name);
  if (!f) {
    AnsiString owner = Name.IsEmpty() ? AnsiString(ClassName()) : Name;
    throw EDatabaseError(owner + ": Field '" + name + "' not found");
  }
  return f;
}

void TDataSet::GetFieldNames(TStrings* list) const {
  list->Clear();
  for (const auto& f : fields_) list->Add(f->FieldName);
}

// ---- locate -------------------------------------------------------------------------------
namespace {
std::vector<std::string> SplitFields(const AnsiString& s) {
  std::vector<std::string> r;
  std::string cur;
  for (char c : s.str()) {
    if (c == ';' || c == ',') {
      r.push_back(Trim(AnsiString(cur)).str());
      cur.clear();
    } else {
      cur += c;
    }
  }
  r.push_back(Trim(AnsiString(cur)).str());
  r.erase(std::remove(r.begin(), r.end(), std::string()), r.end());
  return r;
}

// Folding for loCaseInsensitive: case and the accents of Spanish vowels ("alv" finds
// "ÁLVAREZ"); ñ stays a letter of its own.
std::string Fold(const std::string& s) {
  std::string low = AnsiLowerCase(AnsiString(s)).str();
  std::string out;
  out.reserve(low.size());
  for (size_t i = 0; i < low.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(low[i]);
    if (c == 0xC3 && i + 1 < low.size()) {
      switch (static_cast<unsigned char>(low[i + 1])) {
        case 0xA1: case 0xA0: case 0xA4: case 0xA2: out += 'a'; ++i; continue;  // á à ä â
        case 0xA9: case 0xA8: case 0xAB: case 0xAA: out += 'e'; ++i; continue;  // é è ë ê
        case 0xAD: case 0xAC: case 0xAF: case 0xAE: out += 'i'; ++i; continue;  // í ì ï î
        case 0xB3: case 0xB2: case 0xB6: case 0xB4: out += 'o'; ++i; continue;  // ó ò ö ô
        case 0xBA: case 0xB9: case 0xBC: case 0xBB: out += 'u'; ++i; continue;  // ú ù ü û
        default: break;
      }
    }
    out += low[i];
  }
  return out;
}
}  // namespace

bool TDataSet::Locate(const AnsiString& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  SyncIfChanged();
  std::vector<std::string> names = SplitFields(keyFields);
  if (names.empty()) return false;
  std::vector<int> idx;
  std::vector<const TField*> flds;
  for (const auto& n : names) {
    TField* f = FieldByName(AnsiString(n));
    idx.push_back(f->Index());
    flds.push_back(f);
  }
  std::vector<Variant> vals;
  if (keyValues.IsArray()) {
    for (int k = 0; k <= keyValues.ArrayHighBound(); ++k) vals.push_back(keyValues[k]);
  } else {
    vals.push_back(keyValues);
  }
  if (vals.size() != idx.size()) throw EDatabaseError("Number of key values does not match the key fields");
  AllRows();
  bool ci = options.Contains(loCaseInsensitive), partial = options.Contains(loPartialKey);

  int found = -1;
  if (!ci && !partial) {
    Record key(idx.size());
    for (size_t k = 0; k < idx.size(); ++k)
      if (!tv::db::CellFromVariant(vals[k], flds[k]->DataType(), flds[k]->Size(), key[k])) return false;
    std::vector<std::int64_t> ids;
    if (FindExact(idx, key, ids)) {
      if (ids.empty()) return false;
      if (viewSorted_) {
        for (auto id : ids) {
          int p = PosOfId(id);
          if (p >= 0 && (found < 0 || p < found)) found = p;
        }
      } else {
        std::unordered_set<std::int64_t> set(ids.begin(), ids.end());
        for (size_t p = 0; p < view_.size(); ++p)
          if (set.count(view_[p])) { found = static_cast<int>(p); break; }
      }
    } else {
      for (int p = 0; p < static_cast<int>(view_.size()) && found < 0; ++p) {
        const Record* r = RecordAt(p);
        if (!r) continue;
        bool all = true;
        for (size_t k = 0; k < idx.size() && all; ++k) {
          const Cell& c = (*r)[static_cast<size_t>(idx[k])];
          const Cell& want = key[k];
          if (IsBlank(want)) all = IsBlank(c);
          else if (IsBlank(c)) all = false;
          else all = CompareCells(c, want, flds[k]->DataType()) == 0;
        }
        if (all) found = p;
      }
    }
  } else {
    std::vector<std::string> wanted;
    for (size_t k = 0; k < vals.size(); ++k) {
      std::string w = vals[k].AsString().str();
      wanted.push_back(ci ? Fold(w) : w);
    }
    auto matches = [&](const Record& r) {
      bool all = true;
      for (size_t k = 0; k < idx.size() && all; ++k) {
        std::string have = tv::db::CellText(r[static_cast<size_t>(idx[k])], flds[k]->DataType(), false).str();
        if (ci) have = Fold(have);
        all = partial ? have.compare(0, wanted[k].size(), wanted[k]) == 0 : have == wanted[k];
      }
      return all;
    };
    // through an index when the source can narrow the rows; the check above decides
    bool narrowed = VisitCandidates(idx, wanted, ci, partial, [&](std::int64_t id) {
      Record r;
      if (!ReadRecord(id, r, &id, 1) || !matches(r)) return false;
      int p = viewSorted_ ? PosOfId(id) : (!filtered_ && PlacesInOrder() ? FindRow(id, &r) : PosOfId(id));
      if (p < 0) return false;
      found = p;
      return true;
    });
    for (int p = 0; !narrowed && p < static_cast<int>(view_.size()) && found < 0; ++p) {
      const Record* r = RecordAt(p);
      if (r && matches(*r)) found = p;
    }
  }
  if (found < 0) return false;
  bof_ = eof_ = false;
  GoTo(found);
  return true;
}

Variant TDataSet::Lookup(const AnsiString& keyFields, const Variant& keyValues, const AnsiString& resultFields) {
  if (state_ == dsInactive) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  CheckBrowseMode();
  // search, read, and put the cursor back where it was
  int saved = pos_;
  bool sb = bof_, se = eof_;
  int savedDisable = disableCount_;
  disableCount_ = 1;
  Variant result = Variant::Null();
  try {
    if (Locate(keyFields, keyValues, TLocateOptions())) {
      std::vector<std::string> names = SplitFields(resultFields);
      if (names.size() == 1) {
        result = FieldByName(AnsiString(names[0]))->GetValue();
      } else {
        std::vector<Variant> items;
        for (const auto& n : names) items.push_back(FieldByName(AnsiString(n))->GetValue());
        result = Variant::Array(items);
      }
    }
  } catch (...) {
    disableCount_ = savedDisable;
    throw;
  }
  pos_ = saved;
  bof_ = sb;
  eof_ = se;
  curLoaded_ = false;
  disableCount_ = savedDisable;
  pendingChange_ = false;
  return result;
}

// ---- filter ------------------------------------------------------------------------------
void TDataSet::SetFilter(const AnsiString& v) {
  if (filterText_ == v) return;
  filterText_ = v;
  if (state_ != dsInactive && filtered_) {
    CheckBrowseMode();
    ApplyView(-1, 0);
    bof_ = true;
    eof_ = view_.empty();
    DataEvent(static_cast<int>(TDataSource::Event::DataSet));
  }
}

void TDataSet::SetFiltered(const bool& v) {
  if (filtered_ == v) return;
  filtered_ = v;
  if (state_ != dsInactive) {
    CheckBrowseMode();
    ApplyView(-1, 0);
    bof_ = true;
    eof_ = view_.empty();
    DataEvent(static_cast<int>(TDataSource::Event::DataSet));
  }
}

// ---- grid access ------------------------------------------------------------------------------
int TDataSet::ViewRowCount() const {
  if (state_ == dsInactive) return 0;
  SyncIfChanged();
  AllRows();
  return static_cast<int>(view_.size()) + (state_ == dsInsert ? 1 : 0);
}

int TDataSet::ActiveRow() const {
  if (state_ == dsInactive) return -1;
  SyncIfChanged();
  if (state_ == dsInsert) return std::min(insertPos_, static_cast<int>(view_.size()));
  return pos_;
}

Variant TDataSet::ValueAt(int row, int fieldIndex) const {
  if (state_ == dsInactive || fieldIndex < 0 || fieldIndex >= static_cast<int>(fields_.size())) return Variant::Null();
  SyncIfChanged();
  TFieldType t = fields_[static_cast<size_t>(fieldIndex)]->DataType();
  int r = row;
  if (state_ == dsInsert) {
    int ip = ActiveRow();
    if (row == ip) return tv::db::CellVariant((*cur_)[static_cast<size_t>(fieldIndex)], t);
    if (row > ip) r = row - 1;
  } else if (state_ == dsEdit && row == pos_) {
    return tv::db::CellVariant((*cur_)[static_cast<size_t>(fieldIndex)], t);
  }
  const Record* rec = RecordAt(r);
  if (!rec) return Variant::Null();
  return tv::db::CellVariant((*rec)[static_cast<size_t>(fieldIndex)], t);
}

AnsiString TDataSet::DisplayTextAt(int row, int fieldIndex) const {
  if (state_ == dsInactive || fieldIndex < 0 || fieldIndex >= static_cast<int>(fields_.size())) return AnsiString();
  SyncIfChanged();
  TFieldType t = fields_[static_cast<size_t>(fieldIndex)]->DataType();
  int r = row;
  if (state_ == dsInsert) {
    int ip = ActiveRow();
    if (row == ip) return tv::db::CellText((*cur_)[static_cast<size_t>(fieldIndex)], t, true);
    if (row > ip) r = row - 1;
  } else if (state_ == dsEdit && row == pos_) {
    return tv::db::CellText((*cur_)[static_cast<size_t>(fieldIndex)], t, true);
  }
  const Record* rec = RecordAt(r);
  if (!rec) return AnsiString();
  return tv::db::CellText((*rec)[static_cast<size_t>(fieldIndex)], t, true);
}

// ---- notifications -------------------------------------------------------------------------
void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
  if (disableCount_ > 0 && --disableCount_ == 0 && pendingChange_) {
    pendingChange_ = false;
    DataEvent(static_cast<int>(TDataSource::Event::DataSet));
  }
}

void TDataSet::DataEvent(int kind, TField* field) {
  auto e = static_cast<TDataSource::Event>(kind);
  if (disableCount_ > 0 && e != TDataSource::Event::Update) {
    pendingChange_ = true;
    return;
  }
  std::vector<TDataSource*> copy = sources_;
  for (TDataSource* ds : copy) ds->Notify(e, field);
}

void TDataSet::AddDataSource(TDataSource* ds) {
  if (std::find(sources_.begin(), sources_.end(), ds) == sources_.end()) sources_.push_back(ds);
}

void TDataSet::RemoveDataSource(TDataSource* ds) {
  sources_.erase(std::remove(sources_.begin(), sources_.end(), ds), sources_.end());
}

// ---- data source --------------------------------------------------------------------------
TDataLink::~TDataLink() {
  if (source_) source_->RemoveDataLink(this);
}

TDataSet* TDataLink::DataSet() const { return source_ ? source_->GetDataSet() : nullptr; }

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  if (dataSet_) dataSet_->RemoveDataSource(this);
  for (TDataLink* l : links_) l->source_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* const& ds) {
  if (ds == dataSet_) return;
  if (dataSet_) dataSet_->RemoveDataSource(this);
  dataSet_ = ds;
  if (dataSet_) dataSet_->AddDataSource(this);
  Notify(Event::Active, nullptr);
}

void TDataSource::SetEnabled(const bool& v) {
  if (enabled_ == v) return;
  enabled_ = v;
  Notify(Event::Active, nullptr);
}

TDataSetState TDataSource::GetState() const {
  return dataSet_ && enabled_ ? dataSet_->GetState() : dsInactive;
}

void TDataSource::AddDataLink(TDataLink* link) {
  if (link->source_ && link->source_ != this) link->source_->RemoveDataLink(link);
  link->source_ = this;
  if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
  if (link->source_ == this) link->source_ = nullptr;
}

void TDataSource::Notify(Event e, TField* field) {
  if (!enabled_ && e != Event::Active) return;
  std::vector<TDataLink*> copy = links_;
  switch (e) {
    case Event::Active:
      for (TDataLink* l : copy) l->ActiveChanged();
      if (OnStateChange) OnStateChange(this);
      if (dataSet_ && dataSet_->GetActive() && OnDataChange) OnDataChange(this, nullptr);
      break;
    case Event::DataSet:
      for (TDataLink* l : copy) l->DataSetChanged();
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case Event::Scroll:
      for (TDataLink* l : copy) l->DataSetScrolled();
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case Event::Record:
      for (TDataLink* l : copy) l->RecordChanged(field);
      if (OnDataChange) OnDataChange(this, field);
      break;
    case Event::State:
      for (TDataLink* l : copy) l->EditingChanged();
      if (OnStateChange) OnStateChange(this);
      break;
    case Event::Update:
      for (TDataLink* l : copy) l->UpdateData();
      if (OnUpdateData) OnUpdateData(this);
      break;
  }
}
