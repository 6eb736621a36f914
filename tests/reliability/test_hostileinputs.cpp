// Hostile files for every reader of the program: each is refused, or shown without its bad part,
// with a German message where the user has to know, within sane time and memory; and the reader
// works normally on a good file right after it. Every case runs in a child process of its own,
// so that its peak memory can be measured and a crash or a hang fails only that case.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextDocument>
#include <functional>

#include "TestSupport.h"
#include "definition/WizardSteps.h"
#include "help/uHelpPages.h"
#include "help/uHtmlView.h"
#include "render/uPictureLoader.h"
#include "storage/uDocuments.h"
#include "storage/uProfileFile.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define KALNO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KALNO_ASAN 1
#endif
#endif

#ifdef KALNO_ASAN
// Freed memory stays in AddressSanitizer's quarantine (256 MB by default) and would count as
// peak memory of every case; a small one keeps the figures close to the real program's.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
#endif

static inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Sanity bounds for one case, the good file after it included. The program's own figures are a
// second and 200 MB; the sanitizers make it several times slower and bigger. These catch what
// goes wrong by orders of magnitude (a parser that takes minutes, a decoder that takes gigabytes).
#ifdef KALNO_ASAN
constexpr qint64 kMemoryBoundMB = 500;
#else
constexpr qint64 kMemoryBoundMB = 200;
#endif
constexpr qint64 kHangBoundMs = 20000;

enum class TReader { Definition, Document, HelpPage, StepPicture };

// What a reader made of a file.
struct TResult {
  bool Loaded = false;
  QString Message;  // what the user is told (empty: nothing)
  QString Shown;    // what is shown: texts read, field values, page text, picture size
};

struct THostile {
  const char* Label;
  TReader Reader;
  // Writes the fixture into the folder and returns its path.
  std::function<QString(const QString& folder)> Make;
  bool Loaded;           // shown (without its bad part) rather than refused
  const char* Message;   // a part of the German message, or null when nothing is said
  // A further check of what is shown; returns a failure text or nothing.
  std::function<QString(const TResult&)> Check;
};

QString Write(const QString& folder, const QString& name, const QByteArray& bytes) {
  const QString path = QDir(folder).filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) return QString();
  return path;
}

// ---- Fixtures ----------------------------------------------------------------------------------

QByteArray Definition(const QByteArray& doctype, const QByteArray& infoText, const QByteArray& width = "210") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype +
         "<wizardSteps><wizardStep><infoText>" + infoText +
         "</infoText><navigationText>Schritt 1</navigationText>"
         "<stepMetric><left>0</left><top>0</top><width>" + width + "</width><height>100</height></stepMetric>"
         "<font><size>10</size><family>Arial</family><style>Regular</style></font>"
         "<fields><field Name=\"Name\"><type>Edit</type>"
         "<fieldMetric><left>1</left><top>1</top><width>50</width><height>5</height></fieldMetric>"
         "<validation><length>35</length></validation></field></fields>"
         "</wizardStep></wizardSteps>\n";
}

QByteArray EntityBomb() {
  QByteArray dtd = "<!DOCTYPE wizardSteps [\n<!ENTITY e0 \"ha\">\n";
  for (int i = 1; i <= 10; ++i) {
    dtd += "<!ENTITY e" + QByteArray::number(i) + " \"";
    for (int k = 0; k < 10; ++k) dtd += "&e" + QByteArray::number(i - 1) + ';';
    dtd += "\">\n";
  }
  return Definition(dtd + "]>\n", "&e10;");
}

QByteArray DeeplyNested(int depth) {
  QByteArray open, close;
  open.reserve(depth * 3);
  close.reserve(depth * 4);
  for (int i = 0; i < depth; ++i) open += "<a>";
  for (int i = 0; i < depth; ++i) close += "</a>";
  return Definition(QByteArray(), "Text" + open + close);
}

