// Repaints asked for inside long handlers: held within a frame, drawn when the driver is
// called again or, while a slow statement runs, once the frame is over.
#include "gui/Driver.h"

#include <chrono>

namespace tv::gui {

using K = TControlKind;

namespace {
constexpr auto kFrame = std::chrono::milliseconds(40);

// Controls whose drawing reads nothing but their own properties: they can be drawn from inside
// a running SQL statement (grids, data-aware controls and painted forms run the program's code).
bool DrawsByItself(TControl* c) {
  switch (c->ControlKind()) {
    case K::Form: return !static_cast<TForm*>(c)->OnPaint;
    case K::Panel: case K::GroupBox: case K::RadioGroup: case K::Bevel: case K::Label: case K::Edit:
    case K::MaskEdit: case K::Memo: case K::Button: case K::BitBtn: case K::CheckBox: case K::RadioButton:
    case K::ComboBox: case K::ListBox: case K::StatusBar: case K::ProgressBar: case K::Image:
      return true;
    default: return false;
  }
}
}  // namespace

void WxDriver::Repaint(TControl* control) {
  // A long handler may ask for a repaint per item it walks (the wait window, per account):
  // drawing costs far more than the item, so a request inside the frame of the same control's
  // last drawing is held, and dropped only when a later one replaces it. A held request is
  // drawn when the driver is called again (another request, a box, a dialog, a loop, the
  // handler's end) or, while a slow statement runs, as soon as its frame is over.
  auto now = std::chrono::steady_clock::now();
  if (control && control == lastRepaint_ && now - lastRepaintAt_ < kFrame) {
    held_ = control;
    return;
  }
  Draw(control);
}

void WxDriver::Draw(TControl* control) {
  lastRepaint_ = control;
  AfterEvent();
  if (wxWindow* w = control ? WidgetOf(control) : nullptr) {
    w->Refresh();
    w->Update();
  }
  // Let the window system draw now, inside the long handler.
  if (wxTheApp) wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_UI);
  // The frame counts from the end of the drawing, so a slow desktop still keeps the loop going.
  lastRepaintAt_ = std::chrono::steady_clock::now();
}

void WxDriver::FlushHeld() {
  if (held_) AfterEvent();
}

void WxDriver::OnBusy() {
  // Statements on other threads have no window to draw.
  if (!wxIsMainThread()) return;
  if (WxDriver* d = Instance()) d->DrawHeldWhileBusy();
}

void WxDriver::DrawHeldWhileBusy() {
  // Called from inside a statement: nothing here may run the program's code or the event loop.
  if (!held_ || inAfter_ || syncing_ > 0) return;
  if (std::chrono::steady_clock::now() - lastRepaintAt_ < kFrame) return;
  auto* f = dynamic_cast<TForm*>(held_);
  if (!f) f = held_->ParentForm();
  FormWin* fw = f ? WinOf(f) : nullptr;
  if (!fw || !fw->top->IsShown() || !DrawsByItself(f)) return;
  for (auto& [c, b] : fw->bound)
    if (!DrawsByItself(c)) return;  // left for the handler's end
  TControl* c = held_;
  held_ = nullptr;
  try {
    Sync(*fw);
    if (wxWindow* w = WidgetOf(c)) {
      w->Refresh();
      w->Update();  // paints at once, without running the loop
    }
  } catch (...) {
    // A failed drawing must not break the statement; the handler's end draws again.
  }
  lastRepaintAt_ = std::chrono::steady_clock::now();
}

}  // namespace tv::gui
