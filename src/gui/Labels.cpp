// How a label's widget shows its text.
#include <wx/stattext.h>

#include "gui/Driver.h"
#include "platform/forms/StdCtrls.h"

namespace tv::gui {

long LabelStyle(const TLabel* l) {
  long st = wxST_NO_AUTORESIZE;
  if (!l) return st;
  if (l->Alignment == taRightJustify) st |= wxALIGN_RIGHT;
  if (l->Alignment == taCenter) st |= wxALIGN_CENTRE_HORIZONTAL;
  // A label sized by the form that cuts its text marks the cut, and never grows.
  if (!l->AutoSize) {
    if (l->EllipsisPosition == epPathEllipsis) st |= wxST_ELLIPSIZE_MIDDLE;
    if (l->EllipsisPosition == epEndEllipsis || l->EllipsisPosition == epWordEllipsis) st |= wxST_ELLIPSIZE_END;
  }
  return st;
}

}  // namespace tv::gui