QByteArray Jpeg(int width, int height, int quality = 90) {
  QImage image(width, height, QImage::Format_RGB32);
  QRandomGenerator gen(7);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, gen.generate() | 0xFF000000u);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", quality);
  return bytes;
}

// A small JPEG whose frame header claims another size: what a decoder would allocate for.
QByteArray JpegClaiming(int width, int height) {
  QByteArray bytes = Jpeg(16, 16);
  for (qsizetype i = 0; i + 9 < bytes.size(); ++i) {
    const auto m = static_cast<unsigned char>(bytes[i + 1]);
    if (static_cast<unsigned char>(bytes[i]) == 0xFF && (m == 0xC0 || m == 0xC2)) {
      bytes[i + 5] = char(height >> 8);
      bytes[i + 6] = char(height & 0xFF);
      bytes[i + 7] = char(width >> 8);
      bytes[i + 8] = char(width & 0xFF);
      break;
    }
  }
  return bytes;
}

QByteArray Png(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray HelpPage(const QByteArray& body) {
  return "<html><head>CSSFILENAMEPATH</head><body><h1>Hilfe</h1><p>Vorher</p>" + body + "<p>Nachher</p></body></html>\r\n";
}

QByteArray Document(const QByteArray& entries) {
  return "[Allgemein]\r\nProgramm=KALNO\r\n\r\n[Mahnbescheid]\r\n" + entries + "Ort=Kassel\r\n";
}

// ---- Readers -----------------------------------------------------------------------------------

TFieldLists DocumentFields() {
  TFieldLists lists(2);
  const QFont f = TFormField::DefaultFont();
  lists[0].AddEdit("Name", 35, 10, 10, 50, 5, f);
  lists[0].AddEdit("Strasse", 35, 10, 20, 50, 5, f);
  lists[1].AddEdit("Ort", 35, 10, 10, 50, 5, f);
  return lists;
}

TResult Read(TReader reader, const QString& path) {
  TResult r;
  switch (reader) {
    case TReader::Definition: {
      try {
        const auto def = TWizardDefinition::Load(path);
        TFieldLists lists;
        BuildFieldLists(*def, lists);
        r.Loaded = true;
        r.Shown = def->InfoText(0) + QLatin1Char('|') + QString::number(lists.at(0).Count());
      } catch (const EKalnoError& e) {
        r.Message = e.Message();
      }
      break;
    }
    case TReader::Document: {
      TScriptedDialogs dialogs;
      TFieldLists lists = DocumentFields();
      TDocument doc(lists);
      r.Loaded = doc.LoadDocument(path);
      for (const auto& m : dialogs.Messages) r.Message += m.Text;
      for (const TFormFieldList& l : lists)
        for (int i = 0; i < l.Count(); ++i) r.Shown += l.Fields(i)->Name() + '=' + l.Fields(i)->Value() + '|';
      break;
    }
    case TReader::HelpPage: {
      THtmlView view;
      view.resize(400, 300);
      r.Loaded = LoadHelpPage(view, path);
      (void)view.document()->size();  // lays the page out, which loads its images
      r.Shown = view.toPlainText();
      // A refused page shows its notice in the view: that is what the user is told.
      if (!r.Loaded) r.Message = r.Shown;
      // Each image as the document holds it: decoded, or the empty answer of a refused one.
      for (const QTextFormat& f : view.document()->allFormats())
        if (f.isImageFormat()) {
          const QVariant res = view.document()->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
          const QImage image = res.value<QImage>();
          const bool shown = res.typeId() == QMetaType::QImage ? !image.isNull()
                             : res.typeId() == QMetaType::QPixmap ? !res.value<QPixmap>().isNull()
                                                                  : !QImage::fromData(res.toByteArray()).isNull();
          r.Shown += shown ? QStringLiteral("|image shown") : QStringLiteral("|image left out");
        }
      break;
    }
    case TReader::StepPicture: {
      const TStepPicture p = LoadStepPicture(path);
      r.Loaded = p.State == TStepPicture::Loaded || p.State == TStepPicture::Incomplete;
      r.Message = p.Problem;
      r.Shown = QStringLiteral("%1x%2").arg(p.Picture.width()).arg(p.Picture.height());
      // The check a PDF relies on meets the same faults with the same words, and keeps nothing.
      const TStepPicture checked = CheckStepPicture(path, nullptr);
      if (checked.State != p.State || checked.Problem != p.Problem || checked.Size != p.Size || !checked.Picture.isNull())
        r.Message += QStringLiteral(" [CheckStepPicture: %1, \"%2\"]").arg(int(checked.State)).arg(checked.Problem);
      break;
    }
  }
  return r;
}

// A good file for each reader, read right after the hostile one: the reader still works.
QString CheckStillUsable(TReader reader, const QString& folder) {
  QString path;
  switch (reader) {
    case TReader::Definition: path = DefinitionFileName(SourceRuntimeFolder()); break;
    case TReader::Document: path = Write(folder, "gut.kln", Document("Name=Meier\r\n")); break;
    case TReader::HelpPage: path = SourceRuntimeFolder() + "help/Step1.html"; break;
    case TReader::StepPicture: path = Write(folder, "gut.jpg", Jpeg(40, 30)); break;
  }
  const TResult r = Read(reader, path);
  if (!r.Loaded || !r.Message.isEmpty()) return QStringLiteral("a good file is no longer read: ") + r.Message;
  if (reader == TReader::Document && !r.Shown.contains("Name=Meier|")) return "good document read wrongly: " + r.Shown;
  return QString();
}

QString RunCase(const THostile& c, const QString& path, const QString& folder) {
  const TResult r = Read(c.Reader, path);
  QString failure;
  if (r.Loaded != c.Loaded)
    failure += QStringLiteral("loaded %1, expected %2 (message \"%3\"). ")
                   .arg(int(r.Loaded))
                   .arg(int(c.Loaded))
                   .arg(r.Message.left(300));
  if (c.Message && !r.Message.contains(QString::fromUtf8(c.Message)))
    failure += QStringLiteral("message \"%1\" lacks \"%2\". ").arg(r.Message.left(300), QString::fromUtf8(c.Message));
  if (!c.Message && !r.Message.isEmpty()) failure += QStringLiteral("unexpected message \"%1\". ").arg(r.Message.left(300));
  if (c.Check) failure += c.Check(r);
  failure += CheckStillUsable(c.Reader, folder);
  return failure;
}

qint64 ResidentMB() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> parts = statm.readAll().split(' ');
  return parts.size() > 1 ? parts[1].toLongLong() * sysconf(_SC_PAGESIZE) / (1024 * 1024) : 0;
}

