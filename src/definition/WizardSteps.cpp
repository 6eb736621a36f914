#include "definition/WizardSteps.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>

#include "storage/uFileHelpers.h"
#include "storage/uGermanLocale.h"
#include "storage/uWin1252.h"

namespace {
// Definition texts are held in the program's 8-bit character set.
QString To8Bit(const QString& s) {
  return IsWin1252Text(s) ? s : FromWin1252(ToWin1252(s));
}

EDefinitionError MissingElement(const QDomElement& parent, const QString& name) {
  return EDefinitionError(QStringLiteral("das Element \"%1\" in \"%2\" fehlt").arg(name, parent.tagName()));
}

EDefinitionError NotANumber(const QDomElement& parent, const QString& name, const QString& text) {
  return EDefinitionError(QStringLiteral("der Wert \"%1\" des Elements \"%2\" in \"%3\" ist keine Zahl")
                              .arg(text.left(40), name, parent.tagName()));
}
}  // namespace

bool TXMLNode::HasChild(const QString& name) const { return !element_.firstChildElement(name).isNull(); }

QDomElement TXMLNode::Child(const QString& name) const {
  const QDomElement c = element_.firstChildElement(name);
  if (c.isNull()) throw MissingElement(element_, name);
  return c;
}

QString TXMLNode::ChildText(const QString& name) const { return To8Bit(Child(name).text()); }

QString TXMLNode::OptionalChildText(const QString& name) const {
  const QDomElement c = element_.firstChildElement(name);
  return c.isNull() ? QString() : To8Bit(c.text());
}

int TXMLNode::ChildInteger(const QString& name) const {
  const QString t = Child(name).text();
  int v = 0;
  if (!ParseInteger(t, &v)) throw NotANumber(element_, name, t);
  return v;
}

int TXMLFieldType::FormLine() const {
  // Only a help for reading the form: a missing or unreadable number means "no line", never a
  // refused definition.
  int v = 0;
  return ParseInteger(OptionalChildText(QStringLiteral("formLine")), &v) && v > 0 ? v : 0;
}

float TXMLNode::ChildDecimal(const QString& name) const {
  const QString t = Child(name).text();
  double v = 0;
  // Beyond the float range the conversion is undefined; no millimetre value comes near it.
  if (!ParseDecimal(t, &v) || std::fabs(v) > double(std::numeric_limits<float>::max()))
    throw NotANumber(element_, name, t);
  return float(v);
}

QString TXMLNode::Attribute(const QString& name) const { return To8Bit(element_.attribute(name)); }

TXMLNodeCollection::TXMLNodeCollection(const QDomElement& element, const QString& itemTag) : TXMLNode(element) {
  for (QDomElement c = element.firstChildElement(itemTag); !c.isNull(); c = c.nextSiblingElement(itemTag))
    items_.push_back(c);
}

QString DefinitionFileName(const QString& runtimeFolder) {
  QString f = runtimeFolder;
  if (!f.endsWith(QLatin1Char('/')) && !f.endsWith(QLatin1Char('\\'))) f += QLatin1Char('/');
  return f + QStringLiteral("WizardSteps.xml");
}

QString DefinitionMissingMessage() {
  return QStringLiteral("Die Formatbeschreibung der Wizarddatei konnte nicht gefunden werden!");
}

namespace {
QString TooLargeMessage(const QString& fileName, qint64 size) {
  return QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist mit %2 MB zu groß (höchstens %3 MB).")
      .arg(QDir::toNativeSeparators(fileName))
      .arg(size / (1024 * 1024))
      .arg(kMaxDefinitionFileSize / (1024 * 1024));
}
}  // namespace

std::unique_ptr<TWizardDefinition> TWizardDefinition::Load(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.isFile()) throw EDefinitionMissing(DefinitionMissingMessage());
  if (info.size() > kMaxDefinitionFileSize) throw EDefinitionError(TooLargeMessage(fileName, info.size()));
  QByteArray bytes;
  try {
    bytes = LoadFileToString(fileName);
  } catch (const EKalnoError& e) {
    throw EDefinitionError(e.Message());
  }
  return Parse(bytes, fileName);
}

