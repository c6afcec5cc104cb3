#pragma once
// A wxGrid over a model grid: virtual (the table reads the model on demand), cells painted
// by replaying the model's canvas, selection and editing through the user-input methods.
#include <wx/grid.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/Driver.h"
#include "platform/forms/DBGrids.h"

namespace tv::gui {

class GridView : public wxGrid {
 public:
  GridView(wxWindow* parent, TCustomGrid* model);
  ~GridView() override;
  TCustomGrid* Model() const { return model_; }
  void Detach() {
    model_ = nullptr;
    db_ = nullptr;
  }
  // Data-aware grids address data cells: titles and the row indicator are wx labels.
  TDBGrid* Db() const { return db_; }
  TCanvas* Paint(int col, int row, TRect& modelRect);
  AnsiString Text(int col, int row);
  // Brings counts, sizes, the current cell and the painting up to date.
  void SyncFromModel();
  // Keys arriving while the cell editor is open; true when handled here.
  bool EditorKey(wxKeyEvent& e);
  // Ends an open cell edit as leaving the cell would (the text goes to the model) and runs
  // `then` once the model has it; false, and nothing run, when no edit was open.
  bool CommitEdit(std::function<void()> then);

  // Columns narrower by the form's fit when the form is tightened to fit the screen.
  void SetColumnFit(double fit);

  int ModelRows() const;
  // The blank row of an empty editable dataset, where typing starts the first row.
  bool BlankRow() const;
  int ModelCols() const;

  // Data-aware columns with an ellipsis button (shown in the current cell) or a pick list.
  bool HasEllipsis(int col) const;
  wxRect EllipsisRect(int row, int col) const;  // in the grid window's logical coordinates
  // The editor of a column, or nullptr for the plain text editor.
  wxGridCellEditor* EditorFor(int col);
  // Commits an open editor and fires the column's button.
  void ClickEllipsis();

 private:
  double fit_ = 1;
  void KeepTitlesWhole(const std::vector<TColumn*>& cols, std::vector<int>& wants);
  int ColWidth(int modelWidth) const { return static_cast<int>(std::lround(modelWidth * Scale() * fit_)); }
  // Width of the last data-aware column: its own, or the room left on the right.
  int LastColumnWidth(int want) const;

  TCustomGrid* model_;
  TDBGrid* db_ = nullptr;
  int lastIndicator_ = -1;
  int rows_ = 0, cols_ = 0;
  int frozenRows_ = -1, frozenCols_ = -1;
  struct ColumnEditor {
    std::string sig;
    wxGridCellEditor* editor = nullptr;
  };
  std::map<int, ColumnEditor> editors_;
  friend class GridTable;
};

}  // namespace tv::gui
