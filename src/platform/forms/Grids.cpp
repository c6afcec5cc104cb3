#include "platform/forms/Grids.h"

#include <algorithm>

#include "platform/core/SysUtils.h"
#include "platform/forms/Forms.h"

int& TGridSizes::operator[](int i) {
  auto it = sizes_.find(i);
  if (it == sizes_.end()) it = sizes_.emplace(i, *def_).first;
  return it->second;
}

int TGridSizes::Get(int i) const {
  auto it = sizes_.find(i);
  return it == sizes_.end() ? *def_ : it->second;
}

long long TGridSizes::SumBefore(int n, int gap) const {
  if (n <= 0) return 0;
  long long sum = static_cast<long long>(n) * (*def_ + gap);
  for (auto it = sizes_.begin(); it != sizes_.end() && it->first < n; ++it)
    if (it->first >= 0) sum += it->second - *def_;
  return sum;
}

TCustomGrid::TCustomGrid(TComponent* AOwner)
    : TWinControl(AOwner),
      ColCount([this](const int& v) { SetColCount(v); }, 5),
      RowCount([this](const int& v) { SetRowCount(v); }, 5),
      Col([this](const int& v) { MoveTo(v, Row.get()); }, 1),
      Row([this](const int& v) { MoveTo(Col.get(), v); }, 1) {
  TabStop = true;
  Color = clWindow;
  Width = 320;
  Height = 120;
}

void TCustomGrid::SetColCount(int v) {
  if (v < 1) v = 1;
  ColCount.Raw(v);
  if (FixedCols >= v) FixedCols = v - 1;
  if (Col.get() >= v) Col.Raw(v - 1);
  SizeChanged();
}

void TCustomGrid::SetRowCount(int v) {
  if (v < 1) v = 1;
  RowCount.Raw(v);
  if (FixedRows >= v) FixedRows = v - 1;
  if (Row.get() >= v) Row.Raw(v - 1);
  SizeChanged();
}

void TCustomGrid::SetCurrentCell(int col, int row) {
  Col.Raw(std::clamp(col, 0, ColCount.get() - 1));
  Row.Raw(std::clamp(row, 0, RowCount.get() - 1));
}

bool TCustomGrid::SelectCell(int col, int row) {
  bool can = true;
  if (OnSelectCell) OnSelectCell(this, col, row, can);
  return can;
}

bool TCustomGrid::MoveTo(int col, int row) {
  if (col < 0 || row < 0 || col >= ColCount.get() || row >= RowCount.get())
    throw EOutOfRange("Índice de la rejilla fuera de rango");
  if (col == Col.get() && row == Row.get()) return true;
  if (!SelectCell(col, row)) return false;
  Col.Raw(col);
  Row.Raw(row);
  Click();
  return true;
}

TRect TCustomGrid::CellRect(int col, int row) const {
  // Only the sizes written differ from the default: tall grids need no walk over rows.
  int x = static_cast<int>(ColWidths.SumBefore(col, GridLineWidth));
  int y = static_cast<int>(RowHeights.SumBefore(row, GridLineWidth));
  return Rect(x, y, x + ColWidths.Get(col), y + RowHeights.Get(row));
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = row = -1;
  int acc = 0;
  for (int c = 0; c < ColCount.get(); ++c) {
    int w = ColWidths.Get(c) + GridLineWidth;
    if (x >= acc && x < acc + w) { col = c; break; }
    acc += w;
  }
  acc = 0;
  for (int r = 0; r < RowCount.get(); ++r) {
    int h = RowHeights.Get(r) + GridLineWidth;
    if (y >= acc && y < acc + h) { row = r; break; }
    acc += h;
  }
}

TGridDrawState TCustomGrid::StateOf(int col, int row) const {
  TGridDrawState st;
  if (col < FixedCols || row < FixedRows) {
    st << gdFixed;
    return st;
  }
  bool current = row == Row.get() && (col == Col.get() || Options.Contains(goRowSelect));
  if (current) {
    st << gdSelected;
    if (Focused()) st << gdFocused;
  }
  return st;
}

TCanvas* TCustomGrid::PaintCell(int col, int row) {
  TCanvas* cv = Canvas.get();
  cv->Clear();
  TGridDrawState st = StateOf(col, row);
  cv->Font->Assign(Font.get());
  if (st.Contains(gdFixed)) {
    cv->Brush->Color = FixedColor;
  } else if (st.Contains(gdSelected) &&
             (Options.Contains(goDrawFocusSelected) || Options.Contains(goRowSelect) || !st.Contains(gdFocused))) {
    cv->Brush->Color = clHighlight;
    cv->Font->Color = clHighlightText;
  } else {
    cv->Brush->Color = Color;
  }
  cv->Brush->Style = bsSolid;
  TRect r = CellRect(col, row);
  if (DefaultDrawing) cv->FillRect(r);
  DrawCell(col, row, r, st);
  return cv;
}

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

AnsiString TCustomGrid::GetEditText(int col, int row) {
  AnsiString v;
  if (OnGetEditText) OnGetEditText(this, col, row, v);
  return v;
}

