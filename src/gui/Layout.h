#pragma once
// Placing widgets from the model: Align, explicit geometry, and an automatic layout for
// controls that give no position (labels paired with the next control, creation order,
// button rows at the bottom, grids and memos taking the free space).
#include "gui/Driver.h"

namespace tv::gui {

// Space that a container keeps around its children (group caption, panel bevel).
struct Insets {
  int l = 0, t = 0, r = 0, b = 0;
};
Insets InsetsOf(const TControl* c);

// The size a control wants.
wxSize Preferred(FormWin& fw, TControl* c);
// Places the children of `parent` inside a client area of `size`, then recurses.
void Arrange(FormWin& fw, TWinControl* parent, wxSize size);
// The client size a form's content needs.
wxSize FormNeeds(FormWin& fw);
// The least client size that shows every control whole: grids placed by the layout count
// narrow, since they scroll sideways.
wxSize FormMinimum(FormWin& fw);
// Places a form's controls in a client area of `size`; `narrow` when it is smaller than
// FormNeeds, so grids give up width as FormMinimum counted them.
void ArrangeForm(FormWin& fw, wxSize size, bool narrow);

}  // namespace tv::gui
