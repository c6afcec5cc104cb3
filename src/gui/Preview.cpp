// The preview window of reports (page navigation, zoom, print, save as PDF) and printing
// through the desktop's print system.
#include "gui/Preview.h"

#include <wx/filedlg.h>
#include <wx/paper.h>
#include <wx/print.h>
#include <wx/printdlg.h>

#include <algorithm>
#include <cmath>

#include "gui/Driver.h"
#include "platform/report/Render.h"

namespace tv::gui {

using tv::report::PreparedReport;

namespace {

wxBitmap PageBitmap(const PreparedReport& r, int page, double scale) {
  tv::report::Picture pic = tv::report::RenderPage(r, page, scale);
  if (pic.width <= 0 || pic.height <= 0) return wxBitmap(1, 1);
  wxImage img(pic.width, pic.height, false);
  unsigned char* d = img.GetData();
  for (size_t i = 0; i < pic.pixels.size(); ++i) {
    uint32_t p = pic.pixels[i];
    unsigned a = p >> 24;
    unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    // Premultiplied over white.
    d[i * 3] = static_cast<unsigned char>(r + (255 - a));
    d[i * 3 + 1] = static_cast<unsigned char>(g + (255 - a));
    d[i * 3 + 2] = static_cast<unsigned char>(b + (255 - a));
  }
  return wxBitmap(img);
}

class ReportPrintout : public wxPrintout {
 public:
  ReportPrintout(const PreparedReport& r, const wxString& title) : wxPrintout(title), r_(r) {}
  bool HasPage(int page) override { return page >= 1 && page <= r_.PageCount(); }
  void GetPageInfo(int* minPage, int* maxPage, int* from, int* to) override {
    *minPage = 1;
    *maxPage = r_.PageCount();
    *from = 1;
    *to = r_.PageCount();
  }
  bool OnPrintPage(int page) override {
    wxDC* dc = GetDC();
    if (!dc) return false;
    // Pages are drawn at 150 dpi and fitted to the paper.
    double scale = 150.0 / 72.0;
    wxBitmap bmp = PageBitmap(r_, page - 1, scale);
    FitThisSizeToPaper(wxSize(bmp.GetWidth(), bmp.GetHeight()));
    dc->DrawBitmap(bmp, 0, 0);
    return true;
  }

 private:
  const PreparedReport& r_;
};

wxPrintData& SharedPrintData() {
  static wxPrintData data;
  return data;
}

class PreviewCanvas : public wxScrolledWindow {
 public:
  PreviewCanvas(wxWindow* parent) : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxHSCROLL | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundColour(wxColour(128, 128, 128));
    SetScrollRate(20, 20);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
      wxPaintDC dc(this);
      DoPrepareDC(dc);
      if (!page.IsOk()) return;
      wxSize cs = GetClientSize();
      int x = std::max(10, (cs.x - page.GetWidth()) / 2);
      dc.SetPen(*wxBLACK_PEN);
      dc.SetBrush(*wxWHITE_BRUSH);
      dc.DrawRectangle(x - 1, 9, page.GetWidth() + 2, page.GetHeight() + 2);
      dc.DrawBitmap(page, x, 10);
    });
  }
  void SetPage(const wxBitmap& b) {
    page = b;
    SetVirtualSize(b.GetWidth() + 20, b.GetHeight() + 20);
    Scroll(0, 0);
    Refresh();
  }
  wxBitmap page;
};

