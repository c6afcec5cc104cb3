#pragma once
// Report preview and printing for the desktop.
#include "platform/report/ReportUi.h"

namespace tv::gui {

class WxReportUi : public tv::report::ReportUi {
 public:
  void Preview(const tv::report::PreparedReport& report, const std::string& title) override;
  bool Print(const tv::report::PreparedReport& report, const std::string& title, bool showDialog) override;
  bool PrinterSetup() override;
};

}  // namespace tv::gui
