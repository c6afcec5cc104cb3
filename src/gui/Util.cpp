// Conversions between the model's values and wx: text, colours, fonts, keys.
#include <wx/settings.h>

#include <algorithm>
#include <cmath>

#include "gui/Driver.h"

namespace tv::gui {

wxString W(const AnsiString& s) { return wxString::FromUTF8(s.c_str()); }

AnsiString A(const wxString& s) { return AnsiString(std::string(s.utf8_str().data())); }

wxColour ToWx(TColor c) {
  if (c == clDefault || c == clNone) return wxNullColour;
  if (c < 0) {
    // System colours follow the desktop theme where one exists.
    switch (c) {
      case clWindow: return wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
      case clWindowText: return wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
      case clBtnFace: return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
      case clBtnText: return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
      case clHighlight: return wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
      case clHighlightText: return wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
      case clInfoBk: return wxColour(255, 255, 225);
      case clInfoText: return *wxBLACK;
      default: break;
    }
    c = ColorToRGB(c);
  }
  return wxColour(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool IsDefaultFont(const TFont& f) {
  return f.Size == 8 && f.Style.Empty() &&
         (f.Name == "Tahoma" || f.Name == "MS Sans Serif" || f.Name == "Arial");
}

namespace {
int BasePoints() {
  static int pts = [] {
    int p = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPointSize();
    return p > 0 ? p : 10;
  }();
  return pts;
}
}  // namespace

wxFont ToWx(const TFont& f) {
  wxFont base = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  wxFont font = base;
  // Model sizes are relative to the original 8-point default.
  double pts = std::max(6.0, BasePoints() * f.Size / 8.0);
  font.SetFractionalPointSize(pts);
  AnsiString n = f.Name.UpperCase();
  if (n.Pos("COURIER") > 0 || n.Pos("MONO") > 0) {
    font.SetFamily(wxFONTFAMILY_TELETYPE);
    font.SetFaceName("Monospace");
  } else if (n.Pos("TIMES") > 0 || n.Pos("SERIF") == 1) {
    font.SetFamily(wxFONTFAMILY_ROMAN);
    font.SetFaceName("Serif");
  }
  if (f.Style.Contains(fsBold)) font.SetWeight(wxFONTWEIGHT_BOLD);
  if (f.Style.Contains(fsItalic)) font.SetStyle(wxFONTSTYLE_ITALIC);
  if (f.Style.Contains(fsUnderline)) font.SetUnderlined(true);
  if (f.Style.Contains(fsStrikeOut)) font.SetStrikethrough(true);
  return font;
}

double Scale() {
  static double s = [] {
    wxBitmap bmp(8, 8);
    wxMemoryDC dc(bmp);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    int h = dc.GetCharHeight();
    // The original layouts were drawn for a 13-pixel line.
    return std::clamp(h / 13.0, 1.0, 1.8);
  }();
  return s;
}

int Sc(int v) { return static_cast<int>(std::lround(v * Scale())); }

void FitOnScreen(wxWindow& w) {
  auto fit = [&w] {
    wxRect area = wxGetClientDisplayRect();
    wxRect r = w.GetRect();
    wxSize s(std::min(r.width, area.width), std::min(r.height, area.height));
    wxPoint p(std::clamp(r.x, area.x, std::max(area.x, area.GetRight() + 1 - s.x)),
              std::clamp(r.y, area.y, std::max(area.y, area.GetBottom() + 1 - s.y)));
    if (s != r.GetSize() || p != r.GetPosition()) w.SetSize(wxRect(p, s));
  };
  w.SetMaxSize(wxGetClientDisplayRect().GetSize());
  fit();
  // Native dialogs size themselves again once they show (a default or remembered size).
  w.Bind(wxEVT_SHOW, [&w, fit](wxShowEvent& e) {
    e.Skip();
    if (e.IsShown()) w.CallAfter(fit);
  });
}

Word KeyToVk(int k) {
  if (k >= 'a' && k <= 'z') return static_cast<Word>(k - 'a' + 'A');
  if ((k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9')) return static_cast<Word>(k);
  if (k >= WXK_F1 && k <= WXK_F12) return static_cast<Word>(VK_F1 + (k - WXK_F1));
  if (k >= WXK_NUMPAD0 && k <= WXK_NUMPAD9) return static_cast<Word>('0' + (k - WXK_NUMPAD0));
  switch (k) {
    case WXK_BACK: return VK_BACK;
    case WXK_TAB: return VK_TAB;
    case WXK_RETURN: case WXK_NUMPAD_ENTER: return VK_RETURN;
    case WXK_ESCAPE: return VK_ESCAPE;
    case WXK_SPACE: return VK_SPACE;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: return VK_PRIOR;
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: return VK_NEXT;
    case WXK_END: case WXK_NUMPAD_END: return VK_END;
    case WXK_HOME: case WXK_NUMPAD_HOME: return VK_HOME;
    case WXK_LEFT: case WXK_NUMPAD_LEFT: return VK_LEFT;
    case WXK_UP: case WXK_NUMPAD_UP: return VK_UP;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return VK_RIGHT;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: return VK_DOWN;
    case WXK_INSERT: case WXK_NUMPAD_INSERT: return VK_INSERT;
    case WXK_DELETE: case WXK_NUMPAD_DELETE: return VK_DELETE;
    default: return 0;
  }
}

TShiftState ShiftOf(const wxKeyEvent& e) {
  TShiftState s;
  if (e.ShiftDown()) s << ssShift;
  if (e.RawControlDown()) s << ssCtrl;
  if (e.AltDown()) s << ssAlt;
  return s;
}

wxString Label(const AnsiString& caption) { return W(caption); }

wxString ShortHint(const AnsiString& hint) {
  wxString h = W(hint);
  int bar = h.Find('|');
  return bar == wxNOT_FOUND ? h : h.Left(bar);
}

}  // namespace tv::gui
