#include "app/uReviewWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum TColumn { ColKind, ColStep, ColLine, ColCaption, ColMessage, ColCount };
}

TReviewWindow::TReviewWindow(TMode mode, QWidget* parent) : QDialog(parent), mode_(mode) {
  setObjectName(QStringLiteral("ReviewWindow"));
  setWindowTitle(QStringLiteral("Prüfen"));
  // Beside the form, not over it for good: the user corrects while the list stays in view.
  if (mode == TMode::Review) setWindowFlag(Qt::Tool, true);
  resize(860, 340);

  auto* layout = new QVBoxLayout(this);
  Summary = new QLabel(this);
  Summary->setObjectName(QStringLiteral("Summary"));
  Summary->setWordWrap(true);
  layout->addWidget(Summary);

  List = new QTreeWidget(this);
  List->setObjectName(QStringLiteral("List"));
  List->setColumnCount(ColCount);
  List->setHeaderLabels({QStringLiteral("Art"), QStringLiteral("Schritt"), QStringLiteral("Zeile"),
                         QStringLiteral("Feld"), QStringLiteral("Was zu tun ist")});
  List->setRootIsDecorated(false);
  List->setItemsExpandable(false);
  List->setUniformRowHeights(false);
  List->setWordWrap(true);
  List->setAllColumnsShowFocus(true);
  List->setSelectionMode(QAbstractItemView::SingleSelection);
  List->header()->setStretchLastSection(true);
  List->setColumnWidth(ColKind, 70);
  List->setColumnWidth(ColStep, 70);
  List->setColumnWidth(ColLine, 70);
  List->setColumnWidth(ColCaption, 200);
  layout->addWidget(List, 1);
  connect(List, &QTreeWidget::itemDoubleClicked, this, [this] { GoToSelected(); });
  connect(List, &QTreeWidget::itemSelectionChanged, this, [this] {
    QTreeWidgetItem* item = List->currentItem();
    ButtonGoTo->setEnabled(item != nullptr);
    Detail->setText(item ? item->text(ColCaption) + QStringLiteral(": ") + item->text(ColMessage) : QString());
  });

  Detail = new QLabel(this);
  Detail->setObjectName(QStringLiteral("Detail"));
  Detail->setWordWrap(true);
  Detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Detail->setMinimumHeight(Detail->fontMetrics().lineSpacing() * 2);
  layout->addWidget(Detail);

  Reminder = new QLabel(SignatureReminder(), this);
  Reminder->setObjectName(QStringLiteral("Reminder"));
  Reminder->setWordWrap(true);
  Reminder->setStyleSheet(QStringLiteral("color: #800000;"));
  layout->addWidget(Reminder);

  auto* buttons = new QHBoxLayout;
  ButtonGoTo = new QPushButton(QStringLiteral("&Gehe zu"), this);
  ButtonGoTo->setObjectName(QStringLiteral("ButtonGoTo"));
  ButtonGoTo->setEnabled(false);
  connect(ButtonGoTo, &QPushButton::clicked, this, &TReviewWindow::GoToSelected);
  buttons->addWidget(ButtonGoTo);
  buttons->addStretch(1);
  if (mode != TMode::Review) {
    ButtonContinue = new QPushButton(
        mode == TMode::BeforePrint ? QStringLiteral("&Trotzdem drucken") : QStringLiteral("&Trotzdem anzeigen"), this);
    ButtonContinue->setObjectName(QStringLiteral("ButtonContinue"));
    connect(ButtonContinue, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(ButtonContinue);
  }
  ButtonBack = new QPushButton(mode == TMode::Review ? QStringLiteral("Schließen") : QStringLiteral("&Zurück zum Formular"),
                               this);
  ButtonBack->setObjectName(QStringLiteral("ButtonBack"));
  // Going back is the safe answer: Return does not print a faulty form.
  ButtonBack->setDefault(true);
  connect(ButtonBack, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(ButtonBack);
  layout->addLayout(buttons);
}

QString TReviewWindow::StepText(const TFinding& f) {
  return f.Step >= 0 ? QStringLiteral("Schritt %1").arg(f.Step + 1) : QString();
}

QString TReviewWindow::LineText(const TFinding& f) {
  return f.Line > 0 ? QStringLiteral("Zeile %1").arg(f.Line) : QString();
}

void TReviewWindow::Refresh() {
  QString selectedField, selectedMessage;
  if (QTreeWidgetItem* item = List->currentItem()) {
    const int i = List->indexOfTopLevelItem(item);
    if (i >= 0 && std::size_t(i) < findings_.size()) {
      selectedField = findings_[std::size_t(i)].FieldName;
      selectedMessage = findings_[std::size_t(i)].Message;
    }
  }
  findings_ = RunReview ? RunReview() : std::vector<TFinding>();
  List->clear();
  int errors = 0, hints = 0, keep = -1, sameField = -1;
  for (std::size_t i = 0; i < findings_.size(); ++i) {
    const TFinding& f = findings_[i];
    (f.Kind == TFindingKind::Error ? errors : hints) += 1;
    auto* item = new QTreeWidgetItem(
        {FindingKindText(f.Kind), StepText(f), LineText(f), f.Caption, f.Message});
    item->setToolTip(ColMessage, f.Message);
    if (f.Kind == TFindingKind::Error) item->setForeground(ColKind, QColor(0xB0, 0x00, 0x00));
    List->addTopLevelItem(item);
    if (f.FieldName == selectedField && f.Message == selectedMessage) keep = int(i);
    if (f.FieldName == selectedField && sameField < 0) sameField = int(i);
  }
  if (keep < 0) keep = sameField;
  // A row is always chosen, so "Gehe zu" and Return work at once.
  if (keep < 0 && !findings_.empty()) keep = 0;
  if (keep >= 0) List->setCurrentItem(List->topLevelItem(keep));
  ButtonGoTo->setEnabled(List->currentItem() != nullptr);
  if (!List->currentItem()) Detail->clear();
  if (findings_.empty())
    Summary->setText(QStringLiteral("Die Prüfung hat nichts gefunden."));
  else
    Summary->setText(QStringLiteral("%1 Fehler und %2 %3. Doppelklicken Sie auf eine Zeile oder wählen Sie \"Gehe zu\", "
                                    "um das Feld zu bearbeiten.")
                         .arg(errors)
                         .arg(hints)
                         .arg(hints == 1 ? QStringLiteral("Hinweis") : QStringLiteral("Hinweise")));
}

void TReviewWindow::GoToSelected() {
  QTreeWidgetItem* item = List->currentItem();
  if (!item) return;
  const int i = List->indexOfTopLevelItem(item);
  if (i < 0 || std::size_t(i) >= findings_.size()) return;
  chosen_ = findings_[std::size_t(i)];
  if (mode_ != TMode::Review) {
    reject();  // the caller goes to the box once the modal window is gone
    return;
  }
  if (GoTo) GoTo(chosen_);
}
