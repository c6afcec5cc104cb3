#pragma once
// The headless UI driver: tests build the real forms and play the user.
//
//   tv::forms::HeadlessDriver ui;                 // installed until it goes out of scope
//   ui.onModal("TFrmClave")                       // the next modal TFrmClave (class, Name
//       .pick("CBLogin", "admin")                 //  or Caption)
//       .set("EdPassword", "secreto")
//       .click("&Aceptar");                       // by Name or Caption
//   ui.answer("Realmente", mrYes);                // the next box whose text contains it
//   ui.answer(IDNO);                              // the next box with a choice
//   Application->CreateForm(&FrmMain);            // plays the scripts as forms open
//   EXPECT_EQ(ui.messages()[0].Text, "Usuario no autorizado");
//   EXPECT_EQ(ui.unused(), "");                   // every script and answer was used
//
// Rules: a modal form with no queued script, a box with more than one button and no
// matching answer, an InputBox or an open/save dialog with no answer, a script step that
// finds no control, and a modal form still open when its script ends all throw
// UiScriptError with a description of what was on the screen. Boxes with one button are
// acknowledged by themselves and recorded (set strictMessages to require answers).
// Exceptions shown by the standard error box are recorded as MsgKind::Exception.
// Launches of programs, documents and help pages are recorded instead of run.
// Application->Run() shows the main form and plays the scripts queued for shown,
// non-modal forms (matched like modal ones); it returns when none is left or on quit.
#include <deque>
#include <functional>
#include <set>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/os/Launch.h"
#include "platform/forms/UiDriver.h"

class TCustomGrid;

namespace tv::forms {

struct ShownMessage {
  MsgKind Kind;
  AnsiString Text;
  AnsiString Caption;
  MsgIcon Icon;
  std::vector<AnsiString> Buttons;  // captions, in order
  int Result;                       // the button chosen (IDOK/mrOk, ...)
  AnsiString Prompt;                // InputBox
};

// What the user does on one form. Steps name controls by Name (anywhere on the form) or
// by Caption, with or without its '&'.
class Script {
 public:
  using Step = std::function<void(TForm&)>;

  Script& set(const AnsiString& control, const AnsiString& text);   // paste a whole text
  Script& type(const AnsiString& control, const AnsiString& text);  // key by key
  Script& check(const AnsiString& control, bool on = true);         // check/radio box
  Script& pick(const AnsiString& control, const AnsiString& item);  // combo/list/radio group/pages
  Script& pick(const AnsiString& control, int index);
  Script& focus(const AnsiString& control);
  Script& click(const AnsiString& control);                         // button, label, ...
  Script& dblclick(const AnsiString& control);
  Script& key(Word key, TShiftState shift = {});                    // to the focused control
  Script& key(const AnsiString& control, Word key, TShiftState shift = {});
  Script& keys(const AnsiString& shortcut);                         // "Ctrl+N", "F2", "Enter"
  Script& menu(const AnsiString& path);                             // "Archivo|Salir"
  Script& row(const AnsiString& grid, int row);                     // data row, 0-based
  Script& cell(const AnsiString& grid, int col, int row);           // grid cell (string grid:
  Script& editCell(const AnsiString& grid, int col, int row,        //  absolute; DB grid:
                   const AnsiString& text);                         //  column/data row)
  Script& find(const AnsiString& text, TFindOptions options = {frDown});  // the showing find dialog
  Script& timers();                                                 // fire the form's timers
  Script& close();                                                  // the close box
  Script& run(std::function<void(TForm&)> code);                    // anything else

  // Internal.
  Script(AnsiString selector, TForm* bound) : selector_(std::move(selector)), bound_(bound) {}
  const AnsiString& Selector() const { return selector_; }
  std::vector<std::pair<AnsiString, Step>>& Steps() { return steps_; }

