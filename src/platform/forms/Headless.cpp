#include "platform/forms/Headless.h"

#include <algorithm>

#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Mask.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/os/Process.h"

namespace tv::forms {
namespace {

[[noreturn]] void ScriptFail(const AnsiString& what) { throw UiScriptError(what.str()); }

bool CaptionMatches(const AnsiString& caption, const AnsiString& name) {
  if (caption.IsEmpty()) return false;
  return SameText(caption, name) || SameText(StripAccelerator(caption), StripAccelerator(name));
}

TControl* FindByCaption(TWinControl* p, const AnsiString& name) {
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (CaptionMatches(c->Caption, name)) return c;
    if (auto* w = dynamic_cast<TWinControl*>(c))
      if (TControl* r = FindByCaption(w, name)) return r;
  }
  return nullptr;
}

TControl* Find(TForm& f, const AnsiString& name) {
  if (TControl* c = f.FindControl(name)) return c;
  if (TControl* c = FindByCaption(&f, name)) return c;
  ScriptFail("No control \"" + name + "\" on " + HeadlessDriver::Describe(&f));
}

template <class T>
T* FindAs(TForm& f, const AnsiString& name, const char* what) {
  TControl* c = Find(f, name);
  auto* t = dynamic_cast<T*>(c);
  if (!t || !c) ScriptFail("\"" + name + "\" is a " + (c ? c->ClassName() : AnsiString("?")) + ", not " + what);
  if (!c->IsShowing())
    ScriptFail("\"" + name + "\" is " + (c->Enabled ? "hidden" : "disabled") + " on " +
               HeadlessDriver::Describe(&f));
  return t;
}

int ItemIndexOf(TStrings& items, const AnsiString& item, const AnsiString& control) {
  for (int i = 0; i < items.Count(); ++i)
    if (SameText(items[i], item)) return i;
  for (int i = 0; i < items.Count(); ++i)
    if (AnsiUpperCase(items[i]).Pos(AnsiUpperCase(item)) == 1) return i;
  ScriptFail("No item \"" + item + "\" in \"" + control + "\" (items: " + items.CommaText() + ")");
}

AnsiString IconName(MsgIcon i) {
  switch (i) {
    case MsgIcon::Error: return "error";
    case MsgIcon::Question: return "question";
    case MsgIcon::Warning: return "warning";
    case MsgIcon::Information: return "information";
    default: return "none";
  }
}

AnsiString DescribeBox(const MessageRequest& r) {
  AnsiString s = "box \"" + r.Caption + "\" (" + IconName(r.Icon) + ") \"" + r.Text + "\" [";
  for (size_t i = 0; i < r.Buttons.size(); ++i) s += (i ? ", " : "") + r.Buttons[i].Caption;
  return s + "]";
}

void DescribeChildren(TWinControl* p, AnsiString& out) {
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (!c->Visible) continue;
    out += "\n  " + c->ClassName() + " " + c->Name;
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) out += " = \"" + e->DisplayText() + "\"";
    else if (auto* cb = dynamic_cast<TComboBox*>(c)) out += " = \"" + cb->Text.get() + "\"";
    else if (auto* ch = dynamic_cast<TCheckBox*>(c)) out += ch->Checked ? " [x]" : " [ ]";
    if (!c->Caption.IsEmpty()) out += " \"" + c->Caption + "\"";
    if (!c->Enabled) out += " (disabled)";
    if (auto* w = dynamic_cast<TWinControl*>(c)) DescribeChildren(w, out);
  }
}

}  // namespace

// ---- Script -----------------------------------------------------------------------------
Script& Script::add(const AnsiString& what, Step step) {
  if (bound_) {
    step(*bound_);
    Application->AfterEvent();
  } else {
    steps_.emplace_back(what, std::move(step));
  }
  return *this;
}

Script& Script::set(const AnsiString& control, const AnsiString& text) {
  return add("set " + control, [=](TForm& f) {
    TControl* c = Find(f, control);
    if (!c->IsShowing()) ScriptFail("\"" + control + "\" is hidden or disabled on " + HeadlessDriver::Describe(&f));
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
      if (e->ReadOnly) ScriptFail("\"" + control + "\" is read-only");
      e->UserSetText(text);
    } else if (auto* cb = dynamic_cast<TComboBox*>(c)) {
      if (cb->Style == csDropDownList) cb->UserSelect(ItemIndexOf(*cb->Items, text, control));
      else cb->UserSetText(text);
    } else {
      ScriptFail("\"" + control + "\" takes no text");
    }
  });
}

