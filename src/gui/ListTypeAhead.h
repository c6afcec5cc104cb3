#pragma once
// Letters choose inside an open drop-down list, as they do in a closed one.
class wxWindow;

namespace tv::gui {

// `combo` is a wxChoice or a wxComboBox; while its list is open, a typed letter moves the
// highlight to the next item that starts with it (Enter takes it, as any highlighted item).
void LettersChooseInOpenList(wxWindow* combo);

}  // namespace tv::gui