class HostileInput : public ::testing::TestWithParam<THostile> {};

TEST_P(HostileInput, IsRefusedOrShownWithoutItsBadPart) {
  const THostile& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // Made here, so that only reading the file counts in the child's figures.
  const QString path = c.Make(dir.path());
  ASSERT_FALSE(path.isEmpty()) << "fixture not written";
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  QElapsedTimer timer;
  timer.start();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(pipeFds[0]);
    const qint64 startMB = ResidentMB();
    const QByteArray failure = QByteArray::number(startMB) + ' ' + RunCase(c, path, dir.path()).toUtf8();
    [[maybe_unused]] ssize_t n = write(pipeFds[1], failure.constData(), size_t(failure.size()));
    close(pipeFds[1]);
    _exit(0);
  }
  close(pipeFds[1]);
  QByteArray failure;
  char buf[4096];
  ssize_t n;
  while ((n = read(pipeFds[0], buf, sizeof buf)) > 0) failure.append(buf, n);
  close(pipeFds[0]);
  int status = 0;
  struct rusage usage = {};
  ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
  const qint64 elapsed = timer.elapsed();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the reader crashed or was stopped (status " << status << ")";
  // The child's figure counts from what it had resident when it started.
  const qsizetype space = failure.indexOf(' ');
  ASSERT_GT(space, 0);
  const qint64 baseMB = failure.left(space).toLongLong();
  EXPECT_EQ(failure.mid(space + 1).toStdString(), "");
  const qint64 peakMB = usage.ru_maxrss / 1024 - baseMB;
  EXPECT_LT(peakMB, kMemoryBoundMB) << "peak memory of the case";
  EXPECT_LT(elapsed, kHangBoundMs) << "the case hangs";
  RecordProperty("peak_mb", int(peakMB));
  RecordProperty("ms", int(elapsed));
}

