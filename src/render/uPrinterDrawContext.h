#pragma once
#include <QRect>

#include "render/uDrawContext.h"

class QPainter;
class QPrinter;

// The drawing context of a print job: its device rectangle is the printable page in device
// pixels, (0, 0) being the painter's origin (the top-left corner of the printable area).
class TPrinterDrawContext : public TDrawContext {
 public:
  // Any painter: a test device, a QImage, a PDF printer. `pageRect` is the device rectangle in
  // the painter's pixels, `dpi` the device's resolution (it also sets the image operations'
  // intermediate resolution).
  TPrinterDrawContext(QPainter& painter, const QRect& pageRect, int dpi);
  // A printer with an active painter on it: the printer's page rectangle and resolution.
  TPrinterDrawContext(QPrinter& printer, QPainter& painter);
};

// The printable page of `printer` as a device rectangle at the painter's origin.
QRect PrinterPageRect(const QPrinter& printer);
