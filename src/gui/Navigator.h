#pragma once
// The data-aware navigator: one button per visible button of the model, enabled as the
// model says, hints as tooltips, clicks through TDBNavigator::UserClickButton.
#include <wx/wx.h>

#include <vector>

#include "platform/forms/DBCtrls.h"

namespace tv::gui {

class NavigatorView : public wxPanel {
 public:
  NavigatorView(wxWindow* parent, TDBNavigator* model);
  void Detach() { model_ = nullptr; }
  void SyncFromModel();
  wxButton* ButtonOf(TNavigateBtn btn) const;
  // The hint of a button: the model's, or the default one.
  static wxString HintOf(const TDBNavigator& nav, TNavigateBtn btn);

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void Arrange();
  // Commits the text of a grid cell being edited; true when there was one.
  static bool CommitCellEditor();
  TDBNavigator* model_;
  std::vector<std::pair<TNavigateBtn, wxButton*>> buttons_;
  unsigned shown_ = ~0u;  // bits of the buttons made
};

}  // namespace tv::gui
