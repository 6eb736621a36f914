#pragma once
#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>
#include <functional>

// Lines of the debug log go to this category; it is off unless the user switches it on, e.g.
// QT_LOGGING_RULES="kalno.debug.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcKalnoDebug)

// The process-wide debug log, meant for the external viewer "Orvanta DebugWin". Every line is
// stamped with the milliseconds since the log was created.
class TDebug {
 public:
  TDebug();
  ~TDebug();
  void Log(const QString& text);
  // printf-style formatting, as QString::asprintf.
  void LogFmt(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);

  // The line as it is delivered: "%.4d %s".
  static QString FormatLine(qint64 elapsedMs, const QString& text);
  // "**** BEGINN ****" / "**** ENDE ****", a tab, the date and time, " **** ".
  static QString BannerLine(const QString& word);

  // Tests see the lines that would be sent (delivery itself stays off).
  using TLineSink = std::function<void(const QString& line)>;
  static void SetLineSinkForTesting(TLineSink sink);
  // The elapsed time source (milliseconds since some start); tests inject one.
  using TTickSource = std::function<qint64()>;
  static void SetTickSourceForTesting(TTickSource ticks);

  qint64 ElapsedMs() const;
  bool ViewerFound() const { return viewerFound_; }

 private:
  bool viewerFound_ = false;
  qint64 startTicks_ = 0;
};

// The log object, created on first use.
TDebug& Debug();
// Logs the start line and creates the log; called once at program start.
void StartDebugLog();
// Logs the end lines and releases the log; called once at program end.
void StopDebugLog();
