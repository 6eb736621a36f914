#pragma once
// Print devices for the tests: a recorder of every text run and line in device pixels, at any
// resolution and physical offset, without painting a single pixel.
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPrinter>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/UserDialogs.h"
#include "platform/uClock.h"
#include "platform/uPrintDevice.h"
#include "render/uDrawContext.h"

struct TRecordedLine {
  QLineF Line;  // device pixels of the printable area
  double PenWidth = 0;
};

struct TRecordedPage {
  std::vector<TTextRun> Runs;
  std::vector<TRecordedLine> Lines;
  int GlyphRuns = 0;  // text items that reached the paint engine
};

struct TRecordedJob {
  QString Title;
  std::vector<TRecordedPage> Pages;
  qint64 StartMs = 0;
  bool Ended = false;
};

// Paint engine that keeps lines (through the painter's transform) and counts text items.
class TRecordingPaintEngine : public QPaintEngine {
 public:
  TRecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState& state) override {
    if (state.state() & QPaintEngine::DirtyPen) pen_ = state.pen();
    if (state.state() & QPaintEngine::DirtyTransform) transform_ = state.transform();
  }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  void drawLines(const QLineF* lines, int count) override {
    for (int i = 0; i < count; ++i)
      if (Page) Page->Lines.push_back({transform_.map(lines[i]), pen_.widthF()});
  }
  void drawLines(const QLine* lines, int count) override {
    for (int i = 0; i < count; ++i) {
      const QLineF line(lines[i]);
      drawLines(&line, 1);
    }
  }
  void drawTextItem(const QPointF&, const QTextItem&) override {
    if (Page) ++Page->GlyphRuns;
  }
  void drawPath(const QPainterPath&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
  Type type() const override { return QPaintEngine::User; }
  TRecordedPage* Page = nullptr;

 private:
  QPen pen_;
  QTransform transform_;
};

class TRecordingPaintDevice : public QPaintDevice {
 public:
  TRecordingPaintDevice(QSize size, int dpi) : size_(size), dpi_(dpi) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  TRecordingPaintEngine& Engine() const { return engine_; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth: return size_.width();
      case PdmHeight: return size_.height();
      case PdmWidthMM: return int(std::lround(size_.width() * 25.4 / dpi_));
      case PdmHeightMM: return int(std::lround(size_.height() * 25.4 / dpi_));
      case PdmNumColors: return 0x7fffffff;
      case PdmDepth: return 32;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY: return dpi_;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
      default: return 0;
    }
  }

 private:
  QSize size_;
  int dpi_;
  mutable TRecordingPaintEngine engine_;
};

// A printer of chosen resolution and unprintable margin that records every job, page, text run
// and line, and when each job started on Clock().
class TRecordingPrintDevice : public TPrintDevice {
 public:
  TRecordingPrintDevice(int dpi, double physicalOffsetMM, bool writesToFile = false)
      : dpi_(dpi), writesToFile_(writesToFile) {
    const int off = int(std::lround(physicalOffsetMM / 25.4 * dpi));
    offset_ = QPoint(off, off);
    const QSize sheet = A4SizePixels(dpi);
    device_ = std::make_unique<TRecordingPaintDevice>(QSize(sheet.width() - 2 * off, sheet.height() - 2 * off), dpi);
  }
  ~TRecordingPrintDevice() override {
    if (painter_.isActive()) painter_.end();
    SetTextRunRecorder(nullptr);
  }

  bool ChoosePrinter(UserDialogs& dialogs, int pageCount) override {
    if (!dialogPrinter_) dialogPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    ForgetChosenPages(*dialogPrinter_);
    return dialogs.PrintDialog(*dialogPrinter_, pageCount);
  }
  std::vector<int> ChosenPages(int pageCount) const override {
    return dialogPrinter_ ? PagesChosenOn(*dialogPrinter_, pageCount) : TPrintDevice::ChosenPages(pageCount);
  }
  bool WritesToFile() const override { return writesToFile_; }
  bool BeginJob(const QString& title) override {
    if (FailBegin || painter_.isActive()) return false;
    Jobs.push_back(TRecordedJob{title, {}, Clock().NowMs(), false});
    Log << QStringLiteral("begin %1").arg(title);
    StartPage();
    return painter_.begin(device_.get());
  }
  bool NewPage() override {
    if (!painter_.isActive()) return false;
    Log << QStringLiteral("page");
    StartPage();
    return true;
  }
  bool EndJob() override {
    if (!painter_.isActive()) return true;
    painter_.end();
    SetTextRunRecorder(nullptr);
    device_->Engine().Page = nullptr;
    Jobs.back().Ended = true;
    Log << QStringLiteral("end");
    return !FailEnd;
  }
  int ResolutionX() const override { return dpi_; }
  int ResolutionY() const override { return dpi_; }
  QPoint PhysicalOffset() const override { return offset_; }
  QRect PageRect() const override { return QRect(QPoint(0, 0), QSize(device_->width(), device_->height())); }

  // Device pixels of the printable area to millimetres on the sheet.
  double SheetMMX(double px) const { return (px + offset_.x()) * 25.4 / dpi_; }
  double SheetMMY(double py) const { return (py + offset_.y()) * 25.4 / dpi_; }
  double PixelsToMM(double px) const { return px * 25.4 / dpi_; }

  std::vector<TRecordedJob> Jobs;
  QStringList Log;
  bool FailBegin = false;
  bool FailEnd = false;

 private:
  void StartPage() {
    Jobs.back().Pages.emplace_back();
    // Pages are only added while this page is the last one, so the pointer stays valid until then.
    TRecordedPage* page = &Jobs.back().Pages.back();
    device_->Engine().Page = page;
    SetTextRunRecorder([page](const TTextRun& run) { page->Runs.push_back(run); });
  }

  int dpi_;
  bool writesToFile_;
  QPoint offset_;
  std::unique_ptr<TRecordingPaintDevice> device_;
  std::unique_ptr<QPrinter> dialogPrinter_;
};
