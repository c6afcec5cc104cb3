#include "gui/Grid.h"

#include <wx/renderer.h>

#include <algorithm>
#include <cmath>

namespace tv::gui {

void ReplayCanvas(wxDC& dc, const TCanvas& cv, const TRect& mr, const wxRect& rect, bool cellText) {
  double sx = mr.Width() > 0 ? rect.width / double(mr.Width()) : 1.0;
  double sy = mr.Height() > 0 ? rect.height / double(mr.Height()) : 1.0;
  auto X = [&](int x) { return rect.x + int(std::lround((x - mr.Left) * sx)); };
  auto Y = [&](int y) { return rect.y + int(std::lround((y - mr.Top) * sy)); };
  auto R = [&](const TRect& r) { return wxRect(wxPoint(X(r.Left), Y(r.Top)), wxPoint(X(r.Right) - 1, Y(r.Bottom) - 1)); };
  wxDCClipper clip(dc, rect);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  for (const CanvasOp& op : cv.Ops()) {
    switch (op.Kind) {
      case CanvasOpKind::FillRect:
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(ToWx(op.BrushColor)));
        dc.DrawRectangle(R(op.R));
        break;
      case CanvasOpKind::Rectangle:
      case CanvasOpKind::Ellipse:
        dc.SetPen(wxPen(ToWx(op.PenColor), std::max(1, op.PenWidth)));
        dc.SetBrush(op.BrushStyle == bsClear ? *wxTRANSPARENT_BRUSH : wxBrush(ToWx(op.BrushColor)));
        if (op.Kind == CanvasOpKind::Rectangle)
          dc.DrawRectangle(R(op.R));
        else
          dc.DrawEllipse(R(op.R));
        break;
      case CanvasOpKind::Line:
        dc.SetPen(wxPen(ToWx(op.PenColor), std::max(1, op.PenWidth)));
        dc.DrawLine(X(op.X0), Y(op.Y0), X(op.X), Y(op.Y));
        break;
      case CanvasOpKind::TextOut:
      case CanvasOpKind::TextRect: {
        TFont f;
        f.Name = op.FontName;
        f.Size = op.FontSize;
        f.Style = op.FontStyle;
        dc.SetFont(ToWx(f));
        dc.SetTextForeground(ToWx(op.FontColor));
        wxString t = W(op.Text);
        int tx = X(op.X);
        // A cell wider than its model (the stretched last column) keeps its text where the
        // model put it against the cell's edges: right-aligned amounts stay right-aligned.
        // Text running past the model's right edge was placed from the left: its start stays;
        // past the left edge, from the right: its end stays.
        if (cellText && std::abs(sx - Scale()) > 0.01) {
          int tw = dc.GetTextExtent(t).x;
          double left = op.X - mr.Left, right = mr.Right - op.X - tw / Scale();
          if (right >= 0 && right <= 6 && (right < left || left < 0))
            tx = rect.x + rect.width - int(std::lround(right * Scale())) - tw;
          else if (std::abs(left - right) <= 3)
            tx = rect.x + (rect.width - tw) / 2;
          else
            tx = rect.x + int(std::lround(left * Scale()));
        }
        // Text placed near the top of the cell is centred vertically in the taller row.
        int th = dc.GetCharHeight();
        int ty = Y(op.Y);
        if (cellText && op.Y - mr.Top <= 3) ty = rect.y + std::max(0, (rect.height - th) / 2);
        if (op.Kind == CanvasOpKind::TextRect) {
          wxDCClipper inner(dc, R(op.R).Intersect(rect));
          dc.DrawText(t, tx, ty);
        } else {
          dc.DrawText(t, tx, ty);
        }
        break;
      }
    }
  }
}

