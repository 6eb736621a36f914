#include "definition/WizardSteps.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>

#include "definition/uDefinitionReading.h"
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

// Builds the tree from the events of a reader, element by element in document order.
class TTreeBuilder {
 public:
  explicit TTreeBuilder(TXMLTree& tree) : tree_(tree) { open_.reserve(kMaxDefinitionDepth); }
  int Depth() const { return int(open_.size()); }
  bool InElement() const { return !open_.empty(); }
  const QString& CurrentTag() const { return tree_.Tag(open_.back()); }
  void Start(QStringView tag) {
    const int index = int(tree_.Nodes.size());
    TXMLTree::TNode node;
    node.Tag = tree_.TagIndex(tag);
    node.AttributesBegin = node.AttributesEnd = int(tree_.Attributes.size());
    node.TextBegin = node.TextEnd = tree_.Text.size();
    if (!open_.empty()) {
      TXMLTree::TNode& parent = tree_.Nodes[std::size_t(open_.back())];
      if (parent.LastChild < 0)
        parent.FirstChild = index;
      else
        tree_.Nodes[std::size_t(parent.LastChild)].Next = index;
      parent.LastChild = index;
    }
    tree_.Nodes.push_back(node);
    open_.push_back(index);
  }
  // An attribute of the element started last; false when it has one of that name already.
  bool Attribute(QStringView name, const QString& value) {
    TXMLTree::TNode& node = tree_.Nodes[std::size_t(open_.back())];
    const int nameIndex = tree_.TagIndex(name);
    for (int i = node.AttributesBegin; i < node.AttributesEnd; ++i)
      if (tree_.Attributes[std::size_t(i)].Name == nameIndex) return false;
    tree_.Attributes.push_back({nameIndex, value});
    node.AttributesEnd = int(tree_.Attributes.size());
    return true;
  }
  void End() {
    tree_.Nodes[std::size_t(open_.back())].TextEnd = tree_.Text.size();
    open_.pop_back();
  }
  void Text(QStringView text) {
    if (!open_.empty()) tree_.Text += text;
  }
  void AppendChar(char32_t c) {
    if (open_.empty()) return;
    if (QChar::requiresSurrogates(c)) {
      tree_.Text += QChar(QChar::highSurrogate(c));
      tree_.Text += QChar(QChar::lowSurrogate(c));
    } else {
      tree_.Text += QChar(char16_t(c));
    }
  }

 private:
  TXMLTree& tree_;
  std::vector<int> open_;  // the elements from the root down to the current one
};

// The general reader: one pass of Qt's stream reader, which knows all of XML (document type
// declarations, entities, every encoding it decodes) and says where a file goes wrong. Nesting is
// bounded while reading, so a hostile file stops at its 65th level instead of filling memory.
template <class TContent>
void ReadTree(const TContent& content, TXMLTree& tree, const QString& fileName) {
  QXmlStreamReader reader(content);
  reader.setNamespaceProcessing(false);
  TTreeBuilder builder(tree);
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
      case QXmlStreamReader::StartElement: {
        if (builder.Depth() >= kMaxDefinitionDepth)
          ThrowMalformed(fileName, reader.lineNumber(), reader.columnNumber(),
                         QStringLiteral("die Elemente sind tiefer als %1 Ebenen verschachtelt.").arg(kMaxDefinitionDepth));
        builder.Start(reader.qualifiedName());
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute& a : attributes) builder.Attribute(a.qualifiedName(), a.value().toString());
        break;
      }
      case QXmlStreamReader::EndElement: builder.End(); break;
      case QXmlStreamReader::Characters:
      case QXmlStreamReader::EntityReference:  // an entity the reader could not resolve: its text, if any
        builder.Text(reader.text());
        break;
      default: break;
    }
  }
  if (reader.hasError()) ThrowMalformed(fileName, reader.lineNumber(), reader.columnNumber(), reader.errorString());
}

