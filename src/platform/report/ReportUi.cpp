#include "platform/report/ReportUi.h"

namespace tv::report {
namespace {
ReportUi* g_current = nullptr;
}

void HeadlessReportUi::Preview(const PreparedReport& report, const std::string& title) {
  shown.push_back({Shown::kPreview, title, false, report});
}

bool HeadlessReportUi::Print(const PreparedReport& report, const std::string& title, bool showDialog) {
  if (showDialog && !printAnswer) return false;
  shown.push_back({Shown::kPrint, title, showDialog, report});
  return true;
}

bool HeadlessReportUi::PrinterSetup() {
  ++printerSetups;
  return printAnswer;
}

HeadlessReportUi& HeadlessUi() {
  static HeadlessReportUi ui;
  return ui;
}

ReportUi& CurrentReportUi() { return g_current ? *g_current : HeadlessUi(); }

void SetReportUi(ReportUi* ui) { g_current = ui; }

}  // namespace tv::report
