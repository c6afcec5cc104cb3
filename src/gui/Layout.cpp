#include "gui/Layout.h"

#include <wx/notebook.h>

#include "gui/Grid.h"
#include "platform/forms/DBGrids.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tv::gui {

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 6;
// While measuring the least size a form can take.
bool g_minimum = false;
constexpr int kNarrowGrid = 320;

using K = TControlKind;

bool IsContainer(K k) { return k == K::Panel || k == K::GroupBox || k == K::TabSheet || k == K::Form; }
bool IsButton(K k) { return k == K::Button || k == K::BitBtn; }
bool IsField(K k) {
  return k == K::Edit || k == K::MaskEdit || k == K::ComboBox || k == K::DBEdit || k == K::DBText ||
         k == K::ProgressBar || k == K::ListBox || k == K::Memo || k == K::DBMemo;
}
bool IsGridKind(K k) { return k == K::StringGrid || k == K::CustomGrid || k == K::DBGrid; }
// Bevels and shapes frame or underline other controls by design.
bool Decorative(const TControl* c) { return c->ControlKind() == K::Bevel || c->ControlKind() == K::Shape; }
bool Explicit(const TControl* c) { return c->Align == alNone && (c->Left != 0 || c->Top != 0); }

// The form's own geometry on the desktop: scaled to the font, and tightened by the form's
// fit when it would not fit the screen.
int SX(const FormWin& fw, int v) { return static_cast<int>(std::lround(v * Scale() * fw.fitX)); }
int SY(const FormWin& fw, int v) { return static_cast<int>(std::lround(v * Scale() * fw.fitY)); }

Bound* B(FormWin& fw, TControl* c) {
  auto it = fw.bound.find(c);
  return it == fw.bound.end() || !it->second.win ? nullptr : &it->second;
}

// Children that take part in the layout of `p`.
std::vector<TControl*> Kids(FormWin& fw, TWinControl* p) {
  std::vector<TControl*> out;
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (!c->Visible || !B(fw, c)) continue;
    if (c->ControlKind() == K::TabSheet) continue;
    out.push_back(c);
  }
  return out;
}

bool Stretchy(FormWin& fw, TControl* c) {
  K k = c->ControlKind();
  if (IsGridKind(k) || k == K::Memo || k == K::DBMemo || k == K::PageControl || k == K::ListBox)
    return true;
  if (IsContainer(k)) {
    auto* w = static_cast<TWinControl*>(c);
    for (TControl* k2 : Kids(fw, w))
      if (k2->Align == alNone && !Explicit(k2) && Stretchy(fw, k2)) return true;
    for (TControl* k2 : Kids(fw, w))
      if (k2->Align == alClient) return true;
  }
  return false;
}

int TextWidthOf(wxWindow* w, const wxString& s) {
  int tw = 0, th = 0;
  w->GetTextExtent(s, &tw, &th);
  return tw;
}

struct Row {
  enum Kind { Single, Pair, Stretch, Tools } kind = Single;
  std::vector<TControl*> items;  // Pair: label, field[, up-down]
};

