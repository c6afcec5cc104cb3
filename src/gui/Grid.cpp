#include "gui/Grid.h"

#include <algorithm>
#include <cmath>

namespace tv::gui {

namespace {

// Replays a cell's recorded drawing (model coordinates in `mr`) into `rect`.
void Replay(wxDC& dc, const TCanvas& cv, const TRect& mr, const wxRect& rect) {
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
        // Text placed near the top of the cell is centred vertically in the taller row.
        int th = dc.GetCharHeight();
        int ty = Y(op.Y);
        if (op.Y - mr.Top <= 3) ty = rect.y + std::max(0, (rect.height - th) / 2);
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
      Replay(dc, *cv, mr, rect);
    } catch (...) {
      // A drawing handler that fails leaves the cell blank, as a failed paint would.
    }
  }
  wxSize GetBestSize(wxGrid&, wxGridCellAttr&, wxDC&, int, int) override { return wxSize(40, 20); }
  wxGridCellRenderer* Clone() const override { return new ModelRenderer; }
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
    if (!m || row >= view_->ModelRows() || col >= view_->ModelCols() || !m->CanEditCell(col, row))
      a->SetReadOnly();
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
          std::max(1, int(std::lround(GetColSize(e.GetRowOrCol()) / Scale())));
    else if (model_ && e.GetRowOrCol() < ModelCols())
      model_->ColWidths[e.GetRowOrCol()] =
          std::max(1, int(std::lround(GetColSize(e.GetRowOrCol()) / Scale())));
    e.Skip();
  });
  GetGridWindow()->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
    e.Skip();
    if (auto* d = WxDriver::Instance(); d && model_) d->OnWidgetFocus(model_);
  });
}

GridView::~GridView() = default;

int GridView::ModelRows() const {
  if (db_) return db_->DisplayRowCount();
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
  if (db_) return db_->DisplayText(col, row);
  return model_->GetEditText(col, row);
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
  for (int c = 0; c < nc; ++c) {
    int w = db_ ? dbCols[static_cast<size_t>(c)]->DisplayWidth() : model_->ColWidths.Get(c);
    int want = w <= 1 ? 0 : Sc(w);
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

bool GridView::EditorKey(wxKeyEvent& e) {
  if (!IsCellEditControlShown()) return false;
  switch (e.GetKeyCode()) {
    case WXK_ESCAPE:
      HideCellEditControl();
      DisableCellEditControl();
      return true;
    case WXK_RETURN: case WXK_NUMPAD_ENTER: case WXK_UP: case WXK_DOWN: case WXK_TAB: {
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
