// A short message from the program: its box is wide enough for the program's name in the
// title bar, beside the window manager's buttons.
#include <wx/dcclient.h>

#include <deque>
#include <string>

#include "gui/Survey.h"
#include "platform/forms/Dialogs.h"

namespace survey {
namespace {

TEST_F(SurveyTest, MessageBoxTitleShowsTheProgramsNameWhole) {
  std::deque<std::function<void(TForm*)>> steps{[](TForm*) { ShowMessage("Listo"); }};
  std::string title;
  int clientWidth = 0, titleWidth = 0;
  auto caja = [&](wxTopLevelWindow* box) {
    if (!title.empty()) return false;  // answered with its button
    // Measured once the window manager has mapped it at its size; a loaded one maps it late.
    if (!box->IsShownOnScreen() || box->GetClientSize().x < 16) return true;
    title = box->GetTitle().utf8_string();
    clientWidth = box->GetClientSize().x;
    // The window manager draws titles in a bold face no larger than the desktop's own.
    wxClientDC dc(box);
    wxFont f = box->GetFont();
    f.SetWeight(wxFONTWEIGHT_BOLD);
    dc.SetFont(f);
    titleWidth = dc.GetTextExtent(box->GetTitle()).x;
    return false;
  };
  RunSurvey(std::move(steps), {}, {}, caja);
  EXPECT_EQ(title, Application->Title.c_str());
  // Beside the title: the window's icon and its minimize, maximize and close buttons.
  constexpr int kTitleButtons = 4 * 24;
  EXPECT_GE(clientWidth, titleWidth + kTitleButtons) << title;
}

}  // namespace
}  // namespace survey