// Lays out (apply) or measures the children of p inside a client area of `size`;
// returns the size the content needs.
wxSize DoLayout(FormWin& fw, TWinControl* p, wxSize size, bool apply) {
  Insets in = InsetsOf(p);
  wxRect area(in.l, in.t, std::max(0, size.x - in.l - in.r), std::max(0, size.y - in.t - in.b));
  std::vector<TControl*> kids = Kids(fw, p);
  int needW = 0, needH = 0;
  std::vector<std::pair<TControl*, wxRect>> placed;

  // Aligned children take the edges in the order of the original framework.
  int alignedW = 0, alignedH = 0;  // side (left/right) widths added up; top/bottom heights added up
  int bandW = 0;                   // the widest top/bottom child: it spans the others, not beside them
  int sideH = 0;  // the tallest side (left/right) child: it shares the height left by top and bottom
  for (TAlign a : {alTop, alBottom, alLeft, alRight}) {
    for (TControl* c : kids) {
      if (c->Align != a) continue;
      wxSize pf = Preferred(fw, c);
      wxRect r;
      switch (a) {
        case alTop:
          r = wxRect(area.x, area.y, area.width, pf.y);
          area.y += pf.y; area.height -= pf.y; alignedH += pf.y;
          bandW = std::max(bandW, pf.x);
          break;
        case alBottom:
          r = wxRect(area.x, area.GetBottom() + 1 - pf.y, area.width, pf.y);
          area.height -= pf.y; alignedH += pf.y;
          bandW = std::max(bandW, pf.x);
          break;
        case alLeft:
          r = wxRect(area.x, area.y, pf.x, area.height);
          area.x += pf.x; area.width -= pf.x; alignedW += pf.x;
          sideH = std::max(sideH, pf.y);
          break;
        default:
          r = wxRect(area.GetRight() + 1 - pf.x, area.y, pf.x, area.height);
          area.width -= pf.x; alignedW += pf.x;
          sideH = std::max(sideH, pf.y);
          break;
      }
      area.width = std::max(0, area.width);
      area.height = std::max(0, area.height);
      placed.emplace_back(c, r);
    }
  }
  int clientW = 0, clientH = 0;
  for (TControl* c : kids) {
    if (c->Align != alClient) continue;
    wxSize pf = Preferred(fw, c);
    clientW = std::max(clientW, pf.x);
    clientH = std::max(clientH, pf.y);
    placed.emplace_back(c, area);
  }

  // Explicit geometry, relative to the container's client origin.
  int explicitBottom = 0, explicitRight = 0;
  bool anyExplicit = false;
  struct Given {
    TControl* c;
    wxRect model;  // the form's geometry, the control's own size where it gives none
    wxRect r;
    bool wKnown, hKnown;  // the form gave the width / height
  };
  std::vector<Given> given;
  for (TControl* c : kids) {
    if (!Explicit(c)) continue;
    wxSize pf = Preferred(fw, c);
    wxRect m(c->Left, c->Top, c->Width > 0 ? c->Width : int(pf.x / (Scale() * fw.fitX)),
             c->Height > 0 ? c->Height : int(pf.y / (Scale() * fw.fitY)));
    given.push_back({c, m, wxRect(SX(fw, c->Left), SY(fw, c->Top), pf.x, pf.y), c->Width > 0, c->Height > 0});
  }
  // A control wider or taller on the desktop than the form made it would cover the one
  // after it: the ones after move along, keeping the form's spacing. Controls that share a
  // column (or a line) in the form move together, so they stay aligned.
  auto spread = [&](bool horizontal) {
    std::vector<Given*> order;
    for (Given& g : given)
      if (!Decorative(g.c)) order.push_back(&g);
    auto at = [&](const Given* g) { return horizontal ? g->model.x : g->model.y; };
    std::stable_sort(order.begin(), order.end(), [&](Given* a, Given* b) { return at(a) < at(b); });
    for (size_t i = 0; i < order.size();) {
      size_t end = i;
      while (end < order.size() && at(order[end]) == at(order[i])) ++end;
      int shift = 0;
      for (size_t k = i; k < end; ++k) {
        const Given& g = *order[k];
        for (size_t j = 0; j < i; ++j) {
          const Given& p = *order[j];
          const wxRect &pm = p.model, &gm = g.model;
          // Without a size from the form (a label sized to its text) a control ends before
          // the next one starts, a small gap away.
          if (horizontal) {
            bool before = p.wKnown ? pm.GetRight() < gm.x : pm.x < gm.x;
            bool sameBand = pm.y <= gm.GetBottom() && gm.y <= pm.GetBottom();
            int gap = p.wKnown ? SX(fw, gm.x - pm.GetRight() - 1) : kGap;
            if (before && sameBand) shift = std::max(shift, p.r.GetRight() + 1 + gap - g.r.x);
          } else {
            bool before = p.hKnown ? pm.GetBottom() < gm.y : pm.y < gm.y;
            bool sameBand = p.r.x <= g.r.GetRight() && g.r.x <= p.r.GetRight();
            int gap = p.hKnown ? SY(fw, gm.y - pm.GetBottom() - 1) : 2;
            if (before && sameBand) shift = std::max(shift, p.r.GetBottom() + 1 + gap - g.r.y);
          }
        }
      }
      for (size_t k = i; k < end; ++k) (horizontal ? order[k]->r.x : order[k]->r.y) += shift;
      i = end;
    }
  };
  spread(true);
  spread(false);
  // A label on the line of the field to its right sits at the field's middle: desktop
  // fields are taller than the form's, and the form aligned their tops.
  for (Given& g : given) {
    if (g.c->ControlKind() != K::Label || static_cast<TLabel*>(g.c)->WordWrap) continue;
    for (const Given& f : given) {
      K fk = f.c->ControlKind();
      if (!(fk == K::Edit || fk == K::MaskEdit || fk == K::ComboBox || fk == K::DBEdit)) continue;
      bool right = g.wKnown ? f.model.x >= g.model.x + g.model.width / 2 : f.model.x > g.model.x;
      bool sameLine = g.model.y >= f.model.y - 4 && g.model.y <= f.model.y + f.model.height / 2;
      if (right && sameLine && g.r.height < f.r.height) {
        g.r.y = f.r.y + (f.r.height - g.r.height) / 2;
        break;
      }
    }
  }
  for (Given& g : given) {
    anyExplicit = true;
    explicitBottom = std::max(explicitBottom, g.r.GetBottom() + 1);
    explicitRight = std::max(explicitRight, g.r.GetRight() + 1);
    placed.emplace_back(g.c, g.r);
  }

  // Automatic flow for the rest.
  std::vector<Row> rows;
  std::vector<TControl*> buttons;
  std::vector<TControl*> autos;
  for (TControl* c : kids)
    if (c->Align == alNone && !Explicit(c)) autos.push_back(c);
  for (size_t i = 0; i < autos.size(); ++i) {
    TControl* c = autos[i];
    K k = c->ControlKind();
    if (IsButton(k)) {
      buttons.push_back(c);
      continue;
    }
    if (k == K::SpeedButton) {
      if (rows.empty() || rows.back().kind != Row::Tools) rows.push_back({Row::Tools, {}});
      rows.back().items.push_back(c);
      continue;
    }
    if (k == K::UpDown && !rows.empty() && rows.back().kind != Row::Tools) {
      rows.back().items.push_back(c);  // beside its edit
      continue;
    }
    if (k == K::Label && i + 1 < autos.size() && IsField(autos[i + 1]->ControlKind()) &&
        !Stretchy(fw, autos[i + 1])) {
      rows.push_back({Row::Pair, {c, autos[i + 1]}});
      ++i;
      continue;
    }
    rows.push_back({Stretchy(fw, c) ? Row::Stretch : Row::Single, {c}});
  }

  int labelW = 0;
  for (Row& r : rows)
    if (r.kind == Row::Pair) labelW = std::max(labelW, Preferred(fw, r.items[0]).x);

  // Measure rows.
  int x0 = area.x + kMargin;
  int y = anyExplicit ? std::max(area.y + kMargin, explicitBottom + kGap) : area.y + kMargin;
  int flowW = 0, fixedH = 0, stretchMin = 0, stretchCount = 0;
  std::vector<int> rowH(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    Row& r = rows[i];
    int w = 0, h = 0;
    if (r.kind == Row::Pair) w = labelW + kGap;
    for (size_t j = 0; j < r.items.size(); ++j) {
      wxSize pf = Preferred(fw, r.items[j]);
      if (r.kind == Row::Pair && j == 0) {
        h = std::max(h, pf.y);
        continue;
      }
      w += pf.x + (j + 1 < r.items.size() ? (r.kind == Row::Tools ? 2 : kGap) : 0);
      h = std::max(h, pf.y);
    }
    rowH[i] = h;
    flowW = std::max(flowW, w);
    if (r.kind == Row::Stretch) {
      stretchMin += h;
      ++stretchCount;
    } else {
      fixedH += h;
    }
  }
  // Buttons go in a row at the bottom; a row wider than the window it is fitted to (a
  // small screen) wraps.
  int wrapAt = fw.fitFor.x > 0 ? (apply ? area.width : fw.fitFor.x - in.l - in.r) - 2 * kMargin : INT_MAX;
  std::vector<std::vector<TControl*>> btnRows;
  std::vector<int> btnRowW;
  int btnW = 0, btnH = 0;
  for (TControl* b : buttons) {
    wxSize pf = Preferred(fw, b);
    if (btnRows.empty() || btnRowW.back() + kGap + pf.x > wrapAt) {
      btnRows.emplace_back();
      btnRowW.push_back(-kGap);
    }
    btnRows.back().push_back(b);
    btnRowW.back() += kGap + pf.x;
    btnW = std::max(btnW, btnRowW.back());
    btnH = std::max(btnH, pf.y);
  }
  int btnBlockH = btnRows.empty() ? 0 : static_cast<int>(btnRows.size()) * (btnH + kGap) - kGap;
  flowW = std::max(flowW, btnW);
  int gaps = rows.empty() ? 0 : static_cast<int>(rows.size() - 1) * kGap;
  int flowH = fixedH + stretchMin + gaps + (buttons.empty() ? 0 : btnBlockH + kGap * 2);
  bool anyAuto = !rows.empty() || !buttons.empty();

  if (apply && anyAuto) {
    int bottomLimit = area.GetBottom() + 1 - kMargin;
    int btnTop = bottomLimit - btnBlockH;
    int avail = (buttons.empty() ? bottomLimit : btnTop - kGap) - y;
    int extra = std::max(0, avail - (fixedH + stretchMin + gaps));
    int innerW = std::max(0, area.width - 2 * kMargin);
    for (size_t i = 0; i < rows.size(); ++i) {
      Row& r = rows[i];
      int h = rowH[i];
      if (r.kind == Row::Stretch && stretchCount > 0) h += extra / stretchCount;
      int x = x0;
      for (size_t j = 0; j < r.items.size(); ++j) {
        TControl* c = r.items[j];
        wxSize pf = Preferred(fw, c);
        wxRect rc;
        K k = c->ControlKind();
        if (r.kind == Row::Pair && j == 0) {
          rc = wxRect(x, y + (h - pf.y) / 2, labelW, pf.y);
          x += labelW + kGap;
        } else if (r.kind == Row::Stretch || (r.kind == Row::Single && (IsContainer(k) || k == K::ProgressBar))) {
          // Containers and progress bars on a row of their own span the width.
          rc = wxRect(x, y, innerW, r.kind == Row::Stretch ? h : pf.y);
        } else {
          int room = std::max(0, x0 + innerW - x);
          // A progress bar beside its label takes the rest of the row.
          int w = k == K::ProgressBar && r.kind == Row::Pair ? std::max(room, 0) : std::min(pf.x, room);
          rc = wxRect(x, y + (h - pf.y) / 2, w, pf.y);
          x += w + (r.kind == Row::Tools ? 2 : kGap);
        }
        placed.emplace_back(c, rc);
      }
      y += h + kGap;
    }
    // Buttons: rows at the bottom, right-aligned.
    for (size_t i = 0; i < btnRows.size(); ++i) {
      int bx = std::max(area.GetRight() + 1 - kMargin - btnRowW[i], area.x + kMargin);
      int by = btnTop + static_cast<int>(i) * (btnH + kGap);
      for (TControl* b : btnRows[i]) {
        wxSize pf = Preferred(fw, b);
        placed.emplace_back(b, wxRect(bx, by, pf.x, btnH));
        bx += pf.x + kGap;
      }
    }
  }

  if (apply) {
    // The form's own client area may be scrolled: its children sit at scrolled positions.
    wxPoint origin = p == fw.form && fw.root ? fw.root->CalcScrolledPosition(wxPoint(0, 0)) : wxPoint(0, 0);
    for (auto& [c, r] : placed) {
      Bound* b = B(fw, c);
      if (!b) continue;
      r.width = std::max(0, r.width);
      r.height = std::max(0, r.height);
      wxRect at(r.GetPosition() + origin, r.GetSize());
      if (b->win->GetRect() != at) b->win->SetSize(at);
      K k = c->ControlKind();
      if (IsContainer(k)) {
        Arrange(fw, static_cast<TWinControl*>(c), r.GetSize());
      } else if (k == K::PageControl) {
        auto* pc = static_cast<TPageControl*>(c);
        auto* nb = static_cast<wxNotebook*>(b->win);
        int tabH = nb->GetCharHeight() + 18;
        wxSize page(std::max(0, r.width - 8), std::max(0, r.height - tabH - 8));
        for (int i = 0; i < pc->PageCount(); ++i) Arrange(fw, pc->Pages(i), page);
      } else if (IsGridKind(k)) {
        if (auto* gv = dynamic_cast<GridView*>(b->win)) gv->SetColumnFit(fw.fitX);
      } else if (k == K::Label && static_cast<TLabel*>(c)->WordWrap) {
        static_cast<wxStaticText*>(b->win)->Wrap(r.width);
      }
    }
  }

  needW = std::max({bandW, alignedW + clientW, explicitRight + kMargin,
                    anyAuto ? flowW + 2 * kMargin + alignedW : 0});
  needH = std::max({alignedH + std::max(clientH, sideH), explicitBottom + kMargin,
                    anyAuto ? flowH + 2 * kMargin + alignedH + (anyExplicit ? explicitBottom : 0) : 0});
  return wxSize(needW + in.l + in.r, needH + in.t + in.b);
}

}  // namespace

