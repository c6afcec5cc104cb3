#include "platform/forms/DBGrids.h"

#include <algorithm>

#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"

class TDBGrid::Link : public TDataLink {
 public:
  explicit Link(TDBGrid* g) : g_(g) {}
  void ActiveChanged() override {
    g_->Columns->RebuildDefault();
    int n = static_cast<int>(g_->DisplayColumns().size());
    if (g_->SelectedIndex.get() >= n) g_->SelectedIndex.Raw(std::max(0, n - 1));
    g_->EditorMode = false;
  }
  void DataSetScrolled() override {
    g_->EditorMode = false;
    g_->editText_ = "";
  }

 private:
  TDBGrid* g_;
};

// ---- columns ----------------------------------------------------------------------------
TField* TColumn::Field() const {
  TDataSet* ds = grid_ ? grid_->DataSet() : nullptr;
  if (!ds || !ds->GetActive() || FieldName.IsEmpty()) return nullptr;
  return ds->FindField(FieldName);
}

int TColumn::Index() const {
  for (int i = 0; i < grid_->Columns->Count(); ++i)
    if ((*grid_->Columns)[i] == this) return i;
  return -1;
}

int TColumn::DisplayWidth() const {
  if (Width >= 0) return Width;
  int chars = 10;
  if (TField* f = Field()) chars = std::clamp(f->DisplayWidth(), 4, 40);
  chars = std::max(chars, DisplayTitle().Length());
  return chars * 7 + 6;
}

namespace {
std::function<AnsiString(const AnsiString&)>& FieldTitles() {
  static std::function<AnsiString(const AnsiString&)> titles;
  return titles;
}
}  // namespace

void SetFieldTitles(std::function<AnsiString(const AnsiString& field)> titles) { FieldTitles() = std::move(titles); }

namespace {
std::function<bool(const TField&, AnsiString&)>& AmountCells() {
  static std::function<bool(const TField&, AnsiString&)> amount;
  return amount;
}
}  // namespace

void SetAmountCells(std::function<bool(const TField& field, AnsiString& text)> amount) {
  AmountCells() = std::move(amount);
}

AnsiString FieldTitle(const AnsiString& field) {
  if (const auto& titles = FieldTitles()) {
    AnsiString t = titles(field);
    if (!t.IsEmpty()) return t;
  }
  return field;
}

AnsiString FieldCellText(const TField& field) {
  AnsiString text = field.GetDisplayText();
  if (!field.IsNull && AmountCells()) AmountCells()(field, text);
  return text;
}

AnsiString TColumn::DisplayTitle() const {
  // Default columns carry the field name as their caption: that is no caption of their own.
  if (!Title->Caption.IsEmpty() && Title->Caption != FieldName) return Title->Caption;
  // A column without a caption of its own shows the application's name for its field, if any.
  if (const auto& titles = FieldTitles()) {
    AnsiString t = titles(FieldName);
    if (!t.IsEmpty()) return t;
  }
  return FieldName;
}

TColumn* TDBGridColumns::Add() {
  if (state_ == csDefault) cols_.clear();
  state_ = csCustomized;
  cols_.push_back(std::make_unique<TColumn>(grid_));
  return cols_.back().get();
}

void TDBGridColumns::Clear() {
  cols_.clear();
  state_ = csDefault;
  RebuildDefault();
}

void TDBGridColumns::Delete(int i) {
  cols_.erase(cols_.begin() + i);
  state_ = csCustomized;
}

void TDBGridColumns::RebuildDefault() {
  if (state_ == csCustomized) return;
  TDataSet* ds = grid_->DataSet();
  if (!ds || !ds->GetActive()) return;
  std::vector<AnsiString> names;
  for (int i = 0; i < ds->GetFieldCount(); ++i)
    if (ds->Fields[i]->Visible) names.push_back(ds->Fields[i]->FieldName);
  bool same = names.size() == cols_.size();
  for (size_t i = 0; same && i < names.size(); ++i) same = SameText(names[i], cols_[i]->FieldName);
  if (same) return;
  cols_.clear();
  for (const AnsiString& n : names) {
    cols_.push_back(std::make_unique<TColumn>(grid_));
    cols_.back()->FieldName = n;
    cols_.back()->Title->Caption = n;
  }
}

// ---- grid ----------------------------------------------------------------------------------
TDBGrid::TDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner),
      DataSource([this](TDataSource* const& ds) { Bind(ds); }, nullptr),
      SelectedIndex([this](const int& i) {
        int n = static_cast<int>(DisplayColumns().size());
        SelectedIndex.Raw(std::clamp(i, 0, std::max(0, n - 1)));
        EditorMode = false;
      }, 0),
      link_(std::make_unique<Link>(this)) {
  Width = 320;
  Height = 120;
}

