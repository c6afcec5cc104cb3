#include "gui/Navigator.h"

#include <algorithm>

#include "gui/Driver.h"
#include "gui/Grid.h"

namespace tv::gui {

namespace {

constexpr TNavigateBtn kAll[] = {nbFirst, nbPrior, nbNext,   nbLast,   nbInsert,
                                 nbDelete, nbEdit, nbPost, nbCancel, nbRefresh};

const char* GlyphOf(TNavigateBtn b) {
  switch (b) {
    case nbFirst: return "|\u25C0";
    case nbPrior: return "\u25C0";
    case nbNext: return "\u25B6";
    case nbLast: return "\u25B6|";
    case nbInsert: return "+";
    case nbDelete: return "\u2212";
    case nbEdit: return "\u25B2";
    case nbPost: return "\u2713";
    case nbCancel: return "\u2717";
    case nbRefresh: return "\u21BB";
  }
  return "";
}

const char* DefaultHint(TNavigateBtn b) {
  switch (b) {
    case nbFirst: return "Primero";
    case nbPrior: return "Anterior";
    case nbNext: return "Siguiente";
    case nbLast: return "Último";
    case nbInsert: return "Insertar";
    case nbDelete: return "Borrar";
    case nbEdit: return "Editar";
    case nbPost: return "Grabar";
    case nbCancel: return "Cancelar";
    case nbRefresh: return "Refrescar";
  }
  return "";
}

}  // namespace

NavigatorView::NavigatorView(wxWindow* parent, TDBNavigator* model)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), model_(model) {
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
    e.Skip();
    Arrange();
  });
}

wxString NavigatorView::HintOf(const TDBNavigator& nav, TNavigateBtn btn) {
  int i = static_cast<int>(btn);
  if (i < nav.Hints->Count() && !nav.Hints->Get(i).IsEmpty()) return ShortHint(nav.Hints->Get(i));
  return wxString::FromUTF8(DefaultHint(btn));
}

wxButton* NavigatorView::ButtonOf(TNavigateBtn btn) const {
  for (auto& [b, w] : buttons_)
    if (b == btn) return w;
  return nullptr;
}

void NavigatorView::SyncFromModel() {
  if (!model_) return;
  unsigned want = 0;
  for (TNavigateBtn b : kAll)
    if (model_->VisibleButtons.Contains(b)) want |= 1u << b;
  if (want != shown_) {
    for (auto& [b, w] : buttons_) w->Destroy();
    buttons_.clear();
    for (TNavigateBtn b : kAll) {
      if (!(want & (1u << b))) continue;
      auto* w = new wxButton(this, wxID_ANY, wxString::FromUTF8(GlyphOf(b)), wxDefaultPosition, wxDefaultSize,
                             wxBU_EXACTFIT);
      w->SetName(wxString::Format("nav%d", static_cast<int>(b)));
      // The grid or edit beside keeps the keyboard, as with the original's buttons.
      w->SetCanFocus(false);
      w->Bind(wxEVT_BUTTON, [this, b](wxCommandEvent&) {
        auto* d = WxDriver::Instance();
        if (!model_ || (d && d->Syncing())) return;
        // A cell being edited beside goes to the model before the button acts on the row.
        auto* m = model_;
        if (d && d->EndCellEdits(m->ParentForm(), [d, m, b] {
              if (d->Alive(m)) m->UserClickButton(b);
            }))
          return;
        model_->UserClickButton(b);
      });
      buttons_.emplace_back(b, w);
    }
    shown_ = want;
    InvalidateBestSize();
    Arrange();
  }
  bool tips = model_->ShowHint || (Application && Application->ShowHint);
  for (auto& [b, w] : buttons_) {
    bool on = model_->Enabled && model_->ButtonEnabled(b);
    if (w->IsThisEnabled() != on) w->Enable(on);
    wxString tip = tips ? HintOf(*model_, b) : wxString();
    if (w->GetToolTipText() != tip) {
      if (tip.empty())
        w->UnsetToolTip();
      else
        w->SetToolTip(tip);
    }
  }
}

wxSize NavigatorView::DoGetBestSize() const {
  int h = GetCharHeight() + 12, w = 0;
  for (auto& [b, btn] : buttons_) {
    wxSize s = btn->GetBestSize();
    h = std::max(h, s.y);
    w += std::max(s.x, GetCharHeight() * 2);
  }
  return wxSize(std::max(w, 20), h);
}

void NavigatorView::Arrange() {
  if (buttons_.empty()) return;
  wxSize sz = GetClientSize();
  int n = static_cast<int>(buttons_.size());
  // Equal widths; the remainder goes to the first buttons.
  int each = sz.x / n, extra = sz.x % n, x = 0;
  for (int i = 0; i < n; ++i) {
    int w = each + (i < extra ? 1 : 0);
    buttons_[static_cast<size_t>(i)].second->SetSize(x, 0, w, sz.y);
    x += w;
  }
}

}  // namespace tv::gui