class PreviewDialog : public wxDialog {
 public:
  PreviewDialog(wxWindow* parent, const PreparedReport& r, const wxString& title)
      : wxDialog(parent, wxID_ANY, title.empty() ? wxString("Vista previa") : title, wxDefaultPosition, wxDefaultSize,
                 wxCAPTION | wxRESIZE_BORDER | wxSYSTEM_MENU | wxCLOSE_BOX | wxMAXIMIZE_BOX),
        r_(r), title_(title) {
    SetName("tvPreview");
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* bar = new wxBoxSizer(wxHORIZONTAL);
    auto button = [&](const wxString& label, std::function<void()> fn) {
      auto* b = new wxButton(this, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, label.length() <= 2 ? wxBU_EXACTFIT : 0);
      b->Bind(wxEVT_BUTTON, [fn](wxCommandEvent&) { fn(); });
      bar->Add(b, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
      return b;
    };
    button("|<", [this] { Go(0); });
    button("<", [this] { Go(page_ - 1); });
    pageLabel_ = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(160, -1), wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    bar->Add(pageLabel_, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    button(">", [this] { Go(page_ + 1); });
    button(">|", [this] { Go(r_.PageCount() - 1); });
    bar->AddSpacer(12);
    bar->Add(new wxStaticText(this, wxID_ANY, "Zoom:"), 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    zoom_ = new wxChoice(this, wxID_ANY);
    for (const char* z : {"50%", "75%", "100%", "125%", "150%", "200%", "Ancho de página", "Página completa"})
      zoom_->Append(wxString::FromUTF8(z));
    zoom_->SetSelection(6);
    zoom_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Render(); });
    bar->Add(zoom_, 0, wxALL | wxALIGN_CENTER_VERTICAL, 3);
    bar->AddSpacer(12);
    button("&Imprimir", [this] {
      WxReportUi ui;
      ui.Print(r_, A(title_).str(), true);
    });
    button("&Guardar PDF", [this] { SavePdf(); });
    bar->AddStretchSpacer();
    button("&Cerrar", [this] { EndModal(wxID_CLOSE); });
    top->Add(bar, 0, wxEXPAND);
    canvas_ = new PreviewCanvas(this);
    top->Add(canvas_, 1, wxEXPAND);
    SetSizer(top);
    wxSize disp = wxGetDisplaySize();
    SetSize(0, 0, disp.x, disp.y);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
      e.Skip();
      CallAfter([this] { Render(); });
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
      switch (e.GetKeyCode()) {
        case WXK_ESCAPE: EndModal(wxID_CLOSE); break;
        case WXK_PAGEDOWN: Go(page_ + 1); break;
        case WXK_PAGEUP: Go(page_ - 1); break;
        case WXK_HOME: if (e.ControlDown()) Go(0); else e.Skip(); break;
        case WXK_END: if (e.ControlDown()) Go(r_.PageCount() - 1); else e.Skip(); break;
        default: e.Skip();
      }
    });
    Render();
  }

 private:
  double ScaleNow() {
    static const double zooms[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0};
    int z = zoom_->GetSelection();
    wxSize cs = canvas_->GetClientSize();
    double fitW = std::max(0.1, (cs.x - 40) / r_.width);
    double fitH = std::max(0.1, (cs.y - 30) / r_.height);
    if (z == 6) return fitW;
    if (z == 7) return std::min(fitW, fitH);
    return zooms[std::clamp(z, 0, 5)] * 96.0 / 72.0;
  }
  void Go(int p) {
    p = std::clamp(p, 0, std::max(0, r_.PageCount() - 1));
    if (p == page_) return;
    page_ = p;
    Render();
  }
  void Render() {
    int n = r_.PageCount();
    // Literals with accents are UTF-8; wx reads narrow strings in the C locale otherwise.
    pageLabel_->SetLabel(n == 0 ? wxString::FromUTF8("Sin páginas")
                                : wxString::Format(wxString::FromUTF8("Página %d de %d"), page_ + 1, n));
    // The label shows the new page while the page itself is drawn.
    pageLabel_->Refresh();
    pageLabel_->Update();
    if (n == 0) return;
    canvas_->SetPage(PageBitmap(r_, page_, ScaleNow()));
  }
  void SavePdf() {
    wxFileDialog fd(this, "Guardar como PDF", wxEmptyString, title_.empty() ? wxString("informe.pdf") : title_ + ".pdf",
                    "Documentos PDF (*.pdf)|*.pdf", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    FitFileChooser(fd);
    if (fd.ShowModal() != wxID_OK) return;
    wxString path = fd.GetPath();
    if (!path.Lower().EndsWith(".pdf")) path += ".pdf";
    try {
      tv::report::SavePdf(r_, A(path).str());
    } catch (const Exception& e) {
      ::MessageBox(nullptr, e.Message, "Error", MB_OK | MB_ICONERROR);
    }
  }

  const PreparedReport& r_;
  wxString title_;
  int page_ = 0;
  wxStaticText* pageLabel_;
  wxChoice* zoom_;
  PreviewCanvas* canvas_;
};

}  // namespace

void WxReportUi::Preview(const PreparedReport& report, const std::string& title) {
  wxWindow* parent = WxDriver::Instance() ? WxDriver::Instance()->ActiveTop() : nullptr;
  PreviewDialog dlg(parent, report, wxString::FromUTF8(title));
  dlg.ShowModal();
}

bool WxReportUi::Print(const PreparedReport& report, const std::string& title, bool showDialog) {
  wxPrintDialogData data(SharedPrintData());
  data.SetMinPage(1);
  data.SetMaxPage(std::max(1, report.PageCount()));
  data.SetFromPage(1);
  data.SetToPage(std::max(1, report.PageCount()));
  data.GetPrintData().SetOrientation(report.width > report.height ? wxLANDSCAPE : wxPORTRAIT);
  // The report's own paper (legal, custom sheets), not the printer's default one.
  SetPaper(data.GetPrintData(), report);
  wxPrinter printer(&data);
  ReportPrintout out(report, wxString::FromUTF8(title));
  wxWindow* parent = WxDriver::Instance() ? WxDriver::Instance()->ActiveTop() : nullptr;
  bool ok = printer.Print(parent, &out, showDialog);
  if (ok) SharedPrintData() = printer.GetPrintDialogData().GetPrintData();
  return ok;
}

bool WxReportUi::PrinterSetup() {
  wxPageSetupDialogData data(SharedPrintData());
  wxWindow* parent = WxDriver::Instance() ? WxDriver::Instance()->ActiveTop() : nullptr;
  wxPageSetupDialog dlg(parent, &data);
  if (dlg.ShowModal() != wxID_OK) return false;
  SharedPrintData() = dlg.GetPageSetupDialogData().GetPrintData();
  return true;
}

// Within half a millimetre of a known paper, that paper.
void SetPaper(wxPrintData& data, const PreparedReport& report) {
  auto tenths = [](double points) { return static_cast<int>(std::lround(points * 254.0 / 72.0)); };
  int w = tenths(std::min(report.width, report.height));
  int h = tenths(std::max(report.width, report.height));
  if (wxThePrintPaperDatabase) {
    for (size_t i = 0; i < wxThePrintPaperDatabase->GetCount(); ++i) {
      wxPrintPaperType* p = wxThePrintPaperDatabase->Item(i);
      if (std::abs(p->GetWidth() - w) <= 5 && std::abs(p->GetHeight() - h) <= 5) {
        data.SetPaperId(p->GetId());
        return;
      }
    }
  }
  data.SetPaperId(wxPAPER_NONE);
  data.SetPaperSize(wxSize((w + 5) / 10, (h + 5) / 10));  // millimetres
}

}  // namespace tv::gui
