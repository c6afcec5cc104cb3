#pragma once
// Band reports: a report (TQuickRep) bound to a data set, bands of the kinds the printed
// forms use, and the printable elements placed on them. Prepare lays the bands out over the
// data into pages (PreparedReport); Preview and Print hand the pages to the ReportUi hook.
//
// Units: band heights and element positions/sizes are pixels at 96 per inch, as the forms
// were drawn; fonts are in points; page margins in millimetres; custom paper sizes
// (Page->Length, Page->Width) in tenths of a millimetre.
//
// Wiring, as a report form's constructor does it:
//   QuickReport1 = new TQuickRep(this);            QuickReport1->DataSource = DataSource1;
//   QRBand1 = new TQRBand(this);  QRBand1->Parent = QuickReport1;  QRBand1->BandType = rbDetail;
//   QRDBText1 = new TQRDBText(this);  QRDBText1->Parent = QRBand1;  QRDBText1->DataField = "Debito";
// Bands of the same kind print in the order they were given their Parent. An element that
// is not placed on a band does not print.
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/DecimalSum.h"
#include "platform/forms/Controls.h"  // TAlignment
#include "platform/forms/Graphics.h"
#include "platform/forms/Property.h"
#include "platform/report/Prepared.h"

class TDataSet;
class TDataSource;
class TQuickRep;
class TQRCustomBand;
class TQRPrintable;

namespace tv::report {
class BandPainter;  // the layout engine's view of one band being printed
class ReportData;   // rows and fields the engine reads (a data set behind it)
}  // namespace tv::report

enum TQRBandType {
  rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader, rbGroupFooter,
  rbColumnHeader, rbChild
};

enum TQRPaperSize { qrpDefault, qrpLetter, qrpLegal, qrpA4, qrpCustom };
enum TPrinterOrientation { poPortrait, poLandscape };

// Paper and margins. qrpDefault is the printer's default paper: letter. A report that the
// margins push past the printable width is narrowed to it (positions, widths and fonts
// shrink alike, horizontally); one that fits prints as designed.
class TQRPage : public TObject {
 public:
  TQRPaperSize PaperSize = qrpLetter;
  TPrinterOrientation Orientation = poPortrait;
  double Length = 2794;  // custom paper height, tenths of a millimetre (portrait)
  double Width = 2159;   // custom paper width, tenths of a millimetre (portrait)
  double LeftMargin = 10, RightMargin = 10, TopMargin = 10, BottomMargin = 10;  // mm
  // Sheet size in points after orientation.
  double PaperWidthPt() const;
  double PaperHeightPt() const;
};

// Pages of the last prepared report.
class TQRPrinter : public TObject {
 public:
  int PageCount = 0;
  int PageNumber = 0;  // page being laid out during Prepare
};

// ---- bands ------------------------------------------------------------------------------
using TQRBandBeforePrintEvent = std::function<void(TQRCustomBand* Sender, bool& PrintBand)>;

class TQRCustomBand : public TComponent {
 public:
  TQRCustomBand(TComponent* AOwner, TQRBandType type);
  ~TQRCustomBand() override;
  AnsiString ClassName() const override { return "TQRCustomBand"; }

  TProp<TQuickRep*> Parent;
  TQRBandType BandType;
  int Height = 20;
  bool Enabled = true;
  bool ForceNewPage = false;  // starts a new page before it prints
  TColor Color = clWhite;
  // May change the band and its elements, or set PrintBand false to skip it (and its
  // child bands) for this run.
  TQRBandBeforePrintEvent BeforePrint;
  std::function<void(TQRCustomBand* Sender, bool BandPrinted)> AfterPrint;

  const std::vector<TQRPrintable*>& Elements() const { return elements_; }

 private:
  friend class TQRPrintable;
  void SetParent(TQuickRep* report);
  std::vector<TQRPrintable*> elements_;  // in placement order
};

class TQRBand : public TQRCustomBand {
 public:
  explicit TQRBand(TComponent* AOwner) : TQRCustomBand(AOwner, rbDetail) {}
  AnsiString ClassName() const override { return "TQRBand"; }
};

// Prints right after its ParentBand, every time that band prints. Setting ParentBand
// places it in the parent band's report.
class TQRChildBand : public TQRCustomBand {
 public:
  explicit TQRChildBand(TComponent* AOwner);
  AnsiString ClassName() const override { return "TQRChildBand"; }
  TProp<TQRCustomBand*> ParentBand;
};

