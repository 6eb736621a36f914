#pragma once
#include <QPixmap>
#include <QString>

// Larger step pictures are refused before they are decoded: a scan of the A4 form at 400 dpi has
// some 16 million pixels, and every pixel takes four bytes once decoded.
constexpr qint64 kMaxStepPicturePixels = 25 * 1000 * 1000;
constexpr qint64 kMaxStepPictureFileSize = 32 * 1024 * 1024;

// A step picture as the main window shows it.
struct TStepPicture {
  enum TState {
    Loaded,      // complete
    Incomplete,  // shown as far as it could be decoded (a cut-off file); Problem says so
    Missing,     // no file of that name
    Refused,     // not shown: no JPEG, unreadable, or too large; Problem says why
  };
  TState State = Missing;
  QPixmap Picture;  // null unless Loaded or Incomplete (and always after CheckStepPicture)
  QString Problem;  // German, for the user; empty when Loaded or Missing
  QSize Size;       // in pixels, when Loaded or Incomplete
};

// Loads the JPEG picture `fileName` of a step. Only ordinary files holding a JPEG are read, and
// only up to the limits above; what cannot be shown leaves a null picture, never a crash, a
// hang or a huge allocation. `jpeg`, when given, gets the file's bytes if the picture loaded
// completely and as it is stored (no orientation turned), else nothing.
TStepPicture LoadStepPicture(const QString& fileName, QByteArray* jpeg = nullptr);

// The same checks and answer without keeping the picture, for a PDF that carries the file itself:
// the picture is decoded at an eighth of its size, which meets every fault of the file that the
// whole decoding meets, in a fraction of the time and memory. Picture stays null.
TStepPicture CheckStepPicture(const QString& fileName, QByteArray* jpeg);

// Starts reading and decoding `fileName` on a thread of its own, while the program builds its
// window: the next LoadStepPicture of that file takes the result (waiting for it if need be),
// which is the same as reading it then. One picture at a time; later calls do nothing until it
// has been taken.
void ReadStepPictureAhead(const QString& fileName);