namespace {

void DrawEllipsisButton(wxGrid& grid, wxDC& dc, const wxRect& br) {
  wxRendererNative::Get().DrawPushButton(grid.GetGridWindow(), dc, br, 0);
  dc.SetFont(grid.GetDefaultCellFont());
  dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
  dc.DrawLabel(wxString::FromUTF8("\u2026"), br, wxALIGN_CENTRE);
}

class ModelRenderer : public wxGridCellRenderer {
 public:
  void Draw(wxGrid& grid, wxGridCellAttr&, wxDC& dc, const wxRect& rect, int row, int col,
            bool) override {
    auto& view = static_cast<GridView&>(grid);
    TCustomGrid* m = view.Model();
    if (!m || row >= view.ModelRows() || col >= view.ModelCols()) return;
    try {
      TRect mr;
      TCanvas* cv = view.Paint(col, row, mr);
      if (cv->Ops().empty()) {
        dc.SetBrush(wxBrush(ToWx(m->Color)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(rect);
        return;
      }
      // The painted rectangle may start at the cell's left edge minus one pixel.
      ReplayCanvas(dc, *cv, mr, rect, true);
      if (view.HasEllipsis(col) && row == view.GetGridCursorRow() && col == view.GetGridCursorCol())
        DrawEllipsisButton(view, dc, view.EllipsisRect(row, col));
    } catch (...) {
      // A drawing handler that fails leaves the cell blank, as a failed paint would.
    }
  }
  wxSize GetBestSize(wxGrid&, wxGridCellAttr&, wxDC&, int, int) override { return wxSize(40, 20); }
  wxGridCellRenderer* Clone() const override { return new ModelRenderer; }
};


// The text editor of an ellipsis column leaves the button beside it uncovered.
class EllipsisEditor : public wxGridCellTextEditor {
 public:
  explicit EllipsisEditor(GridView* v) : view_(v) {}
  void SetSize(const wxRect& r) override {
    wxRect e = r;
    e.width = std::max(0, e.width - std::min(r.width, std::max(view_->GetDefaultRowSize(), 16)));
    wxGridCellTextEditor::SetSize(e);
  }
  // The cell behind the editor is not painted by the renderer: the button is drawn here.
  void PaintBackground(wxDC& dc, const wxRect& rectCell, const wxGridCellAttr& attr) override {
    wxGridCellTextEditor::PaintBackground(dc, rectCell, attr);
    DrawEllipsisButton(*view_, dc, view_->EllipsisRect(view_->GetGridCursorRow(), view_->GetGridCursorCol()));
  }
  wxGridCellEditor* Clone() const override { return new EllipsisEditor(view_); }

 private:
  GridView* view_;
};

}  // namespace

class GridTable : public wxGridTableBase {
 public:
  explicit GridTable(GridView* v) : view_(v) {}
  int GetNumberRows() override { return view_->rows_; }
  int GetNumberCols() override { return view_->cols_; }
  wxString GetValue(int row, int col) override {
    TCustomGrid* m = view_->Model();
    if (!m || row >= view_->ModelRows() || col >= view_->ModelCols()) return {};
    try {
      return W(view_->Text(col, row));
    } catch (...) {
      return {};
    }
  }
  void SetValue(int row, int col, const wxString& value) override {
    if (!view_->Model()) return;
    AnsiString text = A(value);
    view_->CallAfter([v = view_, row, col, text] {
      if (TCustomGrid* m = v->Model()) m->UserEditCell(col, row, text);
    });
  }
  bool IsEmptyCell(int, int) override { return false; }
  wxString GetColLabelValue(int col) override {
    TDBGrid* g = view_->Db();
    if (!g) return {};
    auto cols = g->DisplayColumns();
    return col < static_cast<int>(cols.size()) ? W(cols[static_cast<size_t>(col)]->DisplayTitle()) : wxString();
  }
  wxString GetRowLabelValue(int row) override {
    TDBGrid* g = view_->Db();
    return g && row == g->CurrentDisplayRow() ? wxString::FromUTF8("\u25B6") : wxString();
  }
  wxGridCellAttr* GetAttr(int row, int col, wxGridCellAttr::wxAttrKind) override {
    auto* a = new wxGridCellAttr;
    TCustomGrid* m = view_->Model();
    if (!m || row >= view_->ModelRows() || col >= view_->ModelCols() || !m->CanEditCell(col, row)) {
      a->SetReadOnly();
    } else if (wxGridCellEditor* ed = view_->EditorFor(col)) {
      ed->IncRef();
      a->SetEditor(ed);
    }
    return a;
  }

