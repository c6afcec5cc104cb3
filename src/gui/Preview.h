#pragma once
// Report preview and printing for the desktop.
#include "platform/report/ReportUi.h"

class wxPrintData;

namespace tv::gui {

// Sets the print data's paper to the report's page: a known paper when one matches,
// else a custom size.
void SetPaper(wxPrintData& data, const tv::report::PreparedReport& report);

class WxReportUi : public tv::report::ReportUi {
 public:
  void Preview(const tv::report::PreparedReport& report, const std::string& title) override;
  bool Print(const tv::report::PreparedReport& report, const std::string& title, bool showDialog) override;
  bool PrinterSetup() override;
};

}  // namespace tv::gui