Script& Script::type(const AnsiString& control, const AnsiString& text) {
  return add("type " + control, [=](TForm&f) {
    auto* w = FindAs<TWinControl>(f, control, "a windowed control");
    if (!w->Focused() && !w->UserFocus()) return;
    for (int i = 1; i <= text.Length(); ++i) w->UserKeyPress(text[i]);
  });
}

Script& Script::check(const AnsiString& control, bool on) {
  return add("check " + control, [=](TForm& f) {
    TControl* c = Find(f, control);
    if (!c->IsShowing()) ScriptFail("\"" + control + "\" is hidden or disabled");
    if (auto* cb = dynamic_cast<TCheckBox*>(c)) {
      if (cb->Checked.get() != on) cb->UserClick();
    } else if (auto* rb = dynamic_cast<TRadioButton*>(c)) {
      if (on && !rb->Checked.get()) rb->UserClick();
    } else {
      ScriptFail("\"" + control + "\" is not a check box or radio button");
    }
  });
}

Script& Script::pick(const AnsiString& control, const AnsiString& item) {
  return add("pick " + control, [=](TForm& f) {
    TControl* c = Find(f, control);
    if (!c->IsShowing()) ScriptFail("\"" + control + "\" is hidden or disabled");
    if (auto* cb = dynamic_cast<TComboBox*>(c)) cb->UserSelect(ItemIndexOf(*cb->Items, item, control));
    else if (auto* lb = dynamic_cast<TListBox*>(c)) lb->UserSelect(ItemIndexOf(*lb->Items, item, control));
    else if (auto* rg = dynamic_cast<TRadioGroup*>(c)) rg->UserSelect(ItemIndexOf(*rg->Items, item, control));
    else if (auto* pc = dynamic_cast<TPageControl*>(c)) {
      for (int i = 0; i < pc->PageCount(); ++i)
        if (CaptionMatches(pc->Pages(i)->Caption, item) || SameText(pc->Pages(i)->Name, item)) {
          pc->UserSelectPage(i);
          return;
        }
      ScriptFail("No page \"" + item + "\" in \"" + control + "\"");
    } else {
      ScriptFail("\"" + control + "\" has no items");
    }
  });
}

Script& Script::pick(const AnsiString& control, int index) {
  return add("pick " + control, [=](TForm& f) {
    TControl* c = Find(f, control);
    if (!c->IsShowing()) ScriptFail("\"" + control + "\" is hidden or disabled");
    if (auto* cb = dynamic_cast<TComboBox*>(c)) cb->UserSelect(index);
    else if (auto* lb = dynamic_cast<TListBox*>(c)) lb->UserSelect(index);
    else if (auto* rg = dynamic_cast<TRadioGroup*>(c)) rg->UserSelect(index);
    else if (auto* pc = dynamic_cast<TPageControl*>(c)) pc->UserSelectPage(index);
    else ScriptFail("\"" + control + "\" has no items");
  });
}

Script& Script::focus(const AnsiString& control) {
  return add("focus " + control, [=](TForm& f) { FindAs<TWinControl>(f, control, "a windowed control")->UserFocus(); });
}

Script& Script::click(const AnsiString& control) {
  return add("click " + control, [=](TForm& f) {
    TControl* c = f.FindControl(control);
    if (!c) c = FindByCaption(&f, control);
    if (!c) {
      if (auto* mi = dynamic_cast<TMenuItem*>(f.FindComponent(control))) {
        if (!mi->Enabled || !mi->Visible) ScriptFail("menu item \"" + control + "\" is disabled or hidden");
        mi->UserClick();
        return;
      }
      ScriptFail("No control \"" + control + "\" on " + HeadlessDriver::Describe(&f));
    }
    if (!c->IsShowing())
      ScriptFail("\"" + control + "\" is " + (c->Enabled ? "hidden" : "disabled") + " on " + HeadlessDriver::Describe(&f));
    c->UserClick();
  });
}

Script& Script::dblclick(const AnsiString& control) {
  return add("dblclick " + control, [=](TForm& f) { FindAs<TControl>(f, control, "a control")->UserDblClick(); });
}

Script& Script::key(Word k, TShiftState shift) {
  return add("key " + ShortCutToText(ShortCut(k, shift)), [=](TForm& f) {
    TWinControl* w = f.FocusedControl();
    (w ? w : &f)->UserKeyDown(k, shift);
  });
}