 private:
  GridView* view_;
};

GridView::GridView(wxWindow* parent, TCustomGrid* model)
    : wxGrid(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxBORDER_SUNKEN),
      model_(model), db_(dynamic_cast<TDBGrid*>(model)) {
  rows_ = ModelRows();
  cols_ = ModelCols();
  SetTable(new GridTable(this), true, wxGridSelectCells);
  SetRowLabelSize(0);
  SetColLabelSize(0);
  SetLabelFont(GetFont());
  SetColLabelAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
  Bind(wxEVT_GRID_LABEL_LEFT_CLICK, [this](wxGridEvent& e) {
    if (db_ && e.GetRow() < 0 && e.GetCol() >= 0) {
      int c = e.GetCol();
      CallAfter([this, c] {
        if (db_) db_->UserTitleClick(c);
      });
      return;
    }
    e.Skip();
  });
  SetDefaultRenderer(new ModelRenderer);
  SetCellHighlightPenWidth(1);
  DisableDragRowSize();
  SetDefaultRowSize(GetCharHeight() + 8, true);
  SetMargins(0, 0);

  Bind(wxEVT_GRID_SELECT_CELL, [this](wxGridEvent& e) {
    auto* d = WxDriver::Instance();
    if (!model_ || (d && d->Syncing())) {
      e.Skip();
      return;
    }
    e.Veto();
    int c = e.GetCol(), r = e.GetRow();
    CallAfter([this, c, r] {
      if (model_) model_->UserSelectCell(c, r);
    });
  });
  Bind(wxEVT_GRID_CELL_LEFT_CLICK, [this](wxGridEvent& e) {
    // The button of an ellipsis column sits in the current cell only.
    int r = e.GetRow(), c = e.GetCol();
    if (db_ && HasEllipsis(c) && r == GetGridCursorRow() && c == GetGridCursorCol() &&
        // The event's position is in the grid's client area, labels included.
        EllipsisRect(r, c).Contains(
            CalcUnscrolledPosition(GetGridWindow()->ScreenToClient(ClientToScreen(e.GetPosition()))))) {
      ClickEllipsis();
      return;
    }
    e.Skip();
  });
  Bind(wxEVT_GRID_CELL_LEFT_DCLICK, [this](wxGridEvent& e) {
    e.Skip();
    CallAfter([this] {
      if (model_) model_->UserDblClick();
    });
  });
  Bind(wxEVT_GRID_COL_SIZE, [this](wxGridSizeEvent& e) {
    // Column sizes dragged by the user go back to the model's widths.
    if (db_ && e.GetRowOrCol() < ModelCols())
      db_->DisplayColumns()[static_cast<size_t>(e.GetRowOrCol())]->Width =
          std::max(1, int(std::lround(GetColSize(e.GetRowOrCol()) / (Scale() * fit_))));
    else if (model_ && e.GetRowOrCol() < ModelCols())
      model_->ColWidths[e.GetRowOrCol()] =
          std::max(1, int(std::lround(GetColSize(e.GetRowOrCol()) / (Scale() * fit_))));
    e.Skip();
  });
  GetGridWindow()->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
    e.Skip();
    if (auto* d = WxDriver::Instance(); d && model_) d->OnWidgetPress(model_);
  });
  GetGridWindow()->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    e.Skip();
    if (auto* d = WxDriver::Instance(); d && model_) d->OnWidgetFocus(model_);
  });
  // The last column follows the grid's width, so no blank band is left on the right.
  GetGridWindow()->Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
    e.Skip();
    CallAfter([this] {
      int n = cols_;
      if (!db_ || n <= 0) return;
      auto cols = db_->DisplayColumns();
      if (static_cast<int>(cols.size()) != n) return;
      int w = cols.back()->DisplayWidth();
      int want = w <= 1 ? 0 : LastColumnWidth(ColWidth(w));
      if (want > 0 && GetColSize(n - 1) != want) SetColSize(n - 1, want);
    });
  });
}

