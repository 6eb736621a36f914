#include "diagnostics/udebug.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSettings>
#include <cstdarg>
#include <memory>

#include "platform/uShell.h"

Q_LOGGING_CATEGORY(lcKalnoDebug, "kalno.debug", QtInfoMsg)

namespace {
const char* const kViewerCaption = "Orvanta DebugWin";

TDebug::TLineSink& Sink() {
  static TDebug::TLineSink sink;
  return sink;
}

TDebug::TTickSource& Ticks() {
  static TDebug::TTickSource ticks;
  return ticks;
}

qint64 NowTicks() {
  if (Ticks()) return Ticks()();
  static QElapsedTimer timer;
  if (!timer.isValid()) timer.start();
  return timer.elapsed();
}

std::unique_ptr<TDebug>& Instance() {
  static std::unique_ptr<TDebug> instance;
  return instance;
}
}  // namespace

TDebug::TDebug() {
  viewerFound_ = FindTopLevelWindow(QLatin1String(kViewerCaption));
  if (!viewerFound_) {
    // The viewer's own key; created when missing so the user finds where to put "Pfad".
    QSettings key(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orvanta"),
                  QStringLiteral("DebugWin32"));
    QString path;
    const QVariant v = key.value(QStringLiteral("Pfad"));
    if (v.typeId() == QMetaType::QString) path = v.toString();
    if (!key.contains(QStringLiteral("Pfad"))) {
      key.setValue(QStringLiteral("Pfad"), QString());
      key.sync();
    }
    if (!path.isEmpty() && ShellOpen(path)) {
      for (int i = 0; i < 10000 && !viewerFound_; ++i) viewerFound_ = FindTopLevelWindow(QLatin1String(kViewerCaption));
    }
  }
  startTicks_ = NowTicks();
  Log(QStringLiteral("Debug.Create"));
}

TDebug::~TDebug() {
  Log(BannerLine(QStringLiteral("ENDE")));
  Log(QStringLiteral("Debug.Destroy"));
}

qint64 TDebug::ElapsedMs() const { return NowTicks() - startTicks_; }

QString TDebug::FormatLine(qint64 elapsedMs, const QString& text) {
  return QString::asprintf("%.4lld ", static_cast<long long>(elapsedMs)) + text;
}

QString TDebug::BannerLine(const QString& word) {
  const QDateTime now = QDateTime::currentDateTime();
  // A locale of its own: the closing banner is written from the log's static destructor, after
  // the program-wide German locale object may already be gone.
  const QLocale german(QLocale::German, QLocale::Germany);
  return QStringLiteral("**** %1 ****\t%2 %3 **** ")
      .arg(word, german.toString(now.date(), QLocale::ShortFormat), german.toString(now.time(), QLocale::LongFormat));
}

void TDebug::Log(const QString& text) {
  const QString line = FormatLine(ElapsedMs(), text);
  if (Sink()) Sink()(line);
  // Delivery to the viewer is switched off; the category shows the line only when enabled.
  qCDebug(lcKalnoDebug).noquote() << line;
}

void TDebug::LogFmt(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  const QString text = QString::vasprintf(format, ap);
  va_end(ap);
  Log(text);
}

void TDebug::SetLineSinkForTesting(TLineSink sink) { Sink() = std::move(sink); }
void TDebug::SetTickSourceForTesting(TTickSource ticks) { Ticks() = std::move(ticks); }

TDebug& Debug() {
  if (!Instance()) Instance() = std::make_unique<TDebug>();
  return *Instance();
}

void StartDebugLog() { Debug().Log(TDebug::BannerLine(QStringLiteral("BEGINN"))); }

void StopDebugLog() { Instance().reset(); }
