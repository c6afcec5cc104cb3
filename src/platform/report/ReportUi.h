#pragma once
// The hook through which reports are shown and printed.
//
// TQuickRep::Preview, Print and PrinterSetup call the current ReportUi. The default is
// HeadlessReportUi, which shows nothing and records what it was given, so tests read the
// pages of the last previewed or printed report. The desktop front end registers its own
// implementation at start-up with SetReportUi: a modal preview window (page navigation,
// zoom, print, save as PDF with SavePdf, pages drawn with RenderPage from Render.h) and
// printing through the desktop's print dialog. Preview returns when that window closes.
#include <string>
#include <vector>

#include "platform/report/Prepared.h"

namespace tv::report {

class ReportUi {
 public:
  virtual ~ReportUi() = default;
  // Shows the pages until the user closes the preview.
  virtual void Preview(const PreparedReport& report, const std::string& title) = 0;
  // Sends the pages to the printer; with showDialog the print dialog comes first.
  // Returns false when the user cancelled.
  virtual bool Print(const PreparedReport& report, const std::string& title, bool showDialog) = 0;
  // The printer set-up dialog; false when cancelled.
  virtual bool PrinterSetup() = 0;
};

// Records every call; tests read the last report shown or printed.
class HeadlessReportUi : public ReportUi {
 public:
  void Preview(const PreparedReport& report, const std::string& title) override;
  bool Print(const PreparedReport& report, const std::string& title, bool showDialog) override;
  bool PrinterSetup() override;

  struct Shown {
    enum Kind { kPreview, kPrint } kind;
    std::string title;
    bool showDialog = false;
    PreparedReport report;
  };
  std::vector<Shown> shown;  // in call order
  int printerSetups = 0;
  bool printAnswer = true;  // what Print and PrinterSetup return (false = the user cancelled)
  const Shown* Last() const { return shown.empty() ? nullptr : &shown.back(); }
  void Clear() { shown.clear(); printerSetups = 0; printAnswer = true; }
};

// The current hook; never null.
ReportUi& CurrentReportUi();
// Registers `ui` (not owned); nullptr restores the headless one.
void SetReportUi(ReportUi* ui);
// The built-in headless hook, also when another one is registered.
HeadlessReportUi& HeadlessUi();

}  // namespace tv::report
