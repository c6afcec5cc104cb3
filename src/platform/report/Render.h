#pragma once
// Outputs of a prepared report: PDF file, page pictures (for a preview) and a text dump.
#include <string>

#include "platform/report/Prepared.h"

namespace tv::report {

struct PdfOptions {
  // Fixed metadata keeps the file byte-stable for the same report.
  std::string createDate = "2000-01-01T00:00:00";
  std::string creator = "tallivar";
};

// Writes every page; throws EInOutError when the file cannot be written.
void SavePdf(const PreparedReport& report, const std::string& path, const PdfOptions& options = {});

// Draws page `pageIndex` (0-based) at `scale` pixels per point onto a white picture
// (premultiplied ARGB32); the desktop preview shows these at its zoom.
Picture RenderPage(const PreparedReport& report, int pageIndex, double scale);

// Plain text of the pages for tests: a "--- page n ---" line per page, then each text item
// in reading order (top to bottom, then left to right), one line each; items sharing a
// baseline are joined on one line separated by " | ".
std::string DumpText(const PreparedReport& report);

}  // namespace tv::report
