#pragma once
#include <QString>
#include <functional>

// Shell open of files, programs and addresses. Replaceable so tests never start real programs.
using TShellOpener = std::function<bool(const QString& target)>;

// Opens `target` with its default action: a web address in the browser, a program is started,
// a document opens in its program. Returns whether the desktop accepted it.
bool ShellOpen(const QString& target);
void SetShellOpener(TShellOpener opener);  // empty restores the desktop's opener

// Top-level window search by caption: real on Windows, "none" elsewhere.
bool FindTopLevelWindow(const QString& caption);