Insets InsetsOf(const TControl* c) {
  K k = c->ControlKind();
  Insets in;
  if (k == K::GroupBox || k == K::RadioGroup) {
    int ch = Sc(13);
    in = {4, ch + 4, 4, 4};
  } else if (k == K::Panel) {
    auto* p = static_cast<const TPanel*>(c);
    int bw = (p->BevelOuter != bvNone ? 1 : 0) + (p->BevelInner != bvNone ? 1 : 0);
    in = {bw, bw, bw, bw};
  }
  return in;
}

wxSize Preferred(FormWin& fw, TControl* c) {
  Bound* b = B(fw, c);
  if (!b) return wxSize(0, 0);
  wxWindow* w = b->win;
  K k = c->ControlKind();
  wxSize best = w->GetBestSize();
  int sw = SX(fw, c->Width), sh = SY(fw, c->Height);
  switch (k) {
    case K::Label: {
      auto* l = static_cast<TLabel*>(c);
      if (l->WordWrap) {
        wxString t = W(StripAccelerator(c->Caption));
        int wrapW = sw;
        if (c->Width <= 0) {
          // Without a width of its own the text wraps at the form's designed width, not
          // along one line as wide as the text.
          TForm* f = fw.form;
          int room = f->ClientWidth > 0 ? SX(fw, f->ClientWidth) : SX(fw, f->Width) - 16;
          wrapW = std::min(TextWidthOf(w, t) + 4, std::max(room - 2 * kMargin, 200));
        }
        // Height of the text wrapped at that width.
        int lines = 1, lw = 0;
        for (wxString part : wxSplit(t, ' ')) {
          int pw = TextWidthOf(w, part + " ");
          if (lw + pw > wrapW && lw > 0) { ++lines; lw = 0; }
          lw += pw;
        }
        return wxSize(wrapW, std::max(best.y, lines * w->GetCharHeight() + 2));
      }
      // The widget's own best size lags behind label changes; measure the text.
      wxString t = wxStripMenuCodes(W(c->Caption));
      int tw = 0, th = 0;
      w->GetTextExtent(t.empty() ? wxString("X") : t, &tw, &th);
      tw = t.empty() ? 0 : tw + 4;
      // A label that cuts its text keeps the width the form gave it, whatever the text.
      if (!l->AutoSize && l->EllipsisPosition != epNone && c->Width > 0) tw = std::min(tw, sw);
      return wxSize(l->AutoSize ? tw : std::max(tw, sw), std::max(th, w->GetCharHeight()) + 2);
    }
    case K::Edit: case K::MaskEdit: case K::DBEdit: {
      int width = sw;
      if (auto* m = dynamic_cast<TMaskEdit*>(c); m && m->IsMasked())
        width = std::max(width, TextWidthOf(w, wxString('0', m->Spec().Size() + 2)) + 16);
      return wxSize(std::max(width, 40), best.y);
    }
    case K::ComboBox:
      // The designed width, not the longest item's: the open list shows items whole.
      return wxSize(std::max(sw, TextWidthOf(w, "XXXXXX") + best.y + 16), best.y);
    case K::CheckBox: case K::RadioButton: return wxSize(std::max(best.x, 0), best.y);
    case K::Button: case K::BitBtn: return wxSize(std::max(best.x, sw), std::max(best.y, sh));
    case K::SpeedButton:
      if (c->Caption.IsEmpty()) return wxSize(std::max(sw, best.y), std::max(sh, best.y));
      return wxSize(std::max(sw, best.x + 8), std::max(sh, best.y));
    case K::Memo: case K::DBMemo: case K::ListBox: return wxSize(std::max(sw, 120), std::max(sh, 60));
    case K::StringGrid: case K::CustomGrid: case K::DBGrid: {
      auto* g = static_cast<TCustomGrid*>(c);
      int cols = 0;
      if (auto* db = dynamic_cast<TDBGrid*>(g)) {
        for (TColumn* col : db->DisplayColumns()) cols += SX(fw, col->DisplayWidth()) + 1;
        if (db->Options.Contains(dgIndicator)) cols += Sc(14);
      } else {
        for (int i = 0; i < std::min<int>(g->ColCount, 40); ++i) cols += SX(fw, g->ColWidths.Get(i)) + 1;
      }
      int width = std::clamp(std::max(sw, cols + 24), 120, static_cast<int>(1000 * fw.fitX));
      // Grids the layout sizes scroll sideways; a grid the form placed keeps its width, as the
      // controls beside it are placed from it.
      if (g_minimum && !Explicit(c) && c->Align != alLeft && c->Align != alRight)
        width = std::min(width, kNarrowGrid);
      // One the form placed keeps the width it was given, and scrolls through its columns.
      if (g_minimum && Explicit(c)) width = std::min(width, std::max(sw, 120));
      return wxSize(width, std::max(sh, 100));
    }
    case K::StatusBar: return wxSize(best.x, std::max(best.y, w->GetCharHeight() + 10));
    case K::DBNavigator: return wxSize(std::max(sw, best.x), std::max(sh, best.y));
    case K::ProgressBar: return wxSize(std::max(sw, 150), std::max(sh, 16));
    case K::UpDown: return best;
    case K::Image: {
      auto* img = static_cast<TImage*>(c);
      if (img->Stretch || img->Proportional) return wxSize(sw, sh);
      return wxSize(std::max(sw, best.x), std::max(sh, best.y));
    }
    case K::Bevel: case K::Shape: return wxSize(sw, sh);
    case K::RadioGroup: {
      Insets in = InsetsOf(c);
      int bw = 0, bh = 0;
      for (auto* r : b->radios) {
        wxSize rb = r->GetBestSize();
        bw = std::max(bw, rb.x);
        bh += rb.y + 2;
      }
      int cols = std::max(1, static_cast<TRadioGroup*>(c)->Columns);
      int rowsN = (static_cast<int>(b->radios.size()) + cols - 1) / cols;
      int perRow = b->radios.empty() ? 0 : bh / static_cast<int>(b->radios.size()) + 4;
      int capW = TextWidthOf(w, W(StripAccelerator(c->Caption))) + 24;
      wxSize need(std::max(capW, bw * cols + 24 * cols) + in.l + in.r, rowsN * perRow + 8 + in.t + in.b);
      // The original height is kept only when it is not much taller than the buttons.
      int height = sh > need.y && sh < need.y + Sc(24) ? sh : need.y;
      return wxSize(std::max(need.x, sw), height);
    }
    case K::PageControl: {
      auto* pc = static_cast<TPageControl*>(c);
      wxSize need(0, 0);
      for (int i = 0; i < pc->PageCount(); ++i) {
        wxSize s = DoLayout(fw, pc->Pages(i), wxSize(0, 0), false);
        need.x = std::max(need.x, s.x);
        need.y = std::max(need.y, s.y);
      }
      int tabH = w->GetCharHeight() + 18;
      return wxSize(std::max(sw, need.x + 8), std::max(sh, need.y + tabH + 8));
    }
    case K::Panel: case K::GroupBox: case K::TabSheet: {
      wxSize need = DoLayout(fw, static_cast<TWinControl*>(c), wxSize(0, 0), false);
      // A toolbar-like panel keeps the height the form gave it when its content fits.
      int width = (c->Align == alTop || c->Align == alBottom) ? need.x : std::max(need.x, sw);
      int height = (c->Align == alLeft || c->Align == alRight) ? need.y : std::max(need.y, sh);
      if (static_cast<TWinControl*>(c)->ControlCount() == 0 && !c->Caption.IsEmpty())
        width = std::max(width, TextWidthOf(w, W(c->Caption)) + 16);
      return wxSize(width, height);
    }
    default: return wxSize(std::max(sw, best.x), std::max(sh, best.y));
  }
}

void Arrange(FormWin& fw, TWinControl* parent, wxSize size) { DoLayout(fw, parent, size, true); }

// Needed size of a form's client area.
wxSize FormNeeds(FormWin& fw) { return DoLayout(fw, fw.form, wxSize(0, 0), false); }

wxSize FormMinimum(FormWin& fw) {
  g_minimum = true;
  wxSize s = DoLayout(fw, fw.form, wxSize(0, 0), false);
  g_minimum = false;
  return s;
}

void ArrangeForm(FormWin& fw, wxSize size, bool narrow) {
  g_minimum = narrow;
  DoLayout(fw, fw.form, size, true);
  g_minimum = false;
}

}  // namespace tv::gui