void GridView::SetColumnFit(double fit) {
  if (fit == fit_) return;
  fit_ = fit;
  SyncFromModel();
}

int GridView::LastColumnWidth(int want) const {
  int used = 0;
  for (int c = 0; c + 1 < cols_; ++c) used += GetColSize(c);
  int room = GetGridWindow()->GetClientSize().x - used - 1;
  return std::max(want, room);
}

GridView::~GridView() {
  // The editors' controls go now, with the grid, whoever else holds the editors.
  for (auto& [c, e] : editors_)
    if (e.editor) {
      if (e.editor->IsCreated()) e.editor->Destroy();
      e.editor->DecRef();
    }
}

namespace {
TColumn* ColumnOf(TDBGrid* g, int col) {
  if (!g) return nullptr;
  auto cols = g->DisplayColumns();
  return col >= 0 && col < static_cast<int>(cols.size()) ? cols[static_cast<size_t>(col)] : nullptr;
}
bool HasPickList(const TColumn* c) {
  return c && c->ButtonStyle == cbsAuto && c->PickList->Count() > 0;
}
}  // namespace

bool GridView::HasEllipsis(int col) const {
  TColumn* c = ColumnOf(db_, col);
  return c && c->ButtonStyle == cbsEllipsis;
}

wxRect GridView::EllipsisRect(int row, int col) const {
  wxRect r = CellToRect(row, col);
  int w = std::min(r.width, std::max(GetDefaultRowSize(), 16));
  return wxRect(r.GetRight() + 1 - w, r.y, w, r.height);
}

wxGridCellEditor* GridView::EditorFor(int col) {
  TColumn* c = ColumnOf(db_, col);
  std::string sig;
  if (c && c->ButtonStyle == cbsEllipsis) sig = "...";
  if (HasPickList(c)) sig = "pick:" + c->PickList->Text().str();
  int limit = db_ ? db_->EditLimit(col) : 0;
  if (sig.empty() && limit > 0) sig = "len:" + std::to_string(limit);
  ColumnEditor& ce = editors_[col];
  if (ce.sig != sig && !(IsCellEditControlShown() && GetGridCursorCol() == col)) {
    if (ce.editor) ce.editor->DecRef();
    ce.editor = nullptr;
    ce.sig = sig;
    if (sig == "...") {
      ce.editor = new EllipsisEditor(this);
    } else if (sig.rfind("len:", 0) == 0) {
      // A text field takes no more than its width.
      ce.editor = new wxGridCellTextEditor(static_cast<size_t>(limit));
    } else if (!sig.empty()) {
      wxArrayString items;
      for (int i = 0; i < c->PickList->Count(); ++i) items.Add(W(c->PickList->Get(i)));
      // The list suggests values; typing another one stays possible, as in the original.
      ce.editor = new wxGridCellChoiceEditor(items, true);
    }
  }
  return ce.editor;
}

void GridView::ClickEllipsis() {
  if (!db_) return;
  if (IsCellEditControlShown()) DisableCellEditControl();  // the typed text goes first
  CallAfter([this] {
    if (db_) db_->UserEditButtonClick();
  });
}

bool GridView::BlankRow() const {
  return db_ && db_->DisplayRowCount() == 0 && db_->CanEditCell(std::max(0, db_->SelectedIndex.get()), 0);
}

int GridView::ModelRows() const {
  // An empty editable dataset shows one blank row: typing into it starts the first row.
  if (db_) return BlankRow() ? 1 : db_->DisplayRowCount();
  return model_ ? model_->RowCount.get() : 0;
}
int GridView::ModelCols() const {
  if (db_) return static_cast<int>(db_->DisplayColumns().size());
  return model_ ? model_->ColCount.get() : 0;
}