// The fast reader, for the plain XML a definition is written in: UTF-8 text with elements,
// attributes, comments, CDATA sections and the predefined and numeric character references,
// at most kMaxDefinitionDepth deep. It is several times faster than the stream reader. Whatever
// else it meets (a document type declaration, a processing instruction, another encoding, a
// fault) makes it give up, and the general reader reads the file again: the two build the same
// tree wherever both accept a file, and only the general one reports faults.
class TPlainReader {
 public:
  TPlainReader(QStringView text, TXMLTree& tree) : p_(text.begin()), end_(text.end()), builder_(tree) {}

  bool Read() {
    if (p_ < end_ && *p_ == QChar(0xFEFF)) ++p_;
    if (Ahead(u"<?xml") && !Declaration()) return false;
    bool rootSeen = false;
    while (true) {
      SkipSpace();
      if (p_ == end_) return rootSeen;
      if (Ahead(u"<!--")) {
        if (!Comment()) return false;
      } else if (!rootSeen && *p_ == u'<' && p_ + 1 < end_ && IsNameStart(p_[1])) {
        if (!Element()) return false;
        rootSeen = true;
      } else {
        return false;
      }
    }
  }

 private:
  static bool IsSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
  static bool IsNameStart(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_';
  }
  static bool IsNameChar(QChar c) {
    const char16_t u = c.unicode();
    return IsNameStart(c) || (u >= u'0' && u <= u'9') || u == u'.' || u == u'-';
  }
  // Characters XML allows in text; surrogate pairs come from valid UTF-8 only, and the decoder
  // has checked that.
  static bool IsTextChar(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 ? u < 0xFFFE : (u == u'\t' || u == u'\n' || u == u'\r');
  }
  bool Ahead(std::u16string_view s) const {
    return std::size_t(end_ - p_) >= s.size() && std::equal(s.begin(), s.end(), p_, [](char16_t a, QChar b) {
             return a == b.unicode();
           });
  }
  void SkipSpace() {
    while (p_ < end_ && IsSpace(*p_)) ++p_;
  }
  QStringView Name() {
    const QChar* start = p_;
    if (p_ < end_ && IsNameStart(*p_))
      while (++p_ < end_ && IsNameChar(*p_)) {
      }
    return QStringView(start, p_);
  }

  // <?xml version="1.x" encoding="UTF-8" standalone="..."?>, encoding and standalone optional,
  // in this order.
  bool Declaration() {
    p_ += 5;
    int stage = 0;  // 1 after the version, 2 after the encoding, 3 after standalone
    while (true) {
      const bool spaced = p_ < end_ && IsSpace(*p_);
      SkipSpace();
      if (Ahead(u"?>")) {
        p_ += 2;
        return stage > 0;
      }
      if (!spaced) return false;
      const QStringView name = Name();
      SkipSpace();
      if (p_ == end_ || *p_ != u'=') return false;
      ++p_;
      SkipSpace();
      if (p_ == end_ || (*p_ != u'"' && *p_ != u'\'')) return false;
      const QChar quote = *p_++;
      const QChar* start = p_;
      while (p_ < end_ && *p_ != quote) ++p_;
      if (p_ == end_) return false;
      const QStringView value(start, p_++);
      if (stage == 0 && name == u"version" && value == u"1.0")
        stage = 1;
      else if (stage == 1 && name == u"encoding" && value.compare(u"UTF-8", Qt::CaseInsensitive) == 0)
        stage = 2;
      else if ((stage == 1 || stage == 2) && name == u"standalone" && (value == u"yes" || value == u"no"))
        stage = 3;
      else
        return false;
    }
  }

  bool Comment() {
    p_ += 4;
    for (; p_ < end_; ++p_) {
      if (*p_ == u'-' && p_ + 1 < end_ && p_[1] == u'-') {
        if (p_ + 2 < end_ && p_[2] == u'>') {
          p_ += 3;
          return true;
        }
        return false;  // "--" inside a comment
      }
      if (!IsTextChar(*p_)) return false;
    }
    return false;
  }