Script& Script::key(const AnsiString& control, Word k, TShiftState shift) {
  return add("key " + control, [=](TForm& f) {
    auto* w = FindAs<TWinControl>(f, control, "a windowed control");
    if (!w->Focused() && !w->UserFocus()) return;
    w->UserKeyDown(k, shift);
  });
}

Script& Script::keys(const AnsiString& shortcut) {
  TShortCut sc = TextToShortCut(shortcut);
  if (!sc) ScriptFail("Unknown key \"" + shortcut + "\"");
  TShiftState sh;
  if (sc & scShift) sh << ssShift;
  if (sc & scCtrl) sh << ssCtrl;
  if (sc & scAlt) sh << ssAlt;
  return key(static_cast<Word>(sc & 0xFF), sh);
}

Script& Script::menu(const AnsiString& path) {
  return add("menu " + path, [=](TForm& f) {
    if (!f.Menu) ScriptFail(f.ClassName() + " has no menu");
    TMenuItem* item = f.Menu->Items;
    AnsiString rest = path;
    while (!rest.IsEmpty()) {
      int bar = rest.Pos("|");
      AnsiString part = bar ? rest.SubString(1, bar - 1) : rest;
      rest = bar ? rest.SubString(bar + 1, rest.Length()) : AnsiString();
      TMenuItem* next = item->Find(part);
      if (!next) ScriptFail("No menu item \"" + part + "\" in \"" + path + "\"");
      item = next;
    }
    if (!item->Enabled || !item->Visible) ScriptFail("Menu item \"" + path + "\" is disabled or hidden");
    item->UserClick();
  });
}

Script& Script::row(const AnsiString& grid, int r) {
  return add("row " + grid, [=](TForm& f) { FindAs<TCustomGrid>(f, grid, "a grid")->UserSelectRow(r); });
}

Script& Script::cell(const AnsiString& grid, int c, int r) {
  return add("cell " + grid, [=](TForm& f) { FindAs<TCustomGrid>(f, grid, "a grid")->UserSelectCell(c, r); });
}

Script& Script::editCell(const AnsiString& grid, int c, int r, const AnsiString& text) {
  return add("editCell " + grid, [=](TForm& f) { FindAs<TCustomGrid>(f, grid, "a grid")->UserEditCell(c, r, text); });
}

Script& Script::find(const AnsiString& text, TFindOptions options) {
  return add("find " + text, [=](TForm& f) {
    for (int i = 0; i < f.ComponentCount(); ++i)
      if (auto* fd = dynamic_cast<TFindDialog*>(f.Components(i)); fd && fd->Showing()) {
        fd->UserFind(text, options);
        return;
      }
    ScriptFail("No find dialog showing on " + f.ClassName());
  });
}

Script& Script::timers() {
  return add("timers", [](TForm& f) {
    std::vector<TTimer*> ts;
    std::function<void(TComponent*)> walk = [&](TComponent* o) {
      for (int i = 0; i < o->ComponentCount(); ++i) {
        if (auto* t = dynamic_cast<TTimer*>(o->Components(i))) ts.push_back(t);
        walk(o->Components(i));
      }
    };
    walk(&f);
    for (TTimer* t : ts) t->Fire();
  });
}

Script& Script::close() {
  return add("close", [](TForm& f) { f.UserClose(); });
}

Script& Script::run(std::function<void(TForm&)> code) {
  return add("run", [code = std::move(code)](TForm& f) { code(f); });
}

// ---- HeadlessDriver ------------------------------------------------------------------------
HeadlessDriver::HeadlessDriver(bool install) : installed_(install) {
  if (!install) return;
  previous_ = SetUiDriver(this);
  Application->ResetForTests();
  tv::os::SetLaunchRecorder([this](const tv::os::LaunchRequest& r) { launches_.push_back(r); });
  tv::os::SetBeepHook([this] { ++beeps_; });
}

HeadlessDriver::~HeadlessDriver() {
  if (!installed_) return;
  Application->ResetForTests();
  tv::os::SetLaunchRecorder({});
  tv::os::SetBeepHook({});
  SetUiDriver(previous_);
}

Script& HeadlessDriver::onModal(const AnsiString& form) {
  modal_.emplace_back(form, nullptr);
  return modal_.back();
}

