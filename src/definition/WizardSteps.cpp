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

// Elements in document order (the root first), each linked to its first child and next sibling;
// tag and attribute names stored once; all character data in one string, so an element's text is
// the stretch between its start and end tag.
struct TXMLTree {
  struct TNode {
    int Tag = 0;
    int FirstChild = -1, LastChild = -1, Next = -1;
    int AttributesBegin = 0, AttributesEnd = 0;
    qsizetype TextBegin = 0, TextEnd = 0;
  };
  struct TAttribute {
    int Name = 0;
    QString Value;
  };
  std::vector<TNode> Nodes;
  std::vector<QString> Tags;
  std::vector<TAttribute> Attributes;
  QString Text;

  int TagIndex(QStringView name);
  const QString& Tag(int node) const { return Tags[std::size_t(Nodes[std::size_t(node)].Tag)]; }
};

namespace {
// Definition texts are held in the program's 8-bit character set.
QString To8Bit(const QString& s) {
  return IsWin1252Text(s) ? s : FromWin1252(ToWin1252(s));
}

EDefinitionError MissingElement(const TXMLElement& parent, const QString& name) {
  return EDefinitionError(QStringLiteral("das Element \"%1\" in \"%2\" fehlt").arg(name, parent.tagName()));
}

EDefinitionError NotANumber(const TXMLElement& parent, const QString& name, const QString& text) {
  return EDefinitionError(QStringLiteral("der Wert \"%1\" des Elements \"%2\" in \"%3\" ist keine Zahl")
                              .arg(text.left(40), name, parent.tagName()));
}
}  // namespace

bool TXMLNode::HasChild(const QString& name) const { return !element_.firstChildElement(name).isNull(); }

TXMLElement TXMLNode::Child(const QString& name) const {
  const TXMLElement c = element_.firstChildElement(name);
  if (c.isNull()) throw MissingElement(element_, name);
  return c;
}

QString TXMLNode::ChildText(const QString& name) const { return To8Bit(Child(name).text()); }

QString TXMLNode::OptionalChildText(const QString& name) const {
  const TXMLElement c = element_.firstChildElement(name);
  return c.isNull() ? QString() : To8Bit(c.text());
}

int TXMLNode::ChildInteger(const QString& name) const {
  const QString t = Child(name).text();
  int v = 0;
  if (!ParseInteger(t, &v)) throw NotANumber(element_, name, t);
  return v;
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

TXMLNodeCollection::TXMLNodeCollection(const TXMLElement& element, const QString& itemTag) : TXMLNode(element) {
  for (TXMLElement c = element.firstChildElement(itemTag); !c.isNull(); c = c.nextSiblingElement(itemTag))
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

[[noreturn]] void ThrowMalformed(const QString& fileName, qint64 line, qint64 column, const QString& why) {
  throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist fehlerhaft "
                                        "(Zeile %2, Spalte %3): %4")
                             .arg(QDir::toNativeSeparators(fileName))
                             .arg(line)
                             .arg(column)
                             .arg(why));
}

// One pass of the stream reader builds the whole tree. Nesting is bounded while reading, so a
// hostile file stops at its 65th level instead of filling memory.
template <class TContent>
void ReadTree(const TContent& content, TXMLTree& tree, const QString& fileName) {
  QXmlStreamReader reader(content);
  reader.setNamespaceProcessing(false);
  std::vector<int> open;  // the elements from the root down to the current one
  open.reserve(kMaxDefinitionDepth);
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
      case QXmlStreamReader::StartElement: {
        if (int(open.size()) >= kMaxDefinitionDepth)
          ThrowMalformed(fileName, reader.lineNumber(), reader.columnNumber(),
                         QStringLiteral("die Elemente sind tiefer als %1 Ebenen verschachtelt.").arg(kMaxDefinitionDepth));
        const int index = int(tree.Nodes.size());
        TXMLTree::TNode node;
        node.Tag = tree.TagIndex(reader.qualifiedName());
        const QXmlStreamAttributes attributes = reader.attributes();
        node.AttributesBegin = int(tree.Attributes.size());
        for (const QXmlStreamAttribute& a : attributes)
          tree.Attributes.push_back({tree.TagIndex(a.qualifiedName()), a.value().toString()});
        node.AttributesEnd = int(tree.Attributes.size());
        node.TextBegin = node.TextEnd = tree.Text.size();
        if (!open.empty()) {
          TXMLTree::TNode& parent = tree.Nodes[std::size_t(open.back())];
          if (parent.LastChild < 0)
            parent.FirstChild = index;
          else
            tree.Nodes[std::size_t(parent.LastChild)].Next = index;
          parent.LastChild = index;
        }
        tree.Nodes.push_back(node);
        open.push_back(index);
        break;
      }
      case QXmlStreamReader::EndElement:
        tree.Nodes[std::size_t(open.back())].TextEnd = tree.Text.size();
        open.pop_back();
        break;
      case QXmlStreamReader::Characters:
      case QXmlStreamReader::EntityReference:  // an entity the reader could not resolve: its text, if any
        if (!open.empty()) tree.Text += reader.text();
        break;
      default: break;
    }
  }
  if (reader.hasError()) ThrowMalformed(fileName, reader.lineNumber(), reader.columnNumber(), reader.errorString());
}
}  // namespace

