#pragma once
// A CUPS server of the test's own: its own folder and port, a cups-pdf queue whose default medium
// is Letter, stopped (with everything it left) when the object goes. It needs neither a system
// cupsd nor a terminal, and does not touch a running one.
//
// cups-pdf reads its settings from a fixed folder (/etc/cups); for a device URI "cups-pdf:/NAME" it
// reads cups-pdf-NAME.conf there, so the queue gets an instance file of its own that sends the PDFs
// into the test's folder. The backend must run as root, so the queue works only for a root test run.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/prctl.h>
#include <unistd.h>

class TPrivateCups {
 public:
  static constexpr const char* kQueue = "KalnoLetter";

  ~TPrivateCups() { Stop(); }

  // Why a root-less run cannot use the queue; empty when it can.
  static QString NotRunnableReason() {
    if (geteuid() != 0) return QStringLiteral("the cups-pdf backend runs only for a root cupsd");
    return QString();
  }

  // Starts cupsd and sets up the queue; false with the reason in `why`.
  bool Start(QString& why) {
    for (const char* tool : {"/usr/sbin/cupsd", "/usr/lib/cups/backend/cups-pdf", kPpd})
      if (!QFileInfo::exists(QLatin1String(tool))) {
        why = QStringLiteral("%1 is missing; tools/install-deps.sh installs CUPS and cups-pdf").arg(QLatin1String(tool));
        return false;
      }
    for (const char* tool : {"lpadmin", "lpstat", "cancel", "cupsenable", "gs"})
      if (Tool(QLatin1String(tool)).isEmpty()) {
        why = QStringLiteral("%1 is missing; tools/install-deps.sh installs it").arg(QLatin1String(tool));
        return false;
      }
    if (!dir_.isValid()) {
      why = QStringLiteral("no temporary folder");
      return false;
    }
    if (CupsPdfConfined()) {
      why = QStringLiteral(
          "AppArmor confines the cups-pdf backend (enforce mode): it reads no settings but "
          "/etc/cups/cups-pdf.conf, so the test queue cannot send its PDFs into the test's folder. "
          "On this machine put that profile into complain mode (aa-complain /usr/lib/cups/backend/cups-pdf).");
      return false;
    }
    // The filters run as the cupsd user and must reach the spool below this folder.
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    for (const char* sub : {"etc/ppd", "spool/tmp", "cache", "state", "log", "out"}) QDir(dir_.path()).mkpath(QLatin1String(sub));

    port_ = FreePort();
    if (port_ <= 0) {
      why = QStringLiteral("no free port on localhost");
      return false;
    }

    const QString d = dir_.path();
    WriteFile(d + QStringLiteral("/etc/cupsd.conf"),
              QStringLiteral("LogLevel info\nListen 127.0.0.1:%1\nListen %2/cups.sock\nBrowsing No\nWebInterface No\n"
                             "DefaultAuthType None\nErrorPolicy abort-job\nPreserveJobHistory Yes\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                  .arg(port_)
                  .arg(d));
    WriteFile(d + QStringLiteral("/etc/cups-files.conf"),
              QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nCacheDir %1/cache\n"
                             "StateDir %1/state\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                             "PageLog %1/log/page_log\nFileDevice No\nSystemGroup root\n")
                  .arg(d));

    // cups-pdf's instance file; one a crashed earlier run left behind goes first.
    RemoveStaleInstanceFiles();
    instance_ = QStringLiteral("kalno-test-%1").arg(getpid());
    instanceFile_ = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(instance_);
    if (!WriteFile(instanceFile_, QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/cups-pdf-spool\nLog %1/log\n"
                                                 "GSTmp %1/spool/tmp\nGrp lp\nLabel 1\nLogType 3\n")
                                      .arg(d))) {
      why = QStringLiteral("cannot write %1").arg(instanceFile_);
      return false;
    }

    cupsd_.setProgram(QStringLiteral("/usr/sbin/cupsd"));
    cupsd_.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/etc/cupsd.conf"),
                         QStringLiteral("-s"), d + QStringLiteral("/etc/cups-files.conf")});
    cupsd_.setStandardOutputFile(d + QStringLiteral("/log/cupsd.out"));
    cupsd_.setStandardErrorFile(d + QStringLiteral("/log/cupsd.out"));
    // A test that dies takes its cupsd along.
    cupsd_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_.start();
    if (!cupsd_.waitForStarted(10000)) {
      why = QStringLiteral("cupsd does not start: %1").arg(cupsd_.errorString());
      return false;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
      if (cupsd_.state() == QProcess::NotRunning) {
        why = QStringLiteral("cupsd stopped at once:\n%1").arg(Diagnostics());
        return false;
      }
      if (Listens(port_)) break;
      if (waited.elapsed() > 15000) {
        why = QStringLiteral("cupsd does not listen on port %1 after 15 s:\n%2").arg(port_).arg(Diagnostics());
        return false;
      }
      QThread::msleep(100);
    }

    QString out;
    if (!Run(QStringLiteral("lpadmin"),
             {QStringLiteral("-p"), QLatin1String(kQueue), QStringLiteral("-E"), QStringLiteral("-v"),
              QStringLiteral("cups-pdf:/") + instance_, QStringLiteral("-P"), QLatin1String(kPpd), QStringLiteral("-o"),
              QStringLiteral("PageSize=Letter"), QStringLiteral("-o"), QStringLiteral("printer-error-policy=abort-job")},
             out)) {
      why = QStringLiteral("lpadmin failed: %1\n%2").arg(out, Diagnostics());
      return false;
    }
    return true;
  }

  void Stop() {
    if (cupsd_.state() != QProcess::NotRunning) {
      cupsd_.terminate();
      if (!cupsd_.waitForFinished(10000)) {
        cupsd_.kill();
        cupsd_.waitForFinished(5000);
      }
    }
    if (!instanceFile_.isEmpty()) QFile::remove(instanceFile_);
    instanceFile_.clear();
  }

  // What CUPS_SERVER must say to reach this server.
  QString Server() const { return QStringLiteral("localhost:%1").arg(port_); }
  QString OutFolder() const { return dir_.path() + QStringLiteral("/out"); }

  // An idle queue that accepts jobs and an empty output folder, whatever an earlier test left.
  void Reset() {
    QString out;
    Run(QStringLiteral("cancel"), {QStringLiteral("-a"), QLatin1String(kQueue)}, out);
    Run(QStringLiteral("cupsenable"), {QLatin1String(kQueue)}, out);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && !(Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QLatin1String(kQueue)}, out) &&
                                         out.trimmed().isEmpty()))
      QThread::msleep(100);
    for (const QFileInfo& f : QDir(OutFolder()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
      QFile::remove(f.filePath());
  }

  // Waits until the queue holds no unfinished job and `count` PDFs have come out; their paths in
  // job order. Empty with the reason in `why` when that does not happen within `timeoutMs`.
  QStringList WaitForOutput(int count, QString& why, int timeoutMs = 60000) {
    QElapsedTimer waited;
    waited.start();
    qint64 idleSince = -1;
    for (;;) {
      QString pending;
      const bool asked = Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), QLatin1String(kQueue)}, pending);
      const QStringList files = Output();
      const bool idle = asked && pending.trimmed().isEmpty();
      if (idle && files.size() >= count) return files;
      // Every job has ended, but some PDF is missing: give the backend a moment, then report.
      if (idle && idleSince < 0) idleSince = waited.elapsed();
      if (!idle) idleSince = -1;
      if (idleSince >= 0 && waited.elapsed() - idleSince > 5000) {
        why = QStringLiteral("every job has ended, but %1 of %2 PDFs came out:\n%3").arg(files.size()).arg(count).arg(Diagnostics());
        return QStringList();
      }
      if (waited.elapsed() > timeoutMs) {
        why = QStringLiteral("jobs still unfinished after %1 s:\n%2\n%3")
                  .arg(timeoutMs / 1000)
                  .arg(pending.trimmed(), Diagnostics());
        return QStringList();
      }
      QThread::msleep(200);
    }
  }

  // The end of cupsd's and cups-pdf's logs.
  QString Diagnostics() const {
    QString text;
    for (const QString& name : {QStringLiteral("cupsd.out"), QStringLiteral("error_log"),
                                QStringLiteral("cups-pdf-") + QLatin1String(kQueue) + QStringLiteral("_log")}) {
      QFile f(dir_.path() + QStringLiteral("/log/") + name);
      if (!f.open(QIODevice::ReadOnly)) continue;
      QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
      if (lines.size() > 25) lines = lines.mid(lines.size() - 25);
      text += QStringLiteral("--- %1\n%2\n").arg(name, lines.join(QLatin1Char('\n')));
    }
    return text;
  }

 private:
  static constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

  static sockaddr_in Localhost(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
  }

  // A port the kernel just handed out on localhost, so no other server is on it.
  static int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in a = Localhost(0);
    socklen_t len = sizeof a;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
      port = ntohs(a.sin_port);
    close(fd);
    return port;
  }

  static bool Listens(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const sockaddr_in a = Localhost(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
  }

  static bool CupsPdfConfined() {
    QFile profiles(QStringLiteral("/sys/kernel/security/apparmor/profiles"));
    if (!profiles.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : profiles.readAll().split('\n'))
      if (line.startsWith("/usr/lib/cups/backend/cups-pdf ") && line.contains("(enforce)")) return true;
    return false;
  }

  static bool WriteFile(const QString& name, const QString& text) {
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(text.toUtf8()) >= 0;
  }

  static void RemoveStaleInstanceFiles() {
    static const QRegularExpression name(QStringLiteral("^cups-pdf-kalno-test-(\\d+)\\.conf$"));
    for (const QString& file : QDir(QStringLiteral("/etc/cups")).entryList(QDir::Files)) {
      const QRegularExpressionMatch m = name.match(file);
      if (m.hasMatch() && kill(pid_t(m.captured(1).toLongLong()), 0) != 0 && errno == ESRCH)
        QFile::remove(QStringLiteral("/etc/cups/") + file);
    }
  }

  // The full path of a tool; the administration tools live in sbin, which a user's PATH may lack.
  static QString Tool(const QString& name) {
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
                           : found;
  }

  // A CUPS command-line tool against this server; false when it failed or hung.
  bool Run(const QString& program, const QStringList& args, QString& output) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), Server());
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(Tool(program), args);
    const bool finished = p.waitForFinished(30000);
    if (!finished) p.kill();
    output = QString::fromLocal8Bit(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }

  // The PDFs cups-pdf wrote, in job order ("...-job_<id>.pdf").
  QStringList Output() const {
    static const QRegularExpression job(QStringLiteral("-job_(\\d+)\\.pdf$"));
    QFileInfoList files = QDir(OutFolder()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    auto id = [](const QFileInfo& f) {
      const QRegularExpressionMatch m = job.match(f.fileName());
      return m.hasMatch() ? m.captured(1).toInt() : 0;
    };
    std::sort(files.begin(), files.end(), [&](const QFileInfo& a, const QFileInfo& b) { return id(a) < id(b); });
    QStringList paths;
    for (const QFileInfo& f : files) paths << f.filePath();
    return paths;
  }

  QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/kalno-cups-XXXXXX")};
  QProcess cupsd_;
  int port_ = 0;
  QString instance_;
  QString instanceFile_;
};