Script HeadlessDriver::now(TForm* form) {
  if (!form || !form->Showing()) Fail("now(): the form is not showing");
  return Script(form->ClassName(), form);
}

void HeadlessDriver::answer(int result) { answers_.push_back({AnsiString(), result}); }
void HeadlessDriver::answer(const AnsiString& text, int result) { answers_.push_back({text, result}); }
void HeadlessDriver::answerInput(const AnsiString& value) { inputs_.emplace_back(true, value); }
void HeadlessDriver::cancelInput() { inputs_.emplace_back(false, AnsiString()); }
void HeadlessDriver::answerDialog(const AnsiString& fileName) { dialogs_.push_back({true, fileName}); }
void HeadlessDriver::acceptDialog() { dialogs_.push_back({true, AnsiString()}); }
void HeadlessDriver::cancelDialog() { dialogs_.push_back({false, AnsiString()}); }

void HeadlessDriver::answerColor(TColor color) {
  dialogs_.push_back({true, "color", [color](TCommonDialog* d) {
                        if (auto* cd = dynamic_cast<TColorDialog*>(d)) cd->Color = color;
                      }});
}

void HeadlessDriver::answerFont(const AnsiString& name, int size, TFontStyles style, TColor color) {
  dialogs_.push_back({true, "font", [=](TCommonDialog* d) {
                        if (auto* fd = dynamic_cast<TFontDialog*>(d)) {
                          fd->Font->Name = name;
                          fd->Font->Size = size;
                          fd->Font->Style = style;
                          fd->Font->Color = color;
                        }
                      }});
}

void HeadlessDriver::fireTimers() {
  std::vector<TTimer*> snapshot = timers_;
  for (TTimer* t : snapshot)
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->Fire();
}

std::vector<ShownMessage> HeadlessDriver::takeMessages() {
  std::vector<ShownMessage> out;
  out.swap(messages_);
  return out;
}

AnsiString HeadlessDriver::lastMessage() const { return messages_.empty() ? AnsiString() : messages_.back().Text; }

AnsiString HeadlessDriver::messageTexts() const {
  AnsiString s;
  for (const auto& m : messages_) s += m.Text + "\n";
  return s;
}

AnsiString HeadlessDriver::unused() const {
  AnsiString s;
  for (const auto& sc : modal_) s += "script for " + sc.Selector() + "; ";
  for (const auto& a : answers_) s += "answer " + IntToStr(a.result) + (a.filter.IsEmpty() ? "" : " to \"" + a.filter + "\"") + "; ";
  for (const auto& i : inputs_) s += "input \"" + i.second + "\"; ";
  for (const auto& d : dialogs_) s += "dialog " + (d.accept ? "\"" + d.fileName + "\"" : AnsiString("cancel")) + "; ";
  if (!failure_.IsEmpty()) s += "failure: " + failure_;
  return s;
}

AnsiString HeadlessDriver::Describe(TForm* f) {
  AnsiString s = f->ClassName() + " " + f->Name + " \"" + f->Caption + "\":";
  DescribeChildren(f, s);
  return s;
}

void HeadlessDriver::Fail(const AnsiString& what) {
  if (failure_.IsEmpty()) failure_ = what;
  throw UiScriptError(what.str());
}

void HeadlessDriver::FormShown(TForm* form) { formsShown_.push_back(form->ClassName()); }
void HeadlessDriver::FormHidden(TForm*) {}
void HeadlessDriver::FormDestroyed(TForm* form) { ended_.erase(form); }

void HeadlessDriver::RunScript(Script& s, TForm& form, bool modal) {
  auto& steps = s.Steps();
  for (size_t i = 0; i < steps.size(); ++i) {
    if (modal && ended_.count(&form)) {
      AnsiString rest;
      for (size_t k = i; k < steps.size(); ++k) rest += steps[k].first + "; ";
      Fail(form.ClassName() + " closed before its script ended; left: " + rest);
    }
    if (Application->Terminated()) return;
    try {
      steps[i].second(form);
      Application->AfterEvent();
    } catch (const UiScriptError& e) {
      if (failure_.IsEmpty()) failure_ = e.what();
      throw;
    }
  }
  if (modal && !ended_.count(&form) && !Application->Terminated())
    Fail(form.ClassName() + " still open after its script: " + Describe(&form));
}

