#pragma once
// The desktop front end: renders the form model with wxWidgets. This header carries no wx
// include so that the program's main and the tests can use it cheaply.
#include <functional>

class TControl;
class TForm;
class wxWindow;
class wxTopLevelWindow;

namespace tv::gui {

// Creates the wx application, installs the desktop driver (forms and report preview),
// runs `startup` (which creates the forms and calls Application->Run()) and cleans up.
// Returns the process exit code.
int RunApplication(int argc, char** argv, const std::function<void()>& startup);

// For tests: starts wx and installs the driver without running a loop; Shutdown undoes it.
bool Initialize(int argc, char** argv);
void Shutdown();

// The widget that shows a control (nullptr when it has none yet) and a form's window.
wxWindow* WidgetOf(TControl* control);
wxTopLevelWindow* WindowOf(TForm* form);
// Handles pending window-system events for about `ms` milliseconds.
void Pump(int ms);

}  // namespace tv::gui