TDBGrid::~TDBGrid() = default;

void TDBGrid::Bind(TDataSource* ds) {
  if (link_->DataSource()) link_->DataSource()->RemoveDataLink(link_.get());
  DataSource.Raw(ds);
  if (ds) ds->AddDataLink(link_.get());
  link_->ActiveChanged();
}

TDataSet* TDBGrid::DataSet() const { return link_->DataSet(); }

std::vector<TColumn*> TDBGrid::DisplayColumns() const {
  std::vector<TColumn*> v;
  for (int i = 0; i < Columns->Count(); ++i)
    if ((*Columns)[i]->Visible) v.push_back((*Columns)[i]);
  return v;
}

TField* TDBGrid::Fields(int i) const {
  auto cols = DisplayColumns();
  return i >= 0 && i < static_cast<int>(cols.size()) ? cols[static_cast<size_t>(i)]->Field() : nullptr;
}

TField* TDBGrid::SelectedField() const { return Fields(SelectedIndex.get()); }

int TDBGrid::DisplayRowCount() const {
  TDataSet* ds = DataSet();
  return ds && ds->GetActive() ? ds->ViewRowCount() : 0;
}

int TDBGrid::CurrentDisplayRow() const {
  TDataSet* ds = DataSet();
  return ds && ds->GetActive() ? ds->ActiveRow() : -1;
}

AnsiString TDBGrid::DisplayText(int col, int row) const {
  TField* f = Fields(col);
  if (!f) return "";
  return f->DataSet()->DisplayTextAt(row, f->Index());
}

TRect TDBGrid::DataCellRect(int col, int row) const {
  auto cols = DisplayColumns();
  int x = Options.Contains(dgIndicator) ? 12 : 0;
  for (int c = 0; c < col && c < static_cast<int>(cols.size()); ++c) x += cols[static_cast<size_t>(c)]->DisplayWidth() + 1;
  int w = col < static_cast<int>(cols.size()) ? cols[static_cast<size_t>(col)]->DisplayWidth() : DefaultColWidth;
  int y = (row + (Options.Contains(dgTitles) ? 1 : 0)) * (DefaultRowHeight + 1);
  return Rect(x, y, x + w, y + DefaultRowHeight);
}

void TDBGrid::DefaultDrawColumnCell(const TRect& rect, int, TColumn* column, TGridDrawState) {
  AnsiString text;
  TAlignment a = column ? column->Alignment : taLeftJustify;
  if (TField* f = column ? column->Field() : nullptr) {
    text = f->GetDisplayText();
    if (!f->IsNull && AmountCells() && AmountCells()(*f, text)) a = taRightJustify;
  }
  Canvas->FillRect(rect);
  int x = rect.Left + 2;
  if (a == taRightJustify) x = rect.Right - Canvas->TextWidth(text) - 3;
  if (a == taCenter) x = rect.Left + (rect.Width() - Canvas->TextWidth(text)) / 2;
  Canvas->TextRect(rect, x, rect.Top + 2, text);
}

TCanvas* TDBGrid::PaintCell(int col, int row) {
  TCanvas* cv = Canvas.get();
  cv->Clear();
  auto cols = DisplayColumns();
  TDataSet* ds = DataSet();
  if (!ds || !ds->GetActive() || col < 0 || col >= static_cast<int>(cols.size()) || row < 0 ||
      row >= DisplayRowCount())
    return cv;
  TColumn* c = cols[static_cast<size_t>(col)];
  TGridDrawState st;
  bool current = row == CurrentDisplayRow() && (col == SelectedIndex.get() || Options.Contains(dgRowSelect));
  if (current) {
    st << gdSelected;
    if (Focused()) st << gdFocused;
  }
  cv->Font->Assign(c->Font.get());
  cv->Brush->Color = c->Color;
  cv->Brush->Style = bsSolid;
  if (current && (Focused() || Options.Contains(dgAlwaysShowSelection)) && !EditorMode) {
    cv->Brush->Color = clHighlight;
    cv->Font->Color = clHighlightText;
  }
  TRect r = DataCellRect(col, row);
  struct PaintRow {
    TDataSet* ds;
    int old;
    PaintRow(TDataSet* d, int row) : ds(d), old(d->PaintRow()) { ds->SetPaintRow(row); }
    ~PaintRow() { ds->SetPaintRow(old); }
  } guard(ds, row);
  if (DefaultDrawing) DefaultDrawColumnCell(r, col, c, st);
  if (OnDrawColumnCell) OnDrawColumnCell(this, r, col, c, st);
  return cv;
}

