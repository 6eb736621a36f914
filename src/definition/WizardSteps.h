#pragma once
#include <QFont>
#include <QString>
#include <memory>
#include <vector>

#include "fields/uFormFields.h"
#include "platform/uErrors.h"

// The definition "WizardSteps.xml" is missing.
class EDefinitionMissing : public EKalnoError {
 public:
  using EKalnoError::EKalnoError;
};
// The definition is malformed or lacks what the program reads; the message names file, place
// and element.
class EDefinitionError : public EKalnoError {
 public:
  using EKalnoError::EKalnoError;
};

// The parsed definition as a tree of elements, read in one pass. Only what the views and the
// picture generator ask of an element is kept: its tag, attributes, child elements and text.
struct TXMLTree;

// One element of the tree, with the reading operations of a DOM element (same names as Qt's
// TXMLElement). A null element answers every question with nothing. Cheap to copy; valid while
// the tree lives.
class TXMLElement {
 public:
  TXMLElement() = default;
  TXMLElement(const TXMLTree* tree, int index) : tree_(tree), index_(index) {}
  bool isNull() const { return !tree_ || index_ < 0; }
  QString tagName() const;
  QString attribute(const QString& name, const QString& defaultValue = QString()) const;
  // All character data inside the element, its child elements' included, in document order and
  // with its white space.
  QString text() const;
  // The first child (next sibling) element with that tag; any tag when `tagName` is empty.
  TXMLElement firstChildElement(const QString& tagName = QString()) const;
  TXMLElement nextSiblingElement(const QString& tagName = QString()) const;

 private:
  TXMLElement Matching(int index, const QString& tagName) const;
  const TXMLTree* tree_ = nullptr;
  int index_ = -1;
};

// Typed read views over the parsed definition's elements. A view is cheap to copy; it reads the
// document on each access. Reading a missing element or a non-number throws EDefinitionError.
class TXMLNode {
 public:
  TXMLNode() = default;
  explicit TXMLNode(const TXMLElement& element) : element_(element) {}
  const TXMLElement& Element() const { return element_; }
  bool HasChild(const QString& name) const;

 protected:
  TXMLElement Child(const QString& name) const;  // throws when missing
  QString ChildText(const QString& name) const;  // throws when missing
  QString OptionalChildText(const QString& name) const;
  int ChildInteger(const QString& name) const;
  float ChildDecimal(const QString& name) const;
  QString Attribute(const QString& name) const;

 private:
  TXMLElement element_;
};

// Collections count and index their repeated children of one tag only, in document order.
class TXMLNodeCollection : public TXMLNode {
 public:
  TXMLNodeCollection() = default;
  TXMLNodeCollection(const TXMLElement& element, const QString& itemTag);
  int Count() const { return int(items_.size()); }

 protected:
  const TXMLElement& ItemElement(int index) const { return items_.at(std::size_t(index)); }

 private:
  std::vector<TXMLElement> items_;
};

class TXMLStepMetricType : public TXMLNode {
 public:
  using TXMLNode::TXMLNode;
  float Left() const { return ChildDecimal(QStringLiteral("left")); }
  float Top() const { return ChildDecimal(QStringLiteral("top")); }
  float Width() const { return ChildDecimal(QStringLiteral("width")); }
  float Height() const { return ChildDecimal(QStringLiteral("height")); }
};

class TXMLFieldMetricType : public TXMLStepMetricType {
 public:
  using TXMLStepMetricType::TXMLStepMetricType;
};

class TXMLFontType : public TXMLNode {
 public:
  using TXMLNode::TXMLNode;
  int Size() const { return ChildInteger(QStringLiteral("size")); }
  QString Family() const { return ChildText(QStringLiteral("family")); }
  QString Style() const { return ChildText(QStringLiteral("style")); }
};

class TXMLPrivateFontType : public TXMLFontType {
 public:
  using TXMLFontType::TXMLFontType;
};

class TXMLExtraParametersType : public TXMLNode {
 public:
  using TXMLNode::TXMLNode;
  int NumberOfDigits() const { return ChildInteger(QStringLiteral("numberOfDigits")); }
};

class TXMLValidationType : public TXMLNode {
 public:
  using TXMLNode::TXMLNode;
  int Length() const { return ChildInteger(QStringLiteral("length")); }
};