TCanvas* GridView::Paint(int col, int row, TRect& mr) {
  if (db_) {
    mr = db_->DataCellRect(col, row);
    return db_->PaintCell(col, row);
  }
  TCanvas* cv = model_->PaintCell(col, row);
  mr = model_->CellRect(col, row);
  return cv;
}

AnsiString GridView::Text(int col, int row) {
  if (db_) return row < db_->DisplayRowCount() ? db_->DisplayText(col, row) : AnsiString();
  return model_->GetEditText(col, row);
}

// A grid narrowed to fit its window keeps each column title whole: the width a title needs
// is taken from the columns with the most room to spare, so the grid's width is unchanged.
void GridView::KeepTitlesWhole(const std::vector<TColumn*>& cols, std::vector<int>& wants) {
  wxClientDC dc(GetGridColLabelWindow());
  dc.SetFont(GetLabelFont());
  std::vector<int> need(wants.size());
  int lack = 0;
  for (size_t c = 0; c < wants.size() && c < cols.size(); ++c) {
    if (wants[c] <= 0) continue;
    int full = static_cast<int>(std::lround(cols[c]->DisplayWidth() * Scale()));
    need[c] = std::min(full, dc.GetTextExtent(W(cols[c]->DisplayTitle())).x + 8);
    if (wants[c] < need[c]) {
      lack += need[c] - wants[c];
      wants[c] = need[c];
    }
  }
  while (lack > 0) {
    size_t most = 0;
    for (size_t c = 1; c < wants.size(); ++c)
      if (wants[c] - need[c] > wants[most] - need[most]) most = c;
    if (wants[most] - need[most] <= 0) break;
    --wants[most];
    --lack;
  }
}

void GridView::SyncFromModel() {
  if (!model_) return;
  int nr = ModelRows(), nc = ModelCols();
  if (nr != rows_) {
    if (nr > rows_) {
      wxGridTableMessage m(GetTable(), wxGRIDTABLE_NOTIFY_ROWS_APPENDED, nr - rows_);
      rows_ = nr;
      ProcessTableMessage(m);
    } else {
      wxGridTableMessage m(GetTable(), wxGRIDTABLE_NOTIFY_ROWS_DELETED, nr, rows_ - nr);
      rows_ = nr;
      ProcessTableMessage(m);
    }
  }
  if (nc != cols_) {
    if (nc > cols_) {
      wxGridTableMessage m(GetTable(), wxGRIDTABLE_NOTIFY_COLS_APPENDED, nc - cols_);
      cols_ = nc;
      ProcessTableMessage(m);
    } else {
      wxGridTableMessage m(GetTable(), wxGRIDTABLE_NOTIFY_COLS_DELETED, nc, cols_ - nc);
      cols_ = nc;
      ProcessTableMessage(m);
    }
  }
  std::vector<TColumn*> dbCols;
  if (db_) dbCols = db_->DisplayColumns();
  std::vector<int> wants(static_cast<size_t>(nc));
  for (int c = 0; c < nc; ++c) {
    int w = db_ ? dbCols[static_cast<size_t>(c)]->DisplayWidth() : model_->ColWidths.Get(c);
    wants[static_cast<size_t>(c)] = w <= 1 ? 0 : ColWidth(w);
  }
  if (db_ && fit_ < 1 && db_->Options.Contains(dgTitles)) KeepTitlesWhole(dbCols, wants);
  for (int c = 0; c < nc; ++c) {
    int want = wants[static_cast<size_t>(c)];
    if (db_ && c == nc - 1 && want > 0) want = LastColumnWidth(want);
    if (GetColSize(c) != want) SetColSize(c, want);
  }
  if (db_) {
    int lh = db_->Options.Contains(dgTitles) ? GetCharHeight() + 10 : 0;
    if (GetColLabelSize() != lh) SetColLabelSize(lh);
    int iw = db_->Options.Contains(dgIndicator) ? Sc(14) : 0;
    if (GetRowLabelSize() != iw) SetRowLabelSize(iw);
    EnableEditing(db_->Options.Contains(dgEditing) && !db_->ReadOnly);
    SetBackgroundColour(ToWx(db_->Color));
    int r = db_->CurrentDisplayRow(), c = db_->SelectedIndex.get();
    if (r < 0 && nr == 1 && BlankRow()) r = 0;
    if (r >= 0 && c >= 0 && r < nr && c < nc) {
      if (GetGridCursorRow() != r || GetGridCursorCol() != c) {
        if (IsCellEditControlShown()) DisableCellEditControl();
        SetGridCursor(r, c);
      }
      if (!IsVisible(r, c, false)) MakeCellVisible(r, c);
    }
    if (r != lastIndicator_) {
      lastIndicator_ = r;
      GetGridRowLabelWindow()->Refresh();
    }
    ForceRefresh();
    return;
  }
  int fr = std::min(model_->FixedRows, nr), fc = std::min(model_->FixedCols, nc);
  if (fr != frozenRows_ || fc != frozenCols_) {
    if (GetFirstFullyVisibleRow() <= fr && GetFirstFullyVisibleColumn() <= fc) {
      frozenRows_ = fr;
      frozenCols_ = fc;
      FreezeTo(fr, fc);
    }
  }
  EnableEditing(model_->Options.Contains(goEditing));
  SetBackgroundColour(ToWx(model_->Color));
  int r = model_->Row.get(), c = model_->Col.get();
  if (r >= 0 && c >= 0 && r < nr && c < nc) {
    if (GetGridCursorRow() != r || GetGridCursorCol() != c) {
      if (IsCellEditControlShown()) DisableCellEditControl();
      SetGridCursor(r, c);
    }
    if (!IsVisible(r, c, false)) MakeCellVisible(r, c);
  }
  ForceRefresh();
}