namespace {
// Qt's XML reader knows only the Unicode encodings; the 8-bit ones a definition may declare are
// decoded here and the declaration's encoding dropped, so the parser sees plain text.
bool DecodeEightBit(const QByteArray& bytes, QString* text) {
  static const QRegularExpression decl(QStringLiteral("^\\s*<\\?xml[^>]*?\\sencoding\\s*=\\s*[\"']([^\"']+)[\"']"),
                                       QRegularExpression::CaseInsensitiveOption);
  const QString head = QString::fromLatin1(bytes.left(200));
  const QRegularExpressionMatch m = decl.match(head);
  if (!m.hasMatch()) return false;
  const QString enc = m.captured(1).toLower();
  QString decoded;
  if (enc == QLatin1String("iso-8859-1") || enc == QLatin1String("iso8859-1") || enc == QLatin1String("latin1") ||
      enc == QLatin1String("iso_8859-1") || enc == QLatin1String("latin-1") || enc == QLatin1String("l1"))
    decoded = QString::fromLatin1(bytes);
  else if (enc == QLatin1String("windows-1252") || enc == QLatin1String("cp1252"))
    decoded = FromWin1252(bytes);
  else
    return false;
  const qsizetype start = m.capturedStart(0);
  QString declText = decoded.mid(start, m.capturedEnd(0) - start + 1);
  static const QRegularExpression encAttr(QStringLiteral("\\sencoding\\s*=\\s*[\"'][^\"']+[\"']"),
                                          QRegularExpression::CaseInsensitiveOption);
  declText.remove(encAttr);
  *text = decoded.left(start) + declText + decoded.mid(m.capturedEnd(0) + 1);
  return true;
}

// The DOM needs time that grows with the square of the nesting depth (100 000 levels: minutes),
// so the nesting is measured first with the stream reader, which is linear. Errors of the text
// itself are left to the DOM parser, which reports them with their place.
template <class TContent>
bool NestedTooDeep(const TContent& content, qint64* line, qint64* column) {
  QXmlStreamReader reader(content);
  int depth = 0;
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
      case QXmlStreamReader::StartElement:
        if (++depth > kMaxDefinitionDepth) {
          *line = reader.lineNumber();
          *column = reader.columnNumber();
          return true;
        }
        break;
      case QXmlStreamReader::EndElement: --depth; break;
      default: break;
    }
  }
  return false;
}
}  // namespace

std::unique_ptr<TWizardDefinition> TWizardDefinition::Parse(const QByteArray& bytes, const QString& fileName) {
  std::unique_ptr<TWizardDefinition> def(new TWizardDefinition);
  def->fileName_ = fileName;
  QString errorMsg;
  int line = 0, column = 0;
  if (bytes.size() > kMaxDefinitionFileSize) throw EDefinitionError(TooLargeMessage(fileName, bytes.size()));
  QString text;
  const bool eightBit = DecodeEightBit(bytes, &text);
  qint64 deepLine = 0, deepColumn = 0;
  if (eightBit ? NestedTooDeep(text, &deepLine, &deepColumn) : NestedTooDeep(bytes, &deepLine, &deepColumn))
    throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist fehlerhaft "
                                          "(Zeile %2, Spalte %3): die Elemente sind tiefer als %4 Ebenen "
                                          "verschachtelt.")
                               .arg(QDir::toNativeSeparators(fileName))
                               .arg(deepLine)
                               .arg(deepColumn)
                               .arg(kMaxDefinitionDepth));
  const bool ok = eightBit ? def->document_.setContent(text, false, &errorMsg, &line, &column)
                           : def->document_.setContent(bytes, false, &errorMsg, &line, &column);
  if (!ok)
    throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist fehlerhaft "
                                          "(Zeile %2, Spalte %3): %4")
                               .arg(QDir::toNativeSeparators(fileName))
                               .arg(line)
                               .arg(column)
                               .arg(errorMsg));
  const QDomElement root = def->document_.documentElement();
  if (root.tagName() != QLatin1String("wizardSteps"))
    throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist fehlerhaft: "
                                          "das Wurzelelement \"wizardSteps\" fehlt.")
                               .arg(QDir::toNativeSeparators(fileName)));
  def->root_ = TXMLWizardStepsType(root);
  if (def->root_.Count() == 0)
    throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 enthält keinen Wizardschritt.")
                               .arg(QDir::toNativeSeparators(fileName)));
  // The step regions are read on every step change; a bad one must stop the start, not a click.
  for (int i = 0; i < def->root_.Count(); ++i) {
    try {
      const TXMLStepMetricType m = def->root_.Items(i).StepMetric();
      TStepMetric sm{m.Left(), m.Top(), m.Width(), m.Height()};
      if (!(sm.Width > 0 && sm.Height > 0))
        throw EDefinitionError(QStringLiteral("die Größe in \"stepMetric\" muss positiv sein"));
      def->metrics_.push_back(sm);
    } catch (const EDefinitionError& e) {
      throw EDefinitionError(QStringLiteral("Fehler in der Formatbeschreibung der Wizarddatei %1, Schritt %2: %3.")
                                 .arg(QDir::toNativeSeparators(fileName))
                                 .arg(i + 1)
                                 .arg(e.Message()));
    }
  }
  return def;
}

