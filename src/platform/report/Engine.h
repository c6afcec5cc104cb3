#pragma once
// Internal to the report module: the data the layout engine reads and its view of the band
// being printed, through which elements place their items.
#include <memory>
#include <string>
#include <vector>

#include "platform/report/PangoText.h"
#include "platform/report/QuickRpt.h"
#include "platform/report/ReportExpr.h"

namespace tv::report {

// Rows of a report. Field() fills `out` with the current row's value (numbers as numbers,
// with their displayed text) and returns false when there is no such field.
class ReportData {
 public:
  virtual ~ReportData() = default;
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() = 0;
  virtual bool Field(const std::string& name, ExprValue& out) = 0;
  // Steps back one row, so that a group footer sees the last row of its group; false
  // when these rows cannot go back (the footer then sees the next group's first row).
  virtual bool Prior() { return false; }
};

// A data set as report rows (opened when closed).
std::unique_ptr<ReportData> DataSetRows(TDataSet* ds);
// One field of a data set's current row; false when the data set has no such field.
bool ReadDataSetField(TDataSet* ds, const std::string& name, ExprValue& out);
TDataSet* DataSetOf(TDataSource* src);

constexpr double kPt = 0.75;  // points per report pixel (96 per inch)

// The right edge of the printable width. Painters draw on bands open to the right and
// report here the text that passes the edge; once every page is laid out, the layout
// narrows the report to the edge (or cuts at it) and decides which of those texts print cut.
struct RightEdge {
  double limit = 0;  // x of the edge, points
  double ink = 0;    // rightmost text that passes it
  // A text for the overflow recorder, in print order. With page >= 0 it passes the edge:
  // the layout decides whether it prints cut once it knows the scale.
  struct Cut {
    Overflow overflow;
    int page = -1;
    size_t item = 0;
    bool whole = false;  // after all, it prints whole
  };
  bool recording = false;
  std::vector<Cut> cuts;
};

class BandPainter {
 public:
  BandPainter(TQuickRep& report, PreparedPage& page, const Rect& band, ReportData* data, TextEngine& text,
              RightEdge& edge, int pageNumber, long detailNo)
      : report_(report), page_(page), band_(band), data_(data), text_(text), edge_(edge),
        pageNumber_(pageNumber), detailNo_(detailNo) {}

  TQuickRep& Report() const { return report_; }
  int PageNumber() const { return pageNumber_; }
  long DetailNo() const { return detailNo_; }
  // The band being printed, open to the right (the layout cuts at the printable width).
  const Rect& BandRect() const { return band_; }

  // A field for an element: its own data set or source, else the report's rows.
  // Throws when the data has no such field; false when there is no data at all.
  bool Field(TDataSet* ds, TDataSource* src, const AnsiString& name, ExprValue& out) const;
  FieldLookup ReportFields() const;

  Rect ElementRect(const TQRPrintable& e) const;
  static FontSpec FontOf(const TQRPrintable& e);
  void Text(const TQRPrintable& e, const std::string& text, bool autoSize, bool wrap);
  template <class T>
  void Add(T&& item) {
    page_.items.emplace_back(std::in_place_type<std::decay_t<T>>, std::forward<T>(item));
  }
  static bool Intersect(const Rect& a, const Rect& b, Rect& out);

 private:
  void RecordCut(const TQRPrintable& e, const std::string& text, double width, double room);
  TQuickRep& report_;
  PreparedPage& page_;
  Rect band_;
  ReportData* data_;
  TextEngine& text_;
  RightEdge& edge_;
  int pageNumber_;
  long detailNo_;
};

}  // namespace tv::report