QString Contains(const TResult& r, const QString& part, bool wanted = true) {
  if (r.Shown.contains(part) == wanted) return QString();
  return QStringLiteral("shown \"%1\" %2 \"%3\". ")
      .arg(r.Shown.left(200), wanted ? QStringLiteral("lacks") : QStringLiteral("has"), part);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileInput,
    ::testing::Values(
        // The wizard definition.
        THostile{"DefinitionEntityBomb", TReader::Definition,
                 [](const QString& d) { return Write(d, "WizardSteps.xml", EntityBomb()); }, false, "fehlerhaft", {}},
        THostile{"DefinitionExternalEntity", TReader::Definition,
                 [](const QString& d) {
                   return Write(d, "WizardSteps.xml",
                                Definition("<!DOCTYPE wizardSteps [<!ENTITY pw SYSTEM \"file:///etc/passwd\">]>\n",
                                           "Vorher&pw;Nachher"));
                 },
                 true, nullptr,
                 [](const TResult& r) { return Contains(r, "root:", false) + Contains(r, "VorherNachher|1"); }},
        THostile{"DefinitionNested100000", TReader::Definition,
                 [](const QString& d) { return Write(d, "WizardSteps.xml", DeeplyNested(100000)); }, false,
                 "verschachtelt", {}},
        THostile{"DefinitionNestedJustAllowed", TReader::Definition,
                 [](const QString& d) { return Write(d, "WizardSteps.xml", DeeplyNested(kMaxDefinitionDepth - 4)); },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Text|1"); }},
        THostile{"DefinitionTextNode20MB", TReader::Definition,
                 [](const QString& d) { return Write(d, "WizardSteps.xml", Definition({}, QByteArray(20 << 20, 'x'))); },
                 false, "zu groß", {}},
        THostile{"DefinitionNumberBeyondFloat", TReader::Definition,
                 [](const QString& d) { return Write(d, "WizardSteps.xml", Definition({}, "Text", "1e300")); }, false,
                 "keine Zahl", {}},
        // Documents.
        THostile{"Document50MB", TReader::Document,
                 [](const QString& d) {
                   return Write(d, "gross.kln",
                                Document("Name=Meier\r\n" + QByteArray("Unbekannt=0123456789\r\n").repeated((50 << 20) / 22)));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Name=Meier|Strasse=|Ort=Kassel|"); }},
        THostile{"DocumentNulBytes", TReader::Document,
                 [](const QString& d) {
                   return Write(d, "nul.kln", Document(QByteArray("Name=Mei\0er\r\nStrasse=\0\0\0\r\n", 26)) +
                                                  QByteArray(100000, '\0'));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Name=Mei|Strasse=|Ort=Kassel|"); }},
        THostile{"DocumentMegabyteLine", TReader::Document,
                 [](const QString& d) { return Write(d, "lang.kln", Document("Name=" + QByteArray(1 << 20, 'x') + "\r\n")); },
                 true, nullptr,
                 [](const TResult& r) {
                   return Contains(r, "Name=" + QString(TProfileFile::MaxValueLength, 'x') + "|Strasse=|Ort=Kassel|");
                 }},
        THostile{"DocumentInvalidUtf8", TReader::Document,
                 [](const QString& d) {
                   return Write(d, "utf8.kln", "\xEF\xBB\xBF" + Document("Name=M\xFCller\xC3\xA4\xE2\x82\r\n"));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Name=Mller\u00e4|"); }},
        THostile{"DocumentUndefinedWin1252Bytes", TReader::Document,
                 [](const QString& d) { return Write(d, "bytes.kln", Document("Name=a\x81\x8D\x8F\x90\x9D\xFF\r\n")); },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Name=a\u0081\u008D\u008F\u0090\u009D\u00FF|"); }},
        // Help pages.
        THostile{"HelpPage10MB", TReader::HelpPage,
                 [](const QString& d) {
                   return Write(d, "Step1.html", HelpPage(QByteArray("<p>Zeile mit Text</p>\r\n").repeated((10 << 20) / 23)));
                 },
                 false, "zu groß", {}},
        THostile{"HelpPageImage30000x30000", TReader::HelpPage,
                 [](const QString& d) {
                   const QString image = Write(d, "riesig.jpg", JpegClaiming(30000, 30000));
                   return Write(d, "Step1.html", HelpPage("<p><img src=\"" + image.toUtf8() + "\"></p>"));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Nachher") + Contains(r, "|image left out"); }},
        THostile{"HelpPageImage7000x7000", TReader::HelpPage,
                 [](const QString& d) {
                   const QString image = Write(d, "gross.jpg", JpegClaiming(7000, 7000));
                   return Write(d, "Step1.html", HelpPage("<p><img src=\"" + image.toUtf8() + "\"></p>"));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "|image left out"); }},
        THostile{"HelpPageDataImage30000x30000", TReader::HelpPage,
                 [](const QString& d) {
                   return Write(d, "Step1.html",
                                HelpPage("<p><img src=\"data:image/jpeg;base64," + JpegClaiming(30000, 30000).toBase64() +
                                         "\"></p>"));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Nachher") + Contains(r, "|image left out"); }},
        THostile{"HelpPageImageIsADevice", TReader::HelpPage,
                 [](const QString& d) { return Write(d, "Step1.html", HelpPage("<p><img src=\"/dev/zero\"></p>")); },
                 true, nullptr, [](const TResult& r) { return Contains(r, "Nachher") + Contains(r, "|image left out"); }},
        THostile{"HelpPageSmallImageStillShown", TReader::HelpPage,
                 [](const QString& d) {
                   const QString image = Write(d, "klein.png", Png(20, 10));
                   return Write(d, "Step1.html", HelpPage("<p><img src=\"" + image.toUtf8() + "\"></p>"));
                 },
                 true, nullptr, [](const TResult& r) { return Contains(r, "|image shown"); }},
        // Step pictures.
        THostile{"StepPictureTruncatedJpeg", TReader::StepPicture,
                 [](const QString& d) {
                   const QByteArray full = Jpeg(400, 300);
                   return Write(d, "Step1.jpg", full.left(full.size() * 6 / 10));
                 },
                 true, "unvollständig", [](const TResult& r) { return Contains(r, "400x300"); }},
        THostile{"StepPictureHeaderOnly", TReader::StepPicture,
                 [](const QString& d) { return Write(d, "Step1.jpg", Jpeg(400, 300).left(60)); }, false, "JPEG", {}},
        THostile{"StepPictureNotAJpeg", TReader::StepPicture,
                 [](const QString& d) { return Write(d, "Step1.jpg", QByteArray("Das ist kein Bild.\r\n").repeated(100)); },
                 false, "kein JPEG-Bild", {}},
        THostile{"StepPicturePngNamedJpg", TReader::StepPicture,
                 [](const QString& d) { return Write(d, "Step1.jpg", Png(40, 30)); }, false, "kein JPEG-Bild", {}},
        THostile{"StepPicture30000x30000", TReader::StepPicture,
                 [](const QString& d) { return Write(d, "Step1.jpg", JpegClaiming(30000, 30000)); }, false, "zu groß",
                 {}}),
    [](const ::testing::TestParamInfo<THostile>& info) { return std::string(info.param.Label); });

}  // namespace