void HeadlessDriver::RunModal(TForm* form) {
  if (ended_.count(form) || Application->Terminated()) {
    ended_.erase(form);
    return;
  }
  auto it = std::find_if(modal_.begin(), modal_.end(), [&](const Script& s) {
    const AnsiString& sel = s.Selector();
    return SameText(sel, form->ClassName()) || SameText(sel, form->Name) || SameText(sel, form->Caption);
  });
  if (it == modal_.end()) Fail("Unexpected modal form " + Describe(form));
  Script s = std::move(*it);
  modal_.erase(it);
  RunScript(s, *form, true);
  ended_.erase(form);
}

void HeadlessDriver::EndModal(TForm* form) { ended_.insert(form); }

void HeadlessDriver::RunMainLoop() {
  quit_ = false;
  while (!quit_ && !Application->Terminated()) {
    TForm* target = nullptr;
    auto it = modal_.begin();
    for (; it != modal_.end() && !target; ++it) {
      for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* f = Screen->Forms(i);
        if (!f->Showing() || f->IsModal()) continue;
        const AnsiString& sel = it->Selector();
        if (SameText(sel, f->ClassName()) || SameText(sel, f->Name) || SameText(sel, f->Caption)) {
          target = f;
          break;
        }
      }
      if (target) break;
    }
    if (!target) return;
    Script s = std::move(*it);
    modal_.erase(it);
    RunScript(s, *target, false);
  }
}

int HeadlessDriver::ShowMessageBox(const MessageRequest& r) {
  ShownMessage m{r.Kind, r.Text, r.Caption, r.Icon, {}, 0, r.Prompt};
  for (const auto& b : r.Buttons) m.Buttons.push_back(b.Caption);
  auto it = std::find_if(answers_.begin(), answers_.end(), [&](const Answer& a) {
    if (!a.filter.IsEmpty()) return r.Text.Pos(a.filter) > 0 || r.Caption == a.filter;
    return r.Buttons.size() > 1;
  });
  int result = 0;
  if (it != answers_.end()) {
    result = it->result;
    answers_.erase(it);
    bool valid = std::any_of(r.Buttons.begin(), r.Buttons.end(), [&](const MsgButton& b) { return b.Result == result; });
    m.Result = result;
    messages_.push_back(m);
    if (!valid) Fail("Answer " + IntToStr(result) + " is not a button of " + DescribeBox(r));
    return result;
  }
  if (r.Buttons.size() == 1 && !strictMessages) {
    m.Result = r.Buttons[0].Result;
    messages_.push_back(m);
    return m.Result;
  }
  messages_.push_back(m);
  Fail("Unexpected " + DescribeBox(r));
}

bool HeadlessDriver::InputQuery(const MessageRequest& r, AnsiString& value) {
  ShownMessage m{r.Kind, r.Text, r.Caption, r.Icon, {}, 0, r.Prompt};
  for (const auto& b : r.Buttons) m.Buttons.push_back(b.Caption);
  if (inputs_.empty()) {
    messages_.push_back(m);
    Fail("Unexpected input box \"" + r.Caption + "\": " + r.Prompt);
  }
  auto [accept, text] = inputs_.front();
  inputs_.pop_front();
  m.Result = accept ? mrOk : mrCancel;
  messages_.push_back(m);
  if (accept) value = text;
  return accept;
}

bool HeadlessDriver::ExecuteDialog(TCommonDialog* d) {
  formsShown_.push_back(d->ClassName());
  if (d->DialogType() == DialogKind::Find) return true;
  if (dialogs_.empty()) Fail("Unexpected dialog " + d->ClassName() + " " + d->Name);
  DialogAnswer a = dialogs_.front();
  dialogs_.pop_front();
  if (a.accept && a.choose) {
    // A colour answer given to another kind of dialog is a script mistake.
    bool fits = (d->DialogType() == DialogKind::Color && a.fileName == "color") ||
                (d->DialogType() == DialogKind::Font && a.fileName == "font");
    if (!fits) Fail("Dialog " + d->ClassName() + " got a " + a.fileName + " answer");
    a.choose(d);
    return true;
  }
  if (a.accept && !a.fileName.IsEmpty())
    if (auto* od = dynamic_cast<TOpenDialog*>(d)) od->FileName = a.fileName;
  return a.accept;
}

void HeadlessDriver::TimerChanged(TTimer* t) {
  if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) timers_.push_back(t);
}

void HeadlessDriver::TimerDestroyed(TTimer* t) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

}  // namespace tv::forms