  // After '&': a predefined or numeric character reference.
  bool Reference(char32_t* c) {
    ++p_;
    const QChar* start = p_;
    while (p_ < end_ && *p_ != u';' && p_ - start < 10) ++p_;
    if (p_ == end_ || *p_ != u';') return false;
    const QStringView ref(start, p_++);
    if (ref == u"lt") *c = '<';
    else if (ref == u"gt") *c = '>';
    else if (ref == u"amp") *c = '&';
    else if (ref == u"quot") *c = '"';
    else if (ref == u"apos") *c = '\'';
    else if (ref.startsWith(u'#') && ref.size() > 1) {
      const bool hex = ref.at(1) == u'x';
      const QStringView digits = ref.mid(hex ? 2 : 1);
      char32_t v = 0;
      if (digits.isEmpty()) return false;
      for (QChar d : digits) {
        const char16_t u = d.unicode();
        const int k = (u >= u'0' && u <= u'9')               ? u - u'0'
                      : hex && (u >= u'a' && u <= u'f')      ? u - u'a' + 10
                      : hex && (u >= u'A' && u <= u'F')      ? u - u'A' + 10
                                                             : -1;
        if (k < 0 || v > 0x10FFFF) return false;
        v = v * (hex ? 16 : 10) + char32_t(k);
      }
      const bool valid = v == 0x9 || v == 0xA || v == 0xD || (v >= 0x20 && v <= 0xD7FF) ||
                         (v >= 0xE000 && v <= 0xFFFD) || (v >= 0x10000 && v <= 0x10FFFF);
      if (!valid) return false;
      *c = v;
    } else {
      return false;
    }
    return true;
  }

  // A quoted attribute value, its white space characters each made a blank as XML asks.
  bool AttributeValue(QString* value) {
    if (p_ == end_ || (*p_ != u'"' && *p_ != u'\'')) return false;
    const QChar quote = *p_++;
    while (p_ < end_ && *p_ != quote) {
      const QChar c = *p_;
      if (c == u'<' || !IsTextChar(c)) return false;
      if (c == u'&') {
        char32_t r = 0;
        if (!Reference(&r)) return false;
        if (QChar::requiresSurrogates(r)) {
          value->append(QChar(QChar::highSurrogate(r)));
          value->append(QChar(QChar::lowSurrogate(r)));
        } else {
          value->append(QChar(char16_t(r)));
        }
        continue;
      }
      if (c == u'\r' && p_ + 1 < end_ && p_[1] == u'\n') ++p_;  // one line break, one blank
      value->append(IsSpace(c) ? QChar(u' ') : c);
      ++p_;
    }
    if (p_ == end_) return false;
    ++p_;
    return true;
  }

  // Character data up to the next '<', line breaks made '\n' as XML asks.
  bool CharacterData() {
    while (p_ < end_ && *p_ != u'<') {
      const QChar* start = p_;
      while (p_ < end_ && *p_ != u'<' && *p_ != u'&' && *p_ != u'\r' && *p_ != u']' && IsTextChar(*p_)) ++p_;
      builder_.Text(QStringView(start, p_));
      if (p_ == end_ || *p_ == u'<') break;
      const QChar c = *p_;
      if (c == u'&') {
        char32_t r = 0;
        if (!Reference(&r)) return false;
        builder_.AppendChar(r);
      } else if (c == u'\r') {
        builder_.AppendChar(u'\n');
        p_ += (p_ + 1 < end_ && p_[1] == u'\n') ? 2 : 1;
      } else if (c == u']') {
        if (Ahead(u"]]>")) return false;
        builder_.AppendChar(u']');
        ++p_;
      } else {
        return false;  // a character XML does not allow
      }
    }
    return true;
  }