int TXMLTree::TagIndex(QStringView name) {
  for (int i = int(Tags.size()) - 1; i >= 0; --i)
    if (Tags[std::size_t(i)] == name) return i;
  Tags.push_back(name.toString());
  return int(Tags.size()) - 1;
}

QString TXMLElement::tagName() const { return isNull() ? QString() : tree_->Tag(index_); }

QString TXMLElement::attribute(const QString& name, const QString& defaultValue) const {
  if (isNull()) return defaultValue;
  const TXMLTree::TNode& n = tree_->Nodes[std::size_t(index_)];
  for (int i = n.AttributesBegin; i < n.AttributesEnd; ++i) {
    const TXMLTree::TAttribute& a = tree_->Attributes[std::size_t(i)];
    if (tree_->Tags[std::size_t(a.Name)] == name) return a.Value;
  }
  return defaultValue;
}

QString TXMLElement::text() const {
  if (isNull()) return QString();
  const TXMLTree::TNode& n = tree_->Nodes[std::size_t(index_)];
  return tree_->Text.mid(n.TextBegin, n.TextEnd - n.TextBegin);
}

TXMLElement TXMLElement::Matching(int index, const QString& tagName) const {
  while (index >= 0) {
    if (tagName.isEmpty() || tree_->Tag(index) == tagName) return TXMLElement(tree_, index);
    index = tree_->Nodes[std::size_t(index)].Next;
  }
  return TXMLElement();
}

TXMLElement TXMLElement::firstChildElement(const QString& tagName) const {
  return isNull() ? TXMLElement() : Matching(tree_->Nodes[std::size_t(index_)].FirstChild, tagName);
}

TXMLElement TXMLElement::nextSiblingElement(const QString& tagName) const {
  return isNull() ? TXMLElement() : Matching(tree_->Nodes[std::size_t(index_)].Next, tagName);
}

TWizardDefinition::TWizardDefinition() : tree_(std::make_unique<TXMLTree>()) {}
TWizardDefinition::~TWizardDefinition() = default;

std::unique_ptr<TWizardDefinition> TWizardDefinition::Parse(const QByteArray& bytes, const QString& fileName) {
  std::unique_ptr<TWizardDefinition> def(new TWizardDefinition);
  def->fileName_ = fileName;
  if (bytes.size() > kMaxDefinitionFileSize) throw EDefinitionError(TooLargeMessage(fileName, bytes.size()));
  TXMLTree& tree = *def->tree_;
  // Some 25 bytes of markup per element and about as many of text, indentation included.
  tree.Nodes.reserve(std::size_t(bytes.size() / 25));
  tree.Text.reserve(bytes.size() / 2);
  QString text;
  if (DecodeEightBit(bytes, &text))
    ReadTree(text, tree, fileName);
  else
    ReadTree(bytes, tree, fileName);
  if (tree.Nodes.empty() || tree.Tag(0) != QLatin1String("wizardSteps"))
    throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist fehlerhaft: "
                                          "das Wurzelelement \"wizardSteps\" fehlt.")
                               .arg(QDir::toNativeSeparators(fileName)));
  def->root_ = TXMLWizardStepsType(TXMLElement(&tree, 0));
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
        if (type == QLatin1String("Edit"))
          list.AddEdit(fieldName, fe.Validation().Length(), left, top, width, height, font);
        else if (type == QLatin1String("EditExt"))
          list.AddEditExt(fieldName, fe.Validation().Length(), left, top, width, height,
                          fe.ExtraParameters().NumberOfDigits(), font);
        else if (type == QLatin1String("DateEdit"))
          list.AddDateEdit(fieldName, left, top, width, height, font);
        else if (type == QLatin1String("Combobox"))
          list.AddCombobox(fieldName, left, top, width, height, font);
        else if (type == QLatin1String("ComboEdit"))
          list.AddComboEdit(fieldName, left, top, width, height, font);
        else if (type == QLatin1String("Checkbox"))
          list.AddCheckbox(fieldName, left, top, width, height);
        else if (type == QLatin1String("Button"))
          list.AddButton(fieldName, left, top, width, height);
        // any other kind string: left out
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
