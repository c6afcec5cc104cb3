#pragma once
// The data-aware grid: virtual over its dataset (it never copies rows). Its current row is
// the dataset's cursor; its columns are the Columns added, or every field of the dataset
// (in field order, titled with the field names) when none were added. In-cell editing
// writes the field of the current row (putting the dataset in edit state); the dataset
// posts the row when the cursor moves to another row.
//
// Coordinates: columns are indexes into DisplayColumns() (0-based), rows are view rows of
// the dataset (0-based, the row being inserted included); titles and the indicator are
// not counted.
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/DB.h"
#include "platform/forms/Grids.h"

class TDBGrid;

// Titles of columns that have no caption of their own: the application may name its fields
// (an empty answer keeps the field name). One namer for the process.
void SetFieldTitles(std::function<AnsiString(const AnsiString& field)> titles);
// Cells drawn by the grid itself whose field the application reads as an amount: true gives
// the text to show, drawn right-aligned.
void SetAmountCells(std::function<bool(const TField& field, AnsiString& text)> amount);
// The title the application gives a field (the field name when it gives none), and the text
// of a field as a grid cell shows it (amounts as the application formats them): for grids that
// show fields without being data-aware.
AnsiString FieldTitle(const AnsiString& field);
AnsiString FieldCellText(const TField& field);

class TColumnTitle {
 public:
  AnsiString Caption;
  TAlignment Alignment = taLeftJustify;
  Sub<TFont> Font;
  TColor Color = clBtnFace;
};

enum TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

class TColumn : public TObject {
 public:
  explicit TColumn(TDBGrid* grid) : grid_(grid) {}
  AnsiString ClassName() const override { return "TColumn"; }
  AnsiString FieldName;
  Sub<TColumnTitle> Title;
  int Width = -1;  // -1: from the field's display width
  TAlignment Alignment = taLeftJustify;
  TColor Color = clWindow;
  Sub<TFont> Font;
  bool ReadOnly = false;
  TColumnButtonStyle ButtonStyle = cbsAuto;
  Sub<TStringList> PickList;
  bool Visible = true;
  // The field of the grid's dataset this column shows (nullptr when none).
  TField* Field() const;
  TDBGrid* Grid() const { return grid_; }
  int Index() const;
  int DisplayWidth() const;  // Width, or the default from the field
  AnsiString DisplayTitle() const;  // Title->Caption, or the field name without one

 private:
  TDBGrid* grid_;
};

enum TDBGridColumnsState { csDefault, csCustomized };

class TDBGridColumns {
 public:
  explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
  // Adding to default columns drops them first.
  TColumn* Add();
  int Count() const { return static_cast<int>(cols_.size()); }
  void Clear();
  void Delete(int i);
  TDBGridColumnsState State() const { return state_; }
  // Columns->Items[i]
  class ItemsAccess {
   public:
    explicit ItemsAccess(const TDBGridColumns* c) : c_(c) {}
    TColumn* operator[](int i) const { return c_->cols_.at(static_cast<size_t>(i)).get(); }

   private:
    const TDBGridColumns* c_;
  };
  ItemsAccess Items{this};
  TColumn* operator[](int i) const { return cols_.at(static_cast<size_t>(i)).get(); }
  // Rebuilds default columns from the dataset's fields (when not customized).
  void RebuildDefault();

 private:
  TDBGrid* grid_;
  std::vector<std::unique_ptr<TColumn>> cols_;
  TDBGridColumnsState state_ = csDefault;
};

enum TDBGridOption { dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize,
                     dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection,
                     dgConfirmDelete, dgCancelOnExit, dgMultiSelect };
using TDBGridOptions = Set<TDBGridOption>;

using TDrawColumnCellEvent = std::function<void(TObject* Sender, const TRect& Rect, int DataCol,
                                                TColumn* Column, TGridDrawState State)>;
using TDBGridClickEvent = std::function<void(TColumn* Column)>;

class TDBGrid : public TCustomGrid {
 public:
  explicit TDBGrid(TComponent* AOwner);
  ~TDBGrid() override;
  AnsiString ClassName() const override { return "TDBGrid"; }
  TControlKind ControlKind() const override { return TControlKind::DBGrid; }

  // Writing DataSource binds (or detaches) the grid.
  TProp<TDataSource*> DataSource;
  Sub<TDBGridColumns> Columns{this};
  TDBGridOptions Options{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                         dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit};
  bool ReadOnly = false;
  // Current column (index into the visible columns); no events when written from code.
  TProp<int> SelectedIndex;
  Sub<TFont> TitleFont;

  TDrawColumnCellEvent OnDrawColumnCell;
  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;
  TDBGridClickEvent OnCellClick;
  TDBGridClickEvent OnTitleClick;
  TNotifyEvent OnEditButtonClick;

  TDataSet* DataSet() const;
  TField* SelectedField() const;
  int FieldCount() const { return static_cast<int>(DisplayColumns().size()); }
  TField* Fields(int i) const;

  // Draws a cell as the grid would: the field's text aligned per its column over the
  // canvas's current brush.
  void DefaultDrawColumnCell(const TRect& rect, int dataCol, TColumn* column, TGridDrawState state);

  // ---- reading for drivers and tests ----
  std::vector<TColumn*> DisplayColumns() const;
  int DisplayRowCount() const;
  int CurrentDisplayRow() const;
  AnsiString DisplayText(int col, int row) const;
  // Paints a data cell (col, row in the coordinates above) and returns the canvas:
  // column colour and font (highlight for the current cell when the grid is not
  // focused... as the original), then default drawing, then OnDrawColumnCell with
  // Column->Field reading the painted row.
  TCanvas* PaintCell(int col, int row) override;
  TRect DataCellRect(int col, int row) const;

  // ---- user input ----
  void UserSelectCell(int col, int row) override;
  void UserSelectRow(int row) override;
  void UserEditCell(int col, int row, const AnsiString& text) override;
  // The ellipsis button of the current cell.
  void UserEditButtonClick();
  void UserTitleClick(int col);

  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& ch) override;
  bool WantsKey(Word key, TShiftState shift) const override;
  void DoExit() override;
  bool CanEditCell(int col, int row) const override;
  // Most characters the editor of a display column takes: the width of a text field, 0
  // for no limit. Longer input is never stored cut: the editor refuses it.
  int EditLimit(int col) const;

 private:
  class Link;
  friend class Link;
  friend class TDBGridColumns;
  void Bind(TDataSource* ds);
  bool MoveToRow(int row);
  bool MoveToCol(int col);
  bool CanEditColumn(int col) const;
  void WriteCellText(const AnsiString& text);
  std::unique_ptr<Link> link_;
  AnsiString editText_;
};
