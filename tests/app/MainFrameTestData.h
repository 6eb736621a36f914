#pragma once
// A runtime folder of our own for main-window tests: a definition of a few steps with pictures,
// written into a temporary program folder that the program then takes as its own.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "TestSupport.h"
#include "storage/uProgramPaths.h"

struct TTestStep {
  QString InfoText;
  QString NavigationText;
  QString FieldsXml;  // <field> elements
  QSize Picture = QSize(900, 1300);  // pixels; empty: no picture file
};

inline QString TestField(const QString& name, const QString& type, double left, double top, double width = 60,
                         double height = 5, int length = 35) {
  return QStringLiteral(
             "<field Name=\"%1\"><type>%2</type>"
             "<fieldMetric><left>%3</left><top>%4</top><width>%5</width><height>%6</height></fieldMetric>"
             "<validation><length>%7</length></validation></field>")
      .arg(name, type)
      .arg(left)
      .arg(top)
      .arg(width)
      .arg(height)
      .arg(length);
}

class TTestRuntime {
 public:
  explicit TTestRuntime(const std::vector<TTestStep>& steps) {
    root_ = dir_.path() + QStringLiteral("/");
    const QString rt = root_ + QStringLiteral("Mahnbescheid Runtime/");
    QDir().mkpath(rt + QStringLiteral("images"));
    QDir().mkpath(rt + QStringLiteral("help"));
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<wizardSteps Art=\"Test\">");
    int k = 1;
    for (const TTestStep& s : steps) {
      xml += QStringLiteral(
                 "<wizardStep Step=\"%1\"><infoText>%2</infoText><navigationText>%3</navigationText>"
                 "<stepMetric><left>0</left><top>0</top><width>200</width><height>290</height></stepMetric>"
                 "<font><size>10</size><family>Arial</family><style></style></font><fields>%4</fields></wizardStep>")
                 .arg(k)
                 .arg(s.InfoText.toHtmlEscaped(), s.NavigationText.toHtmlEscaped(), s.FieldsXml);
      if (!s.Picture.isEmpty()) {
        QImage img(s.Picture, QImage::Format_RGB32);
        img.fill(QColor(255, 250, 235));
        QPainter p(&img);
        p.setPen(Qt::darkGreen);
        p.drawText(20, 40, QStringLiteral("Schritt %1").arg(k));
        p.end();
        img.save(rt + QStringLiteral("images/Step%1.jpg").arg(k), "JPG");
      }
      QFile h(rt + QStringLiteral("help/Step%1.html").arg(k));
      if (h.open(QIODevice::WriteOnly))
        h.write(QStringLiteral("<html><head>CSSFILENAMEPATH</head><body><p>Hilfe zu Schritt %1</p></body></html>")
                    .arg(k)
                    .toUtf8());
      ++k;
    }
    xml += QStringLiteral("</wizardSteps>");
    QFile f(rt + QStringLiteral("WizardSteps.xml"));
    if (f.open(QIODevice::WriteOnly)) f.write(xml.toUtf8());
    SetProgramFolderForTesting(root_);
  }
  ~TTestRuntime() { SetProgramFolderForTesting(QString()); }
  const QString& Folder() const { return root_; }
  QString Runtime() const { return root_ + QStringLiteral("Mahnbescheid Runtime/"); }

 private:
  QTemporaryDir dir_;
  QString root_;
};

// Three steps with a few editors each.
inline std::vector<TTestStep> ThreeSteps() {
  return {
      {QStringLiteral("Antragsteller || Spalte 1 und 2"), QStringLiteral("Angaben zum Antragsteller"),
       TestField(QStringLiteral("A1"), QStringLiteral("Edit"), 10, 10) +
           TestField(QStringLiteral("A2"), QStringLiteral("Edit"), 10, 20)},
      {QStringLiteral("Antragsgegner"), QStringLiteral("Angaben zum Antragsgegner"),
       TestField(QStringLiteral("B1"), QStringLiteral("Edit"), 10, 10)},
      {QStringLiteral("Anspruch"), QStringLiteral("Angaben zum Anspruch"),
       TestField(QStringLiteral("C1"), QStringLiteral("Edit"), 10, 10)},
  };
}