void FreeFieldLists(TFieldLists& lists) { lists.clear(); }

namespace {
void ApplyFontElement(const TXMLFontType& fe, QFont& font) {
  font.setPointSize(qMax(1, fe.Size()));
  font.setFamily(fe.Family());
  const QString style = fe.Style();
  // Any style but the two named ones is the regular style, so a field never inherits the style
  // of the field read before it.
  font.setBold(style == QLatin1String("Bold"));
  font.setItalic(style == QLatin1String("Italic"));
}
}  // namespace

void BuildFieldLists(const TWizardDefinition& definition, TFieldLists& lists) {
  FreeFieldLists(lists);
  TFieldLists built;
  const TXMLWizardStepsType& steps = definition.WizardDefinition();
  built.resize(std::size_t(steps.Count()));
  QFont font;  // one working font for the whole build
  font.setBold(false);
  font.setItalic(false);
  for (int i = 0; i < steps.Count(); ++i) {
    const TXMLWizardStepType step = steps.Items(i);
    TFormFieldList& list = built[std::size_t(i)];
    QString fieldName;
    int fieldIndex = -1;
    try {
      const TXMLFieldsType fields = step.Fields();
      for (int j = 0; j < fields.Count(); ++j) {
        fieldIndex = j;
        const TXMLFieldType fe = fields.Items(j);
        fieldName = fe.Name();
        const QString type = fe.Type();
        const TXMLFieldMetricType m = fe.FieldMetric();
        const float left = m.Left(), top = m.Top(), height = m.Height(), width = m.Width();
        if (fe.UsePrivateFont() == QLatin1String("True"))
          ApplyFontElement(fe.PrivateFont(), font);
        else
          ApplyFontElement(step.Font(), font);
        TFormField* added = nullptr;
        if (type == QLatin1String("Edit"))
          added = list.AddEdit(fieldName, fe.Validation().Length(), left, top, width, height, font);
        else if (type == QLatin1String("EditExt"))
          added = list.AddEditExt(fieldName, fe.Validation().Length(), left, top, width, height,
                          fe.ExtraParameters().NumberOfDigits(), font);
        else if (type == QLatin1String("DateEdit"))
          added = list.AddDateEdit(fieldName, left, top, width, height, font);
        else if (type == QLatin1String("Combobox"))
          added = list.AddCombobox(fieldName, left, top, width, height, font);
        else if (type == QLatin1String("ComboEdit"))
          added = list.AddComboEdit(fieldName, left, top, width, height, font);
        else if (type == QLatin1String("Checkbox"))
          added = list.AddCheckbox(fieldName, left, top, width, height);
        else if (type == QLatin1String("Button"))
          added = list.AddButton(fieldName, left, top, width, height);
        // any other kind string: left out
        // What the printed form says beside the box, for those who cannot see the picture.
        if (added) added->SetFormLabel(fe.Caption(), fe.FormLine());
      }
    } catch (const EDefinitionError& e) {
      const QString where = fieldIndex < 0 ? QStringLiteral("Schritt %1").arg(i + 1)
                                           : QStringLiteral("Schritt %1, Feld %2 \"%3\"")
                                                 .arg(i + 1)
                                                 .arg(fieldIndex + 1)
                                                 .arg(fieldName);
      throw EDefinitionError(QStringLiteral("Fehler in der Formatbeschreibung der Wizarddatei %1, %2: %3.")
                                 .arg(QDir::toNativeSeparators(definition.FileName()), where, e.Message()));
    }
  }
  lists = std::move(built);
}
