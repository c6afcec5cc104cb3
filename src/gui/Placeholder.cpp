#include "gui/Placeholder.h"

#include <wx/wx.h>

namespace {
class PlaceholderApp : public wxApp {
 public:
  bool OnInit() override {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Tallivar");
    frame->CreateStatusBar();
    frame->SetStatusText("Tallivar");
    frame->Maximize();
    frame->Show();
    return true;
  }
};
}  // namespace

namespace tallivar::gui {
int RunPlaceholder(int argc, char** argv) {
  wxApp::SetInstance(new PlaceholderApp());
  return wxEntry(argc, argv);
}
}  // namespace tallivar::gui
