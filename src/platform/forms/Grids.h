#pragma once
// Grids: the custom grid base (drawing, selection, editing) and the string grid.
#include <map>
#include <vector>

#include "platform/forms/Controls.h"

enum TGridOption { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
                   goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving,
                   goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking };
using TGridOptions = Set<TGridOption>;
enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = Set<TGridDrawStateFlag>;

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;

// Column widths or row heights: an index not written reads the default size.
class TGridSizes {
 public:
  explicit TGridSizes(const int* def) : def_(def) {}
  int& operator[](int i);
  int Get(int i) const;
  // Sum of the sizes of entries 0..n-1, each plus `gap`; only sizes written are visited.
  long long SumBefore(int n, int gap) const;
  void Reset() { sizes_.clear(); }

 private:
  const int* def_;
  std::map<int, int> sizes_;
};

class TCustomGrid : public TWinControl {
 public:
  explicit TCustomGrid(TComponent* AOwner);
  AnsiString ClassName() const override { return "TCustomGrid"; }
  TControlKind ControlKind() const override { return TControlKind::CustomGrid; }

  // Writing ColCount/RowCount resizes; the current cell is kept inside.
  TProp<int> ColCount;
  TProp<int> RowCount;
  int FixedCols = 1, FixedRows = 1;
  int DefaultColWidth = 64, DefaultRowHeight = 24, GridLineWidth = 1;
  TGridSizes ColWidths{&DefaultColWidth};
  TGridSizes RowHeights{&DefaultRowHeight};
  // Writing Col/Row from code asks SelectCell (OnSelectCell) and then clicks (OnClick),
  // as the original did; SetCurrentCell moves without events.
  TProp<int> Col;
  TProp<int> Row;
  TGridOptions Options{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle ScrollBars = ssBoth;
  bool DefaultDrawing = true;
  TColor FixedColor = clBtnFace;
  bool EditorMode = false;
  Sub<TCanvas> Canvas;

  TSelectCellEvent OnSelectCell;
  TDrawCellEvent OnDrawCell;
  TSetEditEvent OnSetEditText;
  TGetEditEvent OnGetEditText;
  TNotifyEvent OnTopLeftChanged;

  void SetCurrentCell(int col, int row);
  TRect CellRect(int col, int row) const;
  void MouseToCell(int x, int y, int& col, int& row) const;

  // Paints one cell into Canvas (cleared first) and returns it: the canvas starts with
  // the cell's colours (fixed, selected or normal), then DrawCell and the drawing events
  // run. Drivers replay Canvas->Ops(); tests read the colours back.
  virtual TCanvas* PaintCell(int col, int row);
  virtual AnsiString GetEditText(int col, int row);
  virtual void SetEditText(int col, int row, const AnsiString& value);
  virtual bool CanEditCell(int col, int row) const;

  // ---- user input ----
  // Focus the grid, then move to the cell (SelectCell may refuse), then OnClick.
  virtual void UserSelectCell(int col, int row);
  // Moves to a row keeping the column (a DB grid counts data rows from 0).
  virtual void UserSelectRow(int row) { UserSelectCell(Col.get(), row); }
  // Select the cell, then write its text as the in-place editor would.
  virtual void UserEditCell(int col, int row, const AnsiString& text);

  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  bool WantsKey(Word key, TShiftState shift) const override;

 protected:
  virtual bool SelectCell(int col, int row);
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  virtual void SizeChanged() {}
  // Moves the current cell with SelectCell and Click; false when refused.
  bool MoveTo(int col, int row);
  TGridDrawState StateOf(int col, int row) const;

 private:
  void SetColCount(int v);
  void SetRowCount(int v);
};

class TDrawGrid : public TCustomGrid {
 public:
  using TCustomGrid::TCustomGrid;
  AnsiString ClassName() const override { return "TDrawGrid"; }
};

class TStringGrid : public TCustomGrid {
 public:
  explicit TStringGrid(TComponent* AOwner);
  AnsiString ClassName() const override { return "TStringGrid"; }
  TControlKind ControlKind() const override { return TControlKind::StringGrid; }

  // Cells[col][row], as in the original.
  class Column {
   public:
    Column(TStringGrid* g, int c) : g_(g), c_(c) {}
    AnsiString& operator[](int row) const { return g_->CellRef(c_, row); }

   private:
    TStringGrid* g_;
    int c_;
  };
  class CellsAccess {
   public:
    explicit CellsAccess(TStringGrid* g) : g_(g) {}
    Column operator[](int col) const { return Column(g_, col); }

   private:
    TStringGrid* g_;
  };
  CellsAccess Cells{this};
  AnsiString& CellRef(int col, int row);  // EOutOfRange outside the grid

  AnsiString GetEditText(int col, int row) override;
  void SetEditText(int col, int row, const AnsiString& value) override;

 protected:
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
  void SizeChanged() override;

 private:
  std::vector<std::vector<AnsiString>> cells_;  // [col][row]
};
