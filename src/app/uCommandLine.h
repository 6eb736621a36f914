#pragma once
#include <QStringList>

class QTextStream;

// The command-line forms besides opening a document in the window: "--check" reviews documents
// without a window or display, "--help" lists every form, and an option the program does not
// know gets that list instead of starting the window.

// The list of every command-line form, in German, one form a line.
QString CommandLineHelp();

// What main() should do with its arguments.
enum class TCommandLineAction { Window, PrintPdf, Check, Help, Version, Unknown };
// For Unknown, *unknown (when given) points at the first argument the program does not know.
TCommandLineAction CommandLineAction(int argc, char** argv, const char** unknown = nullptr);

// For main(), with PrintPdf or Check: creates the application object these commands need
// (offscreen unless the caller chose a platform; no window, no display) and runs PrintPdfCommand
// or CheckCommand ("mahnbescheid --check DOC.kln [DOC2.kln ...]").
int RunWithoutWindow(int argc, char** argv, TCommandLineAction action);

// The review of each document in `arguments` (after "--check"): one finding a line on `out`,
// exactly "Fehler: Zeile NN: <caption>: <message>" or "Hinweis: ...", in the order of the form
// (a box outside the form's numbered lines, as the court, has no "Zeile NN: "),
// each preceded by the document's name and ": " when several are named. Documents that cannot
// be read are reported on `err`. Exit status: 0 without findings, 1 with hints only, 2 with an
// error (or a wrong call), 3 when a document (or the form's definition) cannot be read; with
// several documents the highest of them.
int CheckCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