// Group header: prints before the first row and whenever Expression (a field name or an
// expression such as COPY(numecuen,1,6)) changes value; FooterBand prints after the last
// row of each group. Sums on the footer band cover the rows of that group.
class TQRGroup : public TQRCustomBand {
 public:
  explicit TQRGroup(TComponent* AOwner) : TQRCustomBand(AOwner, rbGroupHeader) {}
  AnsiString ClassName() const override { return "TQRGroup"; }
  AnsiString Expression;
  TQRCustomBand* FooterBand = nullptr;
};

// ---- the report ---------------------------------------------------------------------------
using TQRReportBeforePrintEvent = std::function<void(TQuickRep* Sender, bool& PrintReport)>;

class TQuickRep : public TComponent {
 public:
  explicit TQuickRep(TComponent* AOwner);
  ~TQuickRep() override;
  AnsiString ClassName() const override { return "TQuickRep"; }

  // The rows: the data set of DataSource when one is set (read when the report runs, so
  // rebinding the source in BeforePrint takes effect), else DataSet. Without either the
  // report prints its title, headers, summary and footers once and no detail.
  TDataSet* DataSet = nullptr;
  TDataSource* DataSource = nullptr;

  Sub<TQRPage> Page;
  Sub<TQRPrinter> QRPrinter;
  AnsiString ReportTitle;
  bool ShowPrintDialog = false;  // Print() shows the print dialog first

  TQRReportBeforePrintEvent BeforePrint;
  TNotifyEvent AfterPrint;

  // Lays the report out; the pages stay until the next Prepare. Page count in QRPrinter.
  void Prepare();
  // Shows the pages through the ReportUi hook; uses the pages of a Prepare() called just
  // before, else prepares first (so band handlers do not run twice).
  void Preview();
  // Prints through the hook (print dialog first when ShowPrintDialog).
  void Print();
  // The printer set-up dialog; false when cancelled.
  bool PrinterSetup();

  int PageNumber() const { return QRPrinter->PageNumber; }
  const tv::report::PreparedReport& Prepared() const { return prepared_; }
  const std::vector<TQRCustomBand*>& Bands() const { return bands_; }

  // Rows read from an object of the report module instead of a data set (tests,
  // benchmarks). Not owned; DataSource and DataSet take precedence.
  void SetReportData(tv::report::ReportData* data) { externalData_ = data; }
  tv::report::ReportData* GetReportData() const { return externalData_; }

 private:
  friend class TQRCustomBand;
  friend class tv::report::BandPainter;
  void AddBand(TQRCustomBand* b);
  void RemoveBand(TQRCustomBand* b);
  void PrepareIfStale();

  std::vector<TQRCustomBand*> bands_;
  tv::report::PreparedReport prepared_;
  bool fresh_ = false;  // prepared and not yet shown
  tv::report::ReportData* externalData_ = nullptr;
};

// ---- printable elements -------------------------------------------------------------------
using TQRLabelOnPrintEvent = std::function<void(TObject* Sender, AnsiString& Value)>;

class TQRPrintable : public TComponent {
 public:
  explicit TQRPrintable(TComponent* AOwner);
  ~TQRPrintable() override;
  AnsiString ClassName() const override { return "TQRPrintable"; }

  TProp<TQRCustomBand*> Parent;
  int Left = 0, Top = 0, Width = 65, Height = 17;
  bool Enabled = true;  // disabled elements do not print
  TAlignment Alignment = taLeftJustify;
  Sub<TFont> Font;      // Arial 8 unless changed
  TColor Color = clWhite;
  bool Transparent = false;  // a colour other than white fills the element's box

  // Engine entry points.
  virtual void Render(tv::report::BandPainter& p) = 0;
  virtual void Accumulate(tv::report::BandPainter&) {}  // once per detail row
  virtual void ResetTotal() {}
  bool ResetsAfterPrint() const { return resetAfterPrint_; }

 protected:
  bool resetAfterPrint_ = false;

 private:
  void SetParent(TQRCustomBand* band);
};

// Text elements: OnPrint may replace the text about to print.
class TQRCustomLabel : public TQRPrintable {
 public:
  using TQRPrintable::TQRPrintable;
  bool AutoSize = true;   // width follows the text (right-aligned text grows leftwards)
  bool WordWrap = false;  // break into lines within Width (when AutoSize is off)
  TQRLabelOnPrintEvent OnPrint;
  void Render(tv::report::BandPainter& p) override;

 protected:
  virtual AnsiString PrintText(tv::report::BandPainter& p) = 0;
};

class TQRLabel : public TQRCustomLabel {
 public:
  explicit TQRLabel(TComponent* AOwner) : TQRCustomLabel(AOwner) {}
  AnsiString ClassName() const override { return "TQRLabel"; }
  AnsiString Caption;

