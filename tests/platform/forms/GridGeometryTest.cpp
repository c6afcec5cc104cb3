// Cell rectangles: sizes written for some rows or columns shift only the cells after them.
#include <gtest/gtest.h>

#include "platform/forms/Vcl.h"

namespace {

TRect Walked(const TCustomGrid& g, int col, int row) {
  int x = 0, y = 0;
  for (int c = 0; c < col; ++c) x += g.ColWidths.Get(c) + g.GridLineWidth;
  for (int r = 0; r < row; ++r) y += g.RowHeights.Get(r) + g.GridLineWidth;
  return Rect(x, y, x + g.ColWidths.Get(col), y + g.RowHeights.Get(row));
}

TEST(GridGeometry, CellRectMatchesTheSumOfTheSizesBefore) {
  TStringGrid g(nullptr);
  g.ColCount = 8;
  g.RowCount = 40;
  g.DefaultRowHeight = 18;
  g.GridLineWidth = 2;
  g.ColWidths[2] = 150;
  g.ColWidths[5] = 0;
  g.RowHeights[0] = 30;
  g.RowHeights[7] = 5;
  g.RowHeights[30] = 60;
  (void)g.RowHeights[12];  // read through the writer: stays at the default
  g.DefaultColWidth = 70;  // cells not written follow the new default
  for (int c = 0; c < 8; ++c)
    for (int r : {0, 1, 7, 8, 12, 13, 30, 31, 39}) {
      TRect got = g.CellRect(c, r), want = Walked(g, c, r);
      EXPECT_EQ(got.Left, want.Left) << c << "," << r;
      EXPECT_EQ(got.Top, want.Top) << c << "," << r;
      EXPECT_EQ(got.Right, want.Right) << c << "," << r;
      EXPECT_EQ(got.Bottom, want.Bottom) << c << "," << r;
    }
}

TEST(GridGeometry, CellRectOfAVeryTallGridNeedsNoWalk) {
  TDrawGrid g(nullptr);
  g.ColCount = 2;
  g.RowCount = 2000000;
  TRect r{};
  // Many look-ups near the end: a walk over the rows would take minutes.
  for (int i = 0; i < 100000; ++i) r = g.CellRect(1, 1999999 - (i % 50));
  EXPECT_EQ(r.Top, (1999999 - 49) * (g.DefaultRowHeight + g.GridLineWidth));
  EXPECT_EQ(r.Left, g.DefaultColWidth + g.GridLineWidth);
}

}  // namespace