class TXMLFieldType : public TXMLNode {
 public:
  using TXMLNode::TXMLNode;
  QString Name() const { return Attribute(QStringLiteral("Name")); }
  QString Type() const { return ChildText(QStringLiteral("type")); }
  QString UsePrivateFont() const { return OptionalChildText(QStringLiteral("usePrivateFont")); }
  TXMLPrivateFontType PrivateFont() const { return TXMLPrivateFontType(Child(QStringLiteral("privateFont"))); }
  TXMLFieldMetricType FieldMetric() const { return TXMLFieldMetricType(Child(QStringLiteral("fieldMetric"))); }
  TXMLExtraParametersType ExtraParameters() const {
    return TXMLExtraParametersType(Child(QStringLiteral("extraParameters")));
  }
  TXMLValidationType Validation() const { return TXMLValidationType(Child(QStringLiteral("validation"))); }
};

class TXMLFieldsType : public TXMLNodeCollection {
 public:
  TXMLFieldsType() = default;
  explicit TXMLFieldsType(const TXMLElement& e) : TXMLNodeCollection(e, QStringLiteral("field")) {}
  TXMLFieldType Items(int index) const { return TXMLFieldType(ItemElement(index)); }
};

class TXMLWizardStepType : public TXMLNode {
 public:
  using TXMLNode::TXMLNode;
  QString InfoText() const { return OptionalChildText(QStringLiteral("infoText")); }
  QString NavigationText() const { return OptionalChildText(QStringLiteral("navigationText")); }
  TXMLStepMetricType StepMetric() const { return TXMLStepMetricType(Child(QStringLiteral("stepMetric"))); }
  TXMLFontType Font() const { return TXMLFontType(Child(QStringLiteral("font"))); }
  TXMLFieldsType Fields() const { return TXMLFieldsType(Child(QStringLiteral("fields"))); }
};

class TXMLWizardStepsType : public TXMLNodeCollection {
 public:
  TXMLWizardStepsType() = default;
  explicit TXMLWizardStepsType(const TXMLElement& e) : TXMLNodeCollection(e, QStringLiteral("wizardStep")) {}
  TXMLWizardStepType Items(int index) const { return TXMLWizardStepType(ItemElement(index)); }
};

// Larger definitions are refused before they are parsed: the real one has some 60 KB, and
// parsing tens of megabytes would cost seconds and hundreds of megabytes of memory.
constexpr qint64 kMaxDefinitionFileSize = 4 * 1024 * 1024;
// Deeper nesting is refused: the definition needs six levels, and nothing gains from more.
constexpr int kMaxDefinitionDepth = 64;

// A step region in millimetres, read once so showing a step never fails.
struct TStepMetric {
  float Left = 0, Top = 0, Width = 0, Height = 0;
};

// The parsed definition, held for the program's lifetime.
class TWizardDefinition {
 public:
  // Reads and parses the file. Throws EDefinitionMissing when it does not exist and
  // EDefinitionError when it cannot be used (the message says where and why), also when it is
  // larger than kMaxDefinitionFileSize or nests deeper than kMaxDefinitionDepth.
  static std::unique_ptr<TWizardDefinition> Load(const QString& fileName);
  // The same from bytes already read; `fileName` only names the source in messages.
  static std::unique_ptr<TWizardDefinition> Parse(const QByteArray& bytes, const QString& fileName);

  const TXMLWizardStepsType& WizardDefinition() const { return root_; }
  int StepCount() const { return root_.Count(); }
  QString InfoText(int step) const { return root_.Items(step).InfoText(); }
  QString NavigationText(int step) const { return root_.Items(step).NavigationText(); }
  const TStepMetric& StepMetric(int step) const { return metrics_.at(std::size_t(step)); }
  const QString& FileName() const { return fileName_; }
  ~TWizardDefinition();

 private:
  TWizardDefinition();
  QString fileName_;
  std::unique_ptr<TXMLTree> tree_;
  TXMLWizardStepsType root_;
  std::vector<TStepMetric> metrics_;
};

// The definition's path inside a runtime folder.
QString DefinitionFileName(const QString& runtimeFolder);

// Frees `lists` and builds one field list per step from the definition. Throws EDefinitionError
// naming step, field and element when a field cannot be read; `lists` is then left empty.
void BuildFieldLists(const TWizardDefinition& definition, TFieldLists& lists);
void FreeFieldLists(TFieldLists& lists);

// The message shown when the definition file is missing.
QString DefinitionMissingMessage();
