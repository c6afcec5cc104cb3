#pragma once

namespace tallivar::gui {
// Shows a bare main window until the application's start-up exists.
int RunPlaceholder(int argc, char** argv);
}
