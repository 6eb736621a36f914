#pragma once
#include <QString>

#include "fields/uFormFields.h"

// Reading a document's values without any window: the open command and "--check" share it.

// The document file: section "Mahnbescheid" of a profile file, one entry per field name.
extern const char* const kDocumentSection;
// Larger files are refused: no document comes near it, and reading one must not exhaust memory.
constexpr qint64 kMaxDocumentFileSize = 64 * 1024 * 1024;

// Every field's value from the document file `path`, section "Mahnbescheid". A file that does not
// exist empties every field (*exists false). False, with the fields untouched and the reason in
// *reason, when the file exists but cannot be read or is too large for a document.
bool ReadDocumentValues(const QString& path, TFieldLists& lists, bool* exists, QString* reason);
