// Draws the step pictures of the KALNO form from the definition itself, so that picture and
// field boxes can never disagree, plus the splash, About and promotion pictures.
//
//   kalno_formpictures <WizardSteps.xml> <output folder>
//
// Writes Step1.jpg ... StepN.jpg (each exactly its step region at about 4.5 pixels per
// millimetre), Splash.jpg and About.png (400 x 300) and Formulare.png (the promotion page's).
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <vector>

#include "definition/WizardSteps.h"
#include "storage/uGermanLocale.h"
#include "uVersion.h"

namespace {
constexpr double kPixelsPerMM = 4.5;

// The form's colours: a pale dropout colour for the paper, a red-brown ink for its print.
const QColor kPaper(0xFD, 0xEB, 0xDD);
const QColor kInk(0xA8, 0x3C, 0x1A);
const QColor kHeaderBand(0xF4, 0xC7, 0xA9);
const QColor kSubBand(0xF9, 0xDB, 0xC6);
const QColor kCellLine(0xD9, 0x9A, 0x7C);

// What the program's reader ignores: captions, line numbers and the printed texts of the form.
struct TFieldExtra {
  QString Caption;
  int Line = 0;
};
struct TFormText {
  QRectF Rect;
  QString Text;
  double Size = 7;
  bool Bold = false;
  Qt::Alignment Align = Qt::AlignLeft;
};
struct TFormBand {
  QRectF Rect;
  bool Header = true;
};
struct TFormRule {
  QRectF Rect;
  QColor Colour;
};
struct TStepDecor {
  std::vector<TFormBand> Bands;
  std::vector<TFormText> Texts;
  std::vector<TFormRule> Rules;
  QMap<QString, TFieldExtra> Fields;
};

[[noreturn]] void Fail(const QString& message) {
  std::fprintf(stderr, "kalno_formpictures: %s\n", qPrintable(message));
  std::exit(1);
}

double Decimal(const TXMLElement& parent, const char* name) {
  const TXMLElement e = parent.firstChildElement(QString::fromLatin1(name));
  double v = 0;
  if (e.isNull() || !ParseDecimal(e.text(), &v))
    Fail(QStringLiteral("<%1> ohne gültiges <%2>").arg(parent.tagName(), QString::fromLatin1(name)));
  return v;
}

QRectF Box(const TXMLElement& e) {
  return QRectF(Decimal(e, "left"), Decimal(e, "top"), Decimal(e, "width"), Decimal(e, "height"));
}

TStepDecor ReadDecor(const TXMLWizardStepType& step) {
  TStepDecor d;
  const TXMLElement texts = step.Element().firstChildElement(QStringLiteral("formTexts"));
  for (TXMLElement e = texts.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
    if (e.tagName() == QLatin1String("formBand")) {
      d.Bands.push_back({Box(e), e.attribute(QStringLiteral("kind")) != QLatin1String("sub")});
    } else if (e.tagName() == QLatin1String("formRule")) {
      // The black corner mark is what the calibration cross is laid on; the rest is in ink.
      d.Rules.push_back({Box(e), e.attribute(QStringLiteral("colour")) == QLatin1String("black") ? QColor(Qt::black) : kInk});
    } else if (e.tagName() == QLatin1String("formText")) {
      TFormText t;
      t.Rect = Box(e);
      t.Text = e.firstChildElement(QStringLiteral("text")).text();
      if (!ParseDecimal(e.attribute(QStringLiteral("size"), QStringLiteral("7")), &t.Size)) t.Size = 7;
      t.Bold = e.attribute(QStringLiteral("bold")) == QLatin1String("True");
      const QString a = e.attribute(QStringLiteral("align"));
      t.Align = a == QLatin1String("right") ? Qt::AlignRight : a == QLatin1String("center") ? Qt::AlignHCenter : Qt::AlignLeft;
      d.Texts.push_back(t);
    }
  }
  const TXMLFieldsType fields = step.Fields();
  for (int j = 0; j < fields.Count(); ++j) {
    const TXMLElement e = fields.Items(j).Element();
    TFieldExtra x;
    x.Caption = e.firstChildElement(QStringLiteral("caption")).text();
    int line = 0;
    if (ParseInteger(e.firstChildElement(QStringLiteral("formLine")).text(), &line)) x.Line = line;
    d.Fields.insert(fields.Items(j).Name(), x);
  }
  return d;
}

// A font whose point size, on a painter working in millimetres, is its true size on paper.
QFont FormFont(double points, bool bold = false) {
  QFont f(QStringLiteral("Arial"));
  f.setPointSizeF(points);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

void DrawCodeArrow(QPainter& p, double x, double yMid, bool filled) {
  QPainterPath path;
  path.moveTo(x, yMid - 0.9);
  path.lineTo(x + 1.5, yMid);
  path.lineTo(x, yMid + 0.9);
  path.closeSubpath();
  p.setPen(QPen(kInk, 0.15));
  p.setBrush(filled ? QBrush(Qt::black) : QBrush(Qt::white));
  p.drawPath(path);
}

void DrawField(QPainter& p, const TFormField& f, const TFieldExtra& x) {
  const QRectF box(f.Left(), f.Top(), f.Width(), f.Height());
  const bool digits = f.Kind() == TFormFieldKind::EditExt && f.NumberOfDigits() > 0;
  // The cells lie where the print puts each character: width / n + 0.1 mm apart.
  const double pitch = digits ? f.Width() / f.NumberOfDigits() + 0.1 : 0.0;
  const QRectF paper = digits ? QRectF(box.left(), box.top(), pitch * f.NumberOfDigits(), box.height()) : box;

  // Caption in the band above the box; a black arrow marks a box for a code, a white one a
  // box for a cross, as on the official form.
  double capX = box.left();
  const double capMid = box.top() - 1.4;
  if (f.Kind() == TFormFieldKind::Combobox) {
    DrawCodeArrow(p, capX, capMid, true);
    capX += 2.1;
  } else if (f.Kind() == TFormFieldKind::Checkbox) {
    DrawCodeArrow(p, box.left() - 2.0, box.center().y(), false);
  }
  // A check box's caption is a sentence printed beside it (formText), not a heading above it.
  if (!x.Caption.isEmpty() && f.Kind() != TFormFieldKind::Checkbox) {
    p.setFont(FormFont(5.5));
    p.setPen(kInk);
    p.drawText(QRectF(capX, box.top() - 3.0, 100, 2.8), Qt::AlignLeft | Qt::AlignBottom | Qt::TextDontClip, x.Caption);
  }

  p.setPen(QPen(kInk, 0.2));
  p.setBrush(Qt::white);
  p.drawRect(paper);
  if (digits) {
    p.setPen(QPen(kCellLine, 0.15));
    for (int k = 1; k < f.NumberOfDigits(); ++k) {
      const double cx = box.left() + k * pitch;
      p.drawLine(QPointF(cx, box.bottom() - box.height() * 0.45), QPointF(cx, box.bottom()));
    }
  }
}

void DrawLineNumbers(QPainter& p, const TFormFieldList& list, const TStepDecor& d) {
  QMap<int, double> centres;  // line number -> vertical centre of its first box
  for (int j = 0; j < list.Count(); ++j) {
    const TFormField& f = *list.Fields(j);
    const int line = d.Fields.value(f.Name()).Line;
    if (line <= 0) continue;
    const double c = f.Top() + f.Height() / 2;
    if (!centres.contains(line) || c < centres.value(line)) centres.insert(line, c);
  }
  p.setFont(FormFont(7, true));
  for (auto it = centres.constBegin(); it != centres.constEnd(); ++it) {
    const QRectF r(3.5, it.value() - 2.2, 8.5, 4.4);
    p.setPen(Qt::NoPen);
    p.setBrush(kHeaderBand);
    p.drawRoundedRect(r, 0.8, 0.8);
    p.setPen(kInk);
    p.drawText(r, Qt::AlignCenter, QString::number(it.key()));
  }
}

QImage DrawStep(const TStepMetric& m, const TFormFieldList& list, const TStepDecor& d) {
  const int w = int(std::lround(m.Width * kPixelsPerMM));
  const int h = int(std::lround(m.Height * kPixelsPerMM));
  QImage img(w, h, QImage::Format_RGB32);
  // 25.4 dpi while painting in millimetres: one point of a font is then 1/72 inch on paper.
  img.setDotsPerMeterX(1000);
  img.setDotsPerMeterY(1000);
  img.fill(kPaper);
  {
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.scale(w / double(m.Width), h / double(m.Height));
    p.translate(-m.Left, -m.Top);
    for (const TFormBand& b : d.Bands) p.fillRect(b.Rect, b.Header ? kHeaderBand : kSubBand);
    p.setPen(kInk);
    for (const TFormText& t : d.Texts) {
      if (t.Text.isEmpty()) continue;
      p.setFont(FormFont(t.Size, t.Bold));
      p.drawText(t.Rect, int(t.Align) | Qt::AlignVCenter | Qt::TextDontClip, t.Text);
    }
    for (const TFormRule& r : d.Rules) p.fillRect(r.Rect, r.Colour);
    for (int j = 0; j < list.Count(); ++j) DrawField(p, *list.Fields(j), d.Fields.value(list.Fields(j)->Name()));
    DrawLineNumbers(p, list, d);
  }
  const int dpm = int(std::lround(kPixelsPerMM * 1000));
  img.setDotsPerMeterX(dpm);
  img.setDotsPerMeterY(dpm);
  return img;
}

void Save(const QImage& img, const QString& fileName, const char* format) {
  QImageWriter writer(fileName, format);
  if (qstrcmp(format, "jpg") == 0) writer.setQuality(92);
  if (!writer.write(img)) Fail(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(fileName, writer.errorString()));
}

// One page of the form, put together from the pictures of its steps.
QImage PageImage(const std::vector<QImage>& steps, const TWizardDefinition& def, int firstStep, int lastStep) {
  QImage page(int(std::lround(210 * kPixelsPerMM)), int(std::lround(297 * kPixelsPerMM)), QImage::Format_RGB32);
  page.fill(kPaper);
  QPainter p(&page);
  for (int i = firstStep; i <= lastStep && i < int(steps.size()); ++i) {
    const TStepMetric& m = def.StepMetric(i);
    p.drawImage(QRectF(m.Left * kPixelsPerMM, m.Top * kPixelsPerMM, m.Width * kPixelsPerMM, m.Height * kPixelsPerMM),
                steps[std::size_t(i)]);
  }
  return page;
}

void DrawSheet(QPainter& p, const QImage& page, const QRectF& where, double angle) {
  p.save();
  p.translate(where.center());
  p.rotate(angle);
  const QRectF r(-where.width() / 2, -where.height() / 2, where.width(), where.height());
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 40));
  p.drawRect(r.translated(3, 3));
  p.drawImage(r, page);
  p.setPen(QPen(QColor(0x80, 0x50, 0x30), 0.8));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
  p.restore();
}