void TCustomGrid::SetEditText(int col, int row, const AnsiString& value) {
  if (OnSetEditText) OnSetEditText(this, col, row, value);
}

bool TCustomGrid::CanEditCell(int col, int row) const {
  return Options.Contains(goEditing) && !Options.Contains(goRowSelect) && col >= FixedCols &&
         row >= FixedRows;
}

void TCustomGrid::UserSelectCell(int col, int row) {
  DispatchEvent([&] {
    TForm* f = ParentForm();
    if (!CanFocus() || !f || !f->FocusControl(this)) return;
    if (col < FixedCols || row < FixedRows || col >= ColCount.get() || row >= RowCount.get()) return;
    EditorMode = false;
    MoveTo(col, row);
  });
}

void TCustomGrid::UserEditCell(int col, int row, const AnsiString& text) {
  UserSelectCell(col, row);
  DispatchEvent([&] {
    if (Col.get() != col || Row.get() != row || !CanEditCell(col, row)) return;
    EditorMode = true;
    SetEditText(col, row, text);
  });
}

bool TCustomGrid::WantsKey(Word key, TShiftState shift) const {
  if (key >= VK_LEFT && key <= VK_DOWN) return true;
  if (key == VK_TAB) return Options.Contains(goTabs);
  // En una rejilla editable Enter termina la celda; nunca pulsa el botón por defecto.
  if (key == VK_RETURN) return Options.Contains(goEditing) && shift.Empty();
  // Esc ends the cell edit first; only the next one reaches the form.
  if (key == VK_ESCAPE) return EditorMode;
  return false;
}

void TCustomGrid::KeyDown(Word& key, TShiftState shift) {
  int c = Col, r = Row;
  switch (key) {
    case VK_LEFT: c = std::max(FixedCols, c - 1); break;
    case VK_RIGHT: c = std::min(ColCount - 1, c + 1); break;
    case VK_UP: r = std::max(FixedRows, r - 1); break;
    case VK_DOWN: r = std::min(RowCount - 1, r + 1); break;
    case VK_HOME: if (shift.Contains(ssCtrl)) r = FixedRows; else c = FixedCols; break;
    case VK_END: if (shift.Contains(ssCtrl)) r = RowCount - 1; else c = ColCount - 1; break;
    case VK_PRIOR: r = std::max(FixedRows, r - 10); break;
    case VK_NEXT: r = std::min(RowCount - 1, r + 10); break;
    case VK_TAB:
      if (shift.Contains(ssShift)) c = c > FixedCols ? c - 1 : ColCount - 1;
      else c = c + 1 < ColCount ? c + 1 : FixedCols;
      break;
    case VK_RETURN:
      // A la celda siguiente: la columna de la derecha, o la primera de la fila de abajo.
      EditorMode = false;
      if (c + 1 < ColCount) {
        ++c;
      } else if (r + 1 < RowCount) {
        c = FixedCols;
        ++r;
      }
      break;
    case VK_F2:
      if (CanEditCell(c, r)) EditorMode = true;
      return;
    default: return;
  }
  if (c != Col.get() || r != Row.get()) {
    EditorMode = false;
    MoveTo(c, r);
  }
}

void TCustomGrid::KeyPress(char32_t& ch) {
  int c = Col, r = Row;
  if (!CanEditCell(c, r)) return;
  if (ch == 13) return;  // Enter ya pasó a la celda siguiente al bajar la tecla
  if (ch == 27) {
    EditorMode = false;
    return;
  }
  AnsiString t = EditorMode ? GetEditText(c, r) : AnsiString();
  if (ch == 8) {
    if (t.Length() > 0) t = t.SubString(1, t.Length() - 1);
  } else if (ch >= 32) {
    t += AnsiString(tv::text::EncodeUtf8(ch));
  } else {
    return;
  }
  EditorMode = true;
  SetEditText(c, r, t);
}

// ---- TStringGrid --------------------------------------------------------------------------
TStringGrid::TStringGrid(TComponent* AOwner) : TCustomGrid(AOwner) { SizeChanged(); }

void TStringGrid::SizeChanged() {
  cells_.resize(static_cast<size_t>(ColCount.get()));
  for (auto& col : cells_) col.resize(static_cast<size_t>(RowCount.get()));
}

AnsiString& TStringGrid::CellRef(int col, int row) {
  if (col < 0 || row < 0 || col >= ColCount.get() || row >= RowCount.get())
    throw EOutOfRange("Índice de la rejilla fuera de rango");
  return cells_[static_cast<size_t>(col)][static_cast<size_t>(row)];
}

AnsiString TStringGrid::GetEditText(int col, int row) {
  AnsiString v = CellRef(col, row);
  if (OnGetEditText) OnGetEditText(this, col, row, v);
  return v;
}

void TStringGrid::SetEditText(int col, int row, const AnsiString& value) {
  CellRef(col, row) = value;
  TCustomGrid::SetEditText(col, row, value);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
  if (DefaultDrawing) Canvas->TextRect(rect, rect.Left + 2, rect.Top + 2, CellRef(col, row));
  TCustomGrid::DrawCell(col, row, rect, state);
}