bool TDBGrid::CanEditColumn(int col) const {
  TDataSet* ds = DataSet();
  if (!ds || !ds->GetActive() || !Options.Contains(dgEditing) || Options.Contains(dgRowSelect) ||
      ReadOnly || !ds->CanModify())
    return false;
  auto cols = DisplayColumns();
  if (col < 0 || col >= static_cast<int>(cols.size())) return false;
  TColumn* c = cols[static_cast<size_t>(col)];
  TField* f = c->Field();
  return !c->ReadOnly && f && !f->ReadOnly;
}

bool TDBGrid::CanEditCell(int col, int) const { return CanEditColumn(col); }

int TDBGrid::EditLimit(int col) const {
  auto cols = DisplayColumns();
  if (col < 0 || col >= static_cast<int>(cols.size())) return 0;
  TField* f = cols[static_cast<size_t>(col)]->Field();
  return f && f->DataType() == ftString ? f->Size() : 0;
}

bool TDBGrid::MoveToCol(int col) {
  int n = static_cast<int>(DisplayColumns().size());
  if (col < 0 || col >= n) return false;
  if (col == SelectedIndex.get()) return true;
  if (OnColExit) OnColExit(this);
  SelectedIndex.Raw(col);
  EditorMode = false;
  editText_ = "";
  if (OnColEnter) OnColEnter(this);
  return true;
}

bool TDBGrid::MoveToRow(int row) {
  TDataSet* ds = DataSet();
  int cur = ds->ActiveRow();
  if (row == cur) return true;
  if (ds->GetState() == dsInsert && !ds->GetModified()) {
    ds->Cancel();
    if (row > cur) --row;
    cur = ds->ActiveRow();
    if (row == cur) return true;
  }
  ds->MoveBy(row - cur);
  return ds->ActiveRow() == row;
}

void TDBGrid::UserSelectCell(int col, int row) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    TDataSet* ds = DataSet();
    if (!ds || !ds->GetActive()) return;
    auto cols = DisplayColumns();
    if (col < 0 || col >= static_cast<int>(cols.size()) || row < 0) return;
    if (row >= DisplayRowCount()) {
      // The blank row of an empty dataset: the column clicked is where its first row starts.
      if (row == 0 && DisplayRowCount() == 0 && CanEditColumn(col)) MoveToCol(col);
      return;
    }
    if (col != SelectedIndex.get() && OnColExit) OnColExit(this);
    if (!MoveToRow(row)) return;
    if (col != SelectedIndex.get()) {
      SelectedIndex.Raw(col);
      if (OnColEnter) OnColEnter(this);
    }
    EditorMode = false;
    editText_ = "";
    if (OnCellClick) OnCellClick(cols[static_cast<size_t>(col)]);
    Click();
  });
}

void TDBGrid::UserSelectRow(int row) { UserSelectCell(SelectedIndex.get(), row); }

void TDBGrid::WriteCellText(const AnsiString& text) {
  TDataSet* ds = DataSet();
  TField* f = SelectedField();
  if (!ds || !f) return;
  if (ds->GetState() == dsBrowse) {
    if (ds->IsEmpty())
      ds->Append();
    else
      ds->Edit();
  }
  EditorMode = true;
  // As an edit with a maximum length: what does not fit is never typed in.
  AnsiString t = text;
  int limit = EditLimit(SelectedIndex.get());
  if (limit > 0 && t.Length() > limit) t = t.SubString(1, limit);
  editText_ = t;
  f->SetText(t);
}

void TDBGrid::UserEditCell(int col, int row, const AnsiString& text) {
  // one past the last row starts a new row, as typing below the last line does
  if (row == DisplayRowCount() && CanEditColumn(col)) {
    DispatchEvent([&] {
      TForm* f = ParentForm();
      if (!CanFocus() || !f || !f->FocusControl(this)) return;
      DataSet()->Append();
    });
  }
  UserSelectCell(col, row);
  DispatchEvent([&] {
    if (SelectedIndex.get() != col || CurrentDisplayRow() != row || !CanEditColumn(col)) return;
    WriteCellText(text);
  });
}

void TDBGrid::UserEditButtonClick() {
  DispatchEvent([&] {
    if (OnEditButtonClick) OnEditButtonClick(this);
  });
}

void TDBGrid::UserTitleClick(int col) {
  DispatchEvent([&] {
    auto cols = DisplayColumns();
    if (OnTitleClick && col >= 0 && col < static_cast<int>(cols.size())) OnTitleClick(cols[static_cast<size_t>(col)]);
  });
}

