#include "render/uPrinterDrawContext.h"

#include <QPainter>
#include <QPrinter>

TPrinterDrawContext::TPrinterDrawContext(QPainter& painter, const QRect& pageRect, int dpi)
    : TDrawContext(&painter) {
  SetDeviceRect(TRect::FromQRect(pageRect));
  SetResolutionY(dpi);
}

TPrinterDrawContext::TPrinterDrawContext(QPrinter& printer, QPainter& painter)
    : TPrinterDrawContext(painter, PrinterPageRect(printer), printer.resolution()) {}

QRect PrinterPageRect(const QPrinter& printer) {
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toAlignedRect();
  return QRect(0, 0, page.width(), page.height());
}