QFont ScreenFont(int pixels, bool bold = false) {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

QImage DrawSplash(const QImage& page1, const QImage& page2) {
  QImage img(400, 300, QImage::Format_RGB32);
  img.fill(QColor(0xFF, 0xF3, 0xDD));  // the splash window's own colour, so the edges blend
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  DrawSheet(p, page2, QRectF(40, 62, 128, 181), -8);
  DrawSheet(p, page1, QRectF(62, 56, 128, 181), 4);
  p.setPen(kInk);
  p.setFont(ScreenFont(46, true));
  p.drawText(QRectF(200, 50, 185, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KALNO"));
  p.setPen(QColor(0x40, 0x30, 0x28));
  p.setFont(ScreenFont(22, true));
  p.drawText(QRectF(200, 106, 190, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Mahnbescheid"));
  p.setFont(ScreenFont(12));
  p.drawText(QRectF(200, 138, 190, 40), Qt::AlignLeft,
             QStringLiteral("Beschriftungs-Software\nfür PC-Mahnbescheide"));
  p.fillRect(QRectF(200, 184, 170, 2), kInk);
  p.setFont(ScreenFont(11));
  p.drawText(QRectF(200, 194, 190, 18), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Version %1").arg(QStringLiteral(KALNO_VERSION_STRING)));
  p.setPen(QColor(0x70, 0x60, 0x58));
  p.drawText(QRectF(200, 250, 190, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Das Programm wird geladen …"));
  return img;
}

QImage DrawAbout(const QImage& page1, const QImage& page2) {
  QImage img(400, 300, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  QLinearGradient g(0, 0, 0, 300);
  g.setColorAt(0, QColor(0xFF, 0xF8, 0xEE));
  g.setColorAt(1, QColor(0xF6, 0xD9, 0xC2));
  p.fillRect(img.rect(), g);
  p.fillRect(QRect(0, 0, 400, 64), kInk);
  p.setPen(Qt::white);
  p.setFont(ScreenFont(30, true));
  p.drawText(QRectF(20, 6, 360, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KALNO Mahnbescheid"));
  p.setFont(ScreenFont(12));
  p.drawText(QRectF(20, 40, 360, 18), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Antrag auf Erlass eines Mahnbescheids am PC"));
  DrawSheet(p, page1, QRectF(24, 84, 118, 167), 0);
  DrawSheet(p, page2, QRectF(152, 84, 118, 167), 0);
  p.setPen(QColor(0x40, 0x30, 0x28));
  p.setFont(ScreenFont(12, true));
  const QStringList items = {QStringLiteral("Ausfüllen"), QStringLiteral("Prüfen"), QStringLiteral("Drucken"),
                             QStringLiteral("Speichern")};
  for (int i = 0; i < items.size(); ++i) {
    const QRectF r(288, 96 + i * 36, 100, 24);
    p.setBrush(Qt::white);
    p.setPen(QPen(kInk, 1));
    p.drawRoundedRect(r, 4, 4);
    p.setPen(QColor(0x40, 0x30, 0x28));
    p.drawText(r, Qt::AlignCenter, items[i]);
  }
  p.setFont(ScreenFont(10));
  p.drawText(QRectF(20, 266, 360, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Version %1  ·  für das zweiseitige KALNO-Formular").arg(QStringLiteral(KALNO_VERSION_STRING)));
  return img;
}

// The small picture of the promotion page: a fan of further forms.
QImage DrawPromotion(const QImage& page1) {
  QImage img(180, 120, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  const QStringList titles = {QStringLiteral("Voll-\nstreckung"), QStringLiteral("Miet-\nvertrag"),
                              QStringLiteral("Mahn-\nbescheid")};
  for (int i = 0; i < titles.size(); ++i) {
    p.save();
    p.translate(50 + i * 40, 62);
    p.rotate(-12 + i * 12);
    const QRectF r(-28, -40, 56, 79);
    p.setPen(QPen(QColor(0x80, 0x50, 0x30), 0.8));
    if (i == 2) {
      p.drawImage(r, page1);
      p.setBrush(Qt::NoBrush);
    } else {
      p.setBrush(QColor::fromHsv(20 + i * 90, 40, 250));
    }
    p.drawRect(r);
    p.setPen(kInk);
    if (i == 2) p.fillRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, 20), QColor(255, 255, 255, 220));
    p.setFont(ScreenFont(8, true));
    p.drawText(QRectF(r.left(), r.top() + 2, r.width(), 20), Qt::AlignCenter, titles[i]);
    p.restore();
  }
  return img;
}
}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "Aufruf: kalno_formpictures <WizardSteps.xml> <Ausgabeordner>\n");
    return 2;
  }
  const QString definitionFile = QString::fromLocal8Bit(argv[1]);
  const QString outDir = QString::fromLocal8Bit(argv[2]);
  try {
    const std::unique_ptr<TWizardDefinition> def = TWizardDefinition::Load(definitionFile);
    TFieldLists lists;
    BuildFieldLists(*def, lists);
    if (!QDir().mkpath(outDir)) Fail(QStringLiteral("Der Ordner %1 kann nicht angelegt werden").arg(outDir));
    std::vector<QImage> steps;
    for (int i = 0; i < def->StepCount(); ++i) {
      const TStepDecor decor = ReadDecor(def->WizardDefinition().Items(i));
      steps.push_back(DrawStep(def->StepMetric(i), lists[std::size_t(i)], decor));
      Save(steps.back(), QDir(outDir).filePath(QStringLiteral("Step%1.jpg").arg(i + 1)), "jpg");
    }
    // Page 1 holds the first two steps, page 2 the rest.
    const QImage page1 = PageImage(steps, *def, 0, 1);
    const QImage page2 = PageImage(steps, *def, 2, def->StepCount() - 1);
    Save(DrawSplash(page1, page2), QDir(outDir).filePath(QStringLiteral("Splash.jpg")), "jpg");
    Save(DrawAbout(page1, page2), QDir(outDir).filePath(QStringLiteral("About.png")), "png");
    Save(DrawPromotion(page1), QDir(outDir).filePath(QStringLiteral("Formulare.png")), "png");
  } catch (const EKalnoError& e) {
    Fail(e.Message());
  }
  return 0;
}