bool TDBGrid::WantsKey(Word key, TShiftState shift) const {
  if (key >= VK_LEFT && key <= VK_DOWN) return true;
  if (key == VK_TAB) return Options.Contains(dgTabs);
  // En una rejilla editable Enter termina la celda; nunca pulsa el botón por defecto.
  if (key == VK_RETURN && shift.Empty() && Options.Contains(dgEditing) && !ReadOnly) return true;
  // Esc cancels the row being edited or added first; only the next one reaches the form.
  if (key == VK_ESCAPE && shift.Empty()) {
    TDataSet* ds = DataSet();
    return EditorMode || (ds && ds->GetActive() && (ds->GetState() == dsEdit || ds->GetState() == dsInsert) &&
                          Options.Contains(dgEditing) && !ReadOnly);
  }
  return false;
}

void TDBGrid::KeyDown(Word& key, TShiftState shift) {
  TDataSet* ds = DataSet();
  if (!ds || !ds->GetActive()) return;
  bool editable = Options.Contains(dgEditing) && !ReadOnly && ds->CanModify();
  int n = static_cast<int>(DisplayColumns().size());
  switch (key) {
    case VK_UP:
      if (ds->GetState() == dsInsert && !ds->GetModified()) ds->Cancel();
      else ds->Prior();
      break;
    case VK_DOWN:
      if (ds->GetState() == dsInsert && !ds->GetModified()) break;
      if (editable && ds->ActiveRow() >= ds->ViewRowCount() - 1) ds->Append();
      else ds->Next();
      break;
    case VK_PRIOR: ds->MoveBy(-10); break;
    case VK_NEXT: ds->MoveBy(10); break;
    case VK_HOME:
      if (shift.Contains(ssCtrl)) ds->First(); else MoveToCol(0);
      break;
    case VK_END:
      if (shift.Contains(ssCtrl)) ds->Last(); else MoveToCol(n - 1);
      break;
    case VK_LEFT: MoveToCol(SelectedIndex.get() - 1); break;
    case VK_RIGHT: MoveToCol(SelectedIndex.get() + 1); break;
    case VK_TAB:
      if (shift.Contains(ssShift)) {
        if (SelectedIndex.get() > 0) MoveToCol(SelectedIndex.get() - 1);
      } else if (SelectedIndex.get() + 1 < n) {
        MoveToCol(SelectedIndex.get() + 1);
      } else {
        ds->Next();
        MoveToCol(0);
      }
      break;
    case VK_INSERT:
      if (editable) ds->Insert();
      break;
    case VK_DELETE:
      if (shift.Contains(ssCtrl) && editable && !ds->IsEmpty()) {
        if (!Options.Contains(dgConfirmDelete) ||
            MessageDlg("¿Borrar registro?", mtConfirmation, mbOKCancel, 0) == mrOk)
          ds->Delete();
      }
      break;
    case VK_ESCAPE:
      if (ds->GetState() == dsEdit || ds->GetState() == dsInsert) ds->Cancel();
      EditorMode = false;
      break;
    case VK_F2:
      if (CanEditColumn(SelectedIndex.get())) {
        EditorMode = true;
        if (TField* f = SelectedField()) editText_ = f->GetText();
      }
      break;
    case VK_RETURN:
      EditorMode = false;
      if (Options.Contains(dgEditing) && !ReadOnly) {
        if (SelectedIndex.get() + 1 < n) {
          MoveToCol(SelectedIndex.get() + 1);
        } else {
          ds->Next();
          MoveToCol(0);
        }
      }
      break;
    default: break;
  }
}

void TDBGrid::KeyPress(char32_t& ch) {
  if (!CanEditColumn(SelectedIndex.get())) return;
  if (ch == 13 || ch == 27) return;
  if (ch == 8) {
    if (!EditorMode)
      if (TField* f = SelectedField()) editText_ = f->GetText();
    if (editText_.Length() > 0) editText_ = editText_.SubString(1, editText_.Length() - 1);
  } else if (ch >= 32) {
    if (!EditorMode) editText_ = "";
    editText_ += AnsiString(tv::text::EncodeUtf8(ch));
  } else {
    return;
  }
  WriteCellText(editText_);
}

void TDBGrid::DoExit() {
  TDataSet* ds = DataSet();
  if (ds && ds->GetActive() && Options.Contains(dgCancelOnExit) && ds->GetState() == dsInsert &&
      !ds->GetModified())
    ds->Cancel();
  EditorMode = false;
  TCustomGrid::DoExit();
}
