#pragma once
// Starting other programs and opening documents with the desktop's associated program.
// Programs are started directly with an argument vector (never through a shell) and are
// not waited for.
#include <functional>
#include <vector>

#include "platform/core/AnsiString.h"

namespace tv::os {

enum class LaunchKind { Program, Document, TextViewer, HelpPage };

struct LaunchRequest {
  LaunchKind kind = LaunchKind::Program;
  AnsiString program;  // what is started ("xdg-open" for documents)
  std::vector<AnsiString> arguments;
  AnsiString target;  // document path or help URL; "" for a plain program
};

// While a recorder is set, launches are handed to it instead of being run (headless
// tests); an empty function restores real launching.
void SetLaunchRecorder(std::function<void(const LaunchRequest&)> recorder);

// Starts `program` (looked up in PATH) with `arguments`. False with the reason in
// `error` when it cannot be started.
bool LaunchProgram(const AnsiString& program, const std::vector<AnsiString>& arguments,
                   AnsiString* error = nullptr);
// Opens an existing file with the program the desktop associates with its type.
bool OpenDocument(const AnsiString& path, AnsiString* error = nullptr);
// Shows a text file in the desktop's text editor.
bool OpenInTextViewer(const AnsiString& path, AnsiString* error = nullptr);
// Shows an HTML help page, at `anchor` when given, in the desktop's browser.
bool OpenHelpPage(const AnsiString& htmlPath, const AnsiString& anchor = AnsiString(),
                  AnsiString* error = nullptr);
// file:// URL of a path (made absolute, special characters percent-encoded).
AnsiString FileUrl(const AnsiString& path, const AnsiString& anchor = AnsiString());

}  // namespace tv::os