 private:
  Script& add(const AnsiString& what, Step step);
  AnsiString selector_;
  TForm* bound_;  // immediate mode
  std::vector<std::pair<AnsiString, Step>> steps_;
};

class HeadlessDriver : public UiDriver {
 public:
  // Installs itself and resets the application state (install false: a bare driver).
  explicit HeadlessDriver(bool install = true);
  ~HeadlessDriver() override;  // deletes the forms left, restores the previous driver

  // Scripts and answers.
  Script& onModal(const AnsiString& form);  // class name, Name or Caption
  Script now(TForm* form);                  // steps run at once on a shown form
  void answer(int result);                  // next box with a choice
  void answer(const AnsiString& textContains, int result);
  void answerInput(const AnsiString& value);
  void cancelInput();
  void answerDialog(const AnsiString& fileName);  // next open/save dialog, accepted
  void acceptDialog();                            // next print/setup/color/font dialog
  void cancelDialog();                            // next common dialog, cancelled
  // Next colour / font dialog, accepted with this choice.
  void answerColor(TColor color);
  void answerFont(const AnsiString& name, int size, TFontStyles style = {}, TColor color = clBlack);
  void fireTimers();                              // every enabled timer, once
  bool strictMessages = false;

  // What was shown.
  const std::vector<ShownMessage>& messages() const { return messages_; }
  std::vector<ShownMessage> takeMessages();
  AnsiString lastMessage() const;          // text of the last box, "" when none
  AnsiString messageTexts() const;         // every text, one per line
  const std::vector<AnsiString>& formsShown() const { return formsShown_; }  // class names
  int beeps() const { return beeps_; }
  // Programs, documents and help pages the application asked to open (not started).
  const std::vector<tv::os::LaunchRequest>& launches() const { return launches_; }
  // Scripts and answers not used yet ("" when everything was used), plus the first
  // driver failure if one was swallowed by application code.
  AnsiString unused() const;
  const AnsiString& failure() const { return failure_; }

  // Describes a form: class, caption and its controls with texts.
  static AnsiString Describe(TForm* form);

  // UiDriver
  void FormShown(TForm* form) override;
  void FormHidden(TForm* form) override;
  void FormDestroyed(TForm* form) override;
  void ControlDestroyed(TControl*) override {}
  void RunModal(TForm* form) override;
  void EndModal(TForm* form) override;
  void RunMainLoop() override;
  void QuitMainLoop() override { quit_ = true; }
  void ProcessMessages() override {}
  void AfterEvent() override {}
  void Repaint(TControl* c) override {
    ++repaints_;
    if (onRepaint) onRepaint(c);
  }
  // Called at every repaint a handler asks for (what a person would see at that moment).
  std::function<void(TControl*)> onRepaint;
  int ShowMessageBox(const MessageRequest& request) override;
  bool InputQuery(const MessageRequest& request, AnsiString& value) override;
  bool ExecuteDialog(TCommonDialog* dialog) override;
  void HideDialog(TCommonDialog*) override {}
  void TimerChanged(TTimer* timer) override;
  void TimerDestroyed(TTimer* timer) override;

 private:
  struct Answer {
    AnsiString filter;
    int result;
  };
  struct DialogAnswer {
    bool accept;
    AnsiString fileName;
    std::function<void(TCommonDialog*)> choose{};  // fills a colour or font choice
  };
  [[noreturn]] void Fail(const AnsiString& what);
  void RunScript(Script& s, TForm& form, bool modal);

  UiDriver* previous_ = nullptr;
  bool installed_ = false;
  std::deque<Script> modal_;
  std::deque<Answer> answers_;
  std::deque<std::pair<bool, AnsiString>> inputs_;
  std::deque<DialogAnswer> dialogs_;
  std::vector<ShownMessage> messages_;
  std::vector<AnsiString> formsShown_;
  std::set<TForm*> ended_;
  std::vector<TTimer*> timers_;
  std::vector<tv::os::LaunchRequest> launches_;
  AnsiString failure_;
  int beeps_ = 0;
  int repaints_ = 0;
  bool quit_ = false;
};

}  // namespace tv::forms