 protected:
  AnsiString PrintText(tv::report::BandPainter&) override { return Caption; }
};

// A field of the current row, as displayed. Without DataSet/DataSource it reads the report's rows.
class TQRDBText : public TQRCustomLabel {
 public:
  explicit TQRDBText(TComponent* AOwner) : TQRCustomLabel(AOwner) {}
  AnsiString ClassName() const override { return "TQRDBText"; }
  TDataSet* DataSet = nullptr;
  TDataSource* DataSource = nullptr;
  AnsiString DataField;

 protected:
  AnsiString PrintText(tv::report::BandPainter& p) override;
};

// An expression over the report's rows; SUM(...) and COUNT aggregate over the detail rows.
class TQRExpr : public TQRCustomLabel {
 public:
  explicit TQRExpr(TComponent* AOwner);
  ~TQRExpr() override;
  AnsiString ClassName() const override { return "TQRExpr"; }
  AnsiString Expression;
  bool& ResetAfterPrint = resetAfterPrint_;
  void Accumulate(tv::report::BandPainter& p) override;
  void ResetTotal() override { total_.Clear(); count_ = 0; }

 protected:
  AnsiString PrintText(tv::report::BandPainter& p) override;

 private:
  struct Parsed;
  Parsed& Compiled();
  std::unique_ptr<Parsed> parsed_;
  tv::DecimalSum total_;  // the sum of the values as printed, every digit kept
  long count_ = 0;
};

enum TQRCalcOperation { qrcSum, qrcCount };

// Sum (or count) of a field over the detail rows printed since the last reset.
class TQRDBCalc : public TQRCustomLabel {
 public:
  explicit TQRDBCalc(TComponent* AOwner) : TQRCustomLabel(AOwner) {}
  AnsiString ClassName() const override { return "TQRDBCalc"; }
  TDataSet* DataSet = nullptr;
  TDataSource* DataSource = nullptr;
  AnsiString DataField;
  TQRCalcOperation Operation = qrcSum;
  bool& ResetAfterPrint = resetAfterPrint_;
  void Accumulate(tv::report::BandPainter& p) override;
  void ResetTotal() override { total_.Clear(); count_ = 0; }
  double Value() const { return Operation == qrcCount ? static_cast<double>(count_) : total_.Value(); }

 protected:
  AnsiString PrintText(tv::report::BandPainter& p) override;

 private:
  tv::DecimalSum total_;  // the sum of the values as printed, every digit kept
  long count_ = 0;
};

enum TQRSysDataType { qrsTime, qrsDate, qrsDateTime, qrsPageNumber, qrsReportTitle, qrsDetailNo };

// Page number, date or time of printing, report title; Text is printed before the value.
class TQRSysData : public TQRCustomLabel {
 public:
  explicit TQRSysData(TComponent* AOwner) : TQRCustomLabel(AOwner) {}
  AnsiString ClassName() const override { return "TQRSysData"; }
  TQRSysDataType Data = qrsPageNumber;
  AnsiString Text;

 protected:
  AnsiString PrintText(tv::report::BandPainter& p) override;
};

// Several lines of text, wrapped within Width; lines beyond the band are cut.
class TQRMemo : public TQRPrintable {
 public:
  explicit TQRMemo(TComponent* AOwner) : TQRPrintable(AOwner) {}
  AnsiString ClassName() const override { return "TQRMemo"; }
  Sub<TStringList> Lines;
  bool WordWrap = true;
  void Render(tv::report::BandPainter& p) override;
};

enum TQRShapeType { qrsRectangle, qrsCircle, qrsVertLine, qrsHorLine, qrsTopAndBottom, qrsRightAndLeft };

class TQRShape : public TQRPrintable {
 public:
  explicit TQRShape(TComponent* AOwner);
  AnsiString ClassName() const override { return "TQRShape"; }
  TQRShapeType Shape = qrsRectangle;
  Sub<TPen> Pen;
  Sub<TBrush> Brush;  // bsClear leaves the inside empty
  void Render(tv::report::BandPainter& p) override;
};

// A BMP or PNG picture: Picture->LoadFromFile(...). A file that cannot be read prints nothing.
class TQRImage : public TQRPrintable {
 public:
  explicit TQRImage(TComponent* AOwner) : TQRPrintable(AOwner) {}
  AnsiString ClassName() const override { return "TQRImage"; }
  Sub<TPicture> Picture;
  bool Stretch = false;  // fill the element's box; otherwise natural size (96 per inch)
  bool Center = false;
  void Render(tv::report::BandPainter& p) override;

 private:
  std::string loadedFrom_;
  std::shared_ptr<const tv::report::Picture> picture_;
};
