#pragma once
#include <QStringList>

class QTextStream;

// "mahnbescheid --print-pdf OUT.pdf DOC.kln": the two pages the print command would put on
// paper, written into a two-page A4 PDF (physical offset 0, the stored print offset applied),
// with no window and no dialog. "mahnbescheid --preview-pdf OUT.pdf DOC.kln": the same with the
// blank form (the step pictures) under the values, as the print preview shows it. Completeness
// problems go to standard error, the PDF is written all the same. Exit code 0 on success; 1 when
// the document or the definition cannot be read or the PDF cannot be written; 2 for a wrong call.
// Messages are German.

// True when the program was called for one of these commands (first argument "--print-pdf" or
// "--preview-pdf").
bool IsPrintPdfCommand(int argc, char** argv);
// The command inside a running application object (RunWithoutWindow makes one). `arguments` are those after the program
// name, starting with the option.
int PrintPdfCommand(const QStringList& arguments, QTextStream& err);