bool GridView::CommitEdit(std::function<void()> then) {
  if (!IsCellEditControlEnabled()) return false;
  DisableCellEditControl();
  // Queued behind the text the editor hands to the model.
  CallAfter([then = std::move(then)] { then(); });
  return true;
}

bool GridView::EditorKey(wxKeyEvent& e) {
  if (!IsCellEditControlShown()) return false;
  switch (e.GetKeyCode()) {
    case WXK_ESCAPE:
      // The typed text is dropped: the cell keeps what the model has, and a new row left
      // empty goes with it. A row changed before stays; the next Esc goes to the model.
      if (wxGridCellEditor* ed = GetCellEditor(GetGridCursorRow(), GetGridCursorCol())) {
        ed->Reset();
        ed->DecRef();
      }
      HideCellEditControl();
      DisableCellEditControl();
      CallAfter([this] {
        TDataSet* ds = db_ ? db_->DataSet() : nullptr;
        if (ds && ds->GetActive() && ds->GetState() == dsInsert && !ds->GetModified())
          db_->UserKeyDown(VK_ESCAPE, {});
      });
      return true;
    case WXK_RETURN: case WXK_NUMPAD_ENTER: case WXK_UP: case WXK_DOWN: case WXK_TAB: {
      if (e.GetKeyCode() != WXK_TAB && e.GetKeyCode() != WXK_UP && e.GetKeyCode() != WXK_DOWN &&
          e.RawControlDown() && HasEllipsis(GetGridCursorCol())) {
        ClickEllipsis();  // Ctrl+Enter presses the cell's button
        return true;
      }
      // Commit the text first, then let the model see the key.
      DisableCellEditControl();
      Word vk = KeyToVk(e.GetKeyCode());
      TShiftState sh = ShiftOf(e);
      CallAfter([this, vk, sh] {
        if (model_) model_->UserKeyDown(vk, sh);
      });
      return true;
    }
    default:
      e.Skip();
      return true;
  }
}

}  // namespace tv::gui