  bool CData() {
    p_ += 9;
    while (p_ < end_ && !Ahead(u"]]>")) {
      const QChar c = *p_;
      if (!IsTextChar(c)) return false;
      if (c == u'\r') {
        builder_.AppendChar(u'\n');
        p_ += (p_ + 1 < end_ && p_[1] == u'\n') ? 2 : 1;
      } else {
        builder_.AppendChar(c.unicode());
        ++p_;
      }
    }
    if (p_ == end_) return false;
    p_ += 3;
    return true;
  }

  // An element and everything in it, from its '<'.
  bool Element() {
    if (builder_.Depth() >= kMaxDefinitionDepth) return false;
    ++p_;
    builder_.Start(Name());
    while (true) {
      const bool spaced = p_ < end_ && IsSpace(*p_);
      SkipSpace();
      if (p_ == end_) return false;
      if (*p_ == u'>') {
        ++p_;
        break;
      }
      if (Ahead(u"/>")) {
        p_ += 2;
        builder_.End();
        return true;
      }
      if (!spaced || !IsNameStart(*p_)) return false;
      const QStringView name = Name();
      SkipSpace();
      if (p_ == end_ || *p_ != u'=') return false;
      ++p_;
      SkipSpace();
      QString value;
      if (!AttributeValue(&value) || !builder_.Attribute(name, value)) return false;
    }
    while (true) {
      if (!CharacterData() || p_ == end_) return false;
      if (Ahead(u"</")) {
        p_ += 2;
        if (Name() != builder_.CurrentTag()) return false;
        SkipSpace();
        if (p_ == end_ || *p_ != u'>') return false;
        ++p_;
        builder_.End();
        return true;
      }
      if (Ahead(u"<!--")) {
        if (!Comment()) return false;
      } else if (Ahead(u"<![CDATA[")) {
        if (!CData()) return false;
      } else if (p_ + 1 < end_ && IsNameStart(p_[1])) {
        if (!Element()) return false;
      } else {
        return false;
      }
    }
  }

  const QChar* p_;
  const QChar* end_;
  TTreeBuilder builder_;
};

// The fast reader for UTF-8 bytes; false when the file is not for it (the tree is then empty).
bool ReadPlainTree(const QByteArray& bytes, TXMLTree& tree) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder.decode(bytes);
  if (!decoder.hasError() && TPlainReader(text, tree).Read()) return true;
  tree = TXMLTree();
  return false;
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

namespace {
TDefinitionReading g_reading = TDefinitionReading::Fast;
}

void SetDefinitionReading(TDefinitionReading reading) { g_reading = reading; }

std::unique_ptr<TWizardDefinition> TWizardDefinition::Parse(const QByteArray& bytes, const QString& fileName) {
  const TDefinitionReading reading = g_reading;
  std::unique_ptr<TWizardDefinition> def(new TWizardDefinition);
  def->fileName_ = fileName;
  if (bytes.size() > kMaxDefinitionFileSize) throw EDefinitionError(TooLargeMessage(fileName, bytes.size()));
  TXMLTree& tree = *def->tree_;
  // Some 25 bytes of markup per element and about as many of text, indentation included.
  tree.Nodes.reserve(std::size_t(bytes.size() / 25));
  tree.Text.reserve(bytes.size() / 2);
  QString text;
  const bool eightBit = DecodeEightBit(bytes, &text);
  if (eightBit || reading == TDefinitionReading::General || !ReadPlainTree(bytes, tree)) {
    if (reading == TDefinitionReading::PlainOnly)
      throw EDefinitionError(QStringLiteral("Die Formatbeschreibung der Wizarddatei %1 ist kein einfaches XML.")
                                 .arg(QDir::toNativeSeparators(fileName)));
    if (eightBit)
      ReadTree(text, tree, fileName);
    else
      ReadTree(bytes, tree, fileName);
  }
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
