#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QKeyEvent>
#include <QTest>
#include <QVBoxLayout>

#include "TestSupport.h"
#include "diagnostics/udebug.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "fields/uFormFields.h"
#include "platform/uErrors.h"

namespace {

// The step metric: 200 x 150 mm from (10, 20) over a picture of 800 x 600 px, 4 px per mm.
constexpr float kLeft = 10, kTop = 20, kRight = 210, kBottom = 170;

QPixmap Picture(int w = 800, int h = 600) {
  QPixmap p(w, h);
  p.fill(QColor(250, 240, 220));
  return p;
}

// Field box from two corners in panel pixels.
struct TPx {
  float x1, y1, x2, y2;
};
float MmX(float px) { return kLeft + px / 4; }
float MmY(float px) { return kTop + px / 4; }

TFormField* AddField(TFormFieldList& list, TFormFieldKind kind, const QString& name, TPx p) {
  const float l = MmX(p.x1), t = MmY(p.y1), w = (p.x2 - p.x1) / 4, h = (p.y2 - p.y1) / 4;
  const QFont f = TFormField::DefaultFont();
  switch (kind) {
    case TFormFieldKind::Edit: return list.AddEdit(name, 0, l, t, w, h, f);
    case TFormFieldKind::EditExt: return list.AddEditExt(name, 0, l, t, w, h, 5, f);
    case TFormFieldKind::DateEdit: return list.AddDateEdit(name, l, t, w, h, f);
    case TFormFieldKind::Combobox: return list.AddCombobox(name, l, t, w, h, f);
    case TFormFieldKind::ComboEdit: return list.AddComboEdit(name, l, t, w, h, f);
    case TFormFieldKind::Checkbox: return list.AddCheckbox(name, l, t, w, h);
    case TFormFieldKind::Button: return list.AddButton(name, l, t, w, h);
  }
  return nullptr;
}

// A window with the scroll box and a line edit after it (the next control of the main window).
struct TForm {
  QWidget window;
  QScrollArea* scroll;
  QLineEdit* after;
  std::unique_ptr<TFormularManager> manager;
  QStringList log;

  TForm() {
    auto* layout = new QVBoxLayout(&window);
    scroll = new QScrollArea;
    layout->addWidget(scroll);
    after = new QLineEdit;
    after->setObjectName("after");
    layout->addWidget(after);
    window.resize(1000, 800);
    manager = std::make_unique<TFormularManager>(scroll);
    auto rec = [this](const char* what) {
      return [this, what](QObject* sender, TFormField* f) {
        EXPECT_EQ(sender, manager.get());
        log << QString("%1:%2=%3").arg(what, f->Name(), f->Value());
      };
    };
    manager->OnFieldEnter = rec("enter");
    manager->OnFieldExit = rec("exit");
    manager->OnFieldChange = rec("change");
    manager->OnFieldDropDown = rec("drop");
    manager->OnFieldCloseUp = rec("close");
    manager->OnButtonClick = rec("button");
    manager->OnFieldValidate = [this](QWidget* sender, TFormField* f, bool& accept) {
      EXPECT_TRUE(accept);
      EXPECT_EQ(EditorField(sender), f);
      log << "validate:" + f->Name();
      accept = !refuse.contains(f->Name());
    };
  }
  void Show() {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  QWidget* Editor(const QString& name) { return manager->Editors().EditorByName(name); }
  QStringList refuse;
};

void TypeText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

}  // namespace

TEST(FormularManager, RequiresAScrollBox) {
  try {
    TFormularManager m(nullptr);
    FAIL() << "no exception";
  } catch (const EKalnoError& e) {
    EXPECT_EQ(e.Message(), "Scrollbox darf nicht nil sein");
  }
}

struct TGeometryCase {
  TFormFieldKind kind;
  TPx px;
  QRect expected;  // x, y, width, height of the widget
};

class FormularGeometry : public ::testing::TestWithParam<TGeometryCase> {};

TEST_P(FormularGeometry, EditorLiesOnTheBoxWithHalvesToEven) {
  TForm form;
  TFormFieldList fields;
  AddField(fields, GetParam().kind, "F", GetParam().px);
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  QWidget* e = form.Editor("F");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->geometry(), GetParam().expected);
  EXPECT_EQ(e->parentWidget(), form.manager->Panel());
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormularGeometry,
    ::testing::Values(
        // Edit: L, T + 2, R - L, B - T - 4.   40.5 -> 40, 20.5 -> 20, 121.5 -> 122, 27.5 -> 28
        TGeometryCase{TFormFieldKind::Edit, {40.5f, 20.5f, 121.5f, 27.5f}, QRect(40, 22, 82, 4)},
        TGeometryCase{TFormFieldKind::EditExt, {3.5f, 300.5f, 403.5f, 330}, QRect(4, 302, 400, 26)},
        TGeometryCase{TFormFieldKind::DateEdit, {41.5f, 33.5f, 100.25f, 60.75f}, QRect(42, 36, 58, 23)},
        // A box 5 pixels high gives an edit 1 pixel high, 2 below the top.
        TGeometryCase{TFormFieldKind::Edit, {600, 400, 700, 405}, QRect(600, 402, 100, 1)},
        // Combo and check box: L, T, R - L, B - T.
        TGeometryCase{TFormFieldKind::Combobox, {200.5f, 100.5f, 300.5f, 124.5f}, QRect(200, 100, 100, 24)},
        TGeometryCase{TFormFieldKind::ComboEdit, {201.5f, 130.5f, 302.5f, 155.5f}, QRect(202, 130, 100, 26)},
        TGeometryCase{TFormFieldKind::Checkbox, {10.5f, 10.5f, 25.5f, 25.5f}, QRect(10, 10, 16, 16)},
        TGeometryCase{TFormFieldKind::Button, {500, 500, 580.5f, 524.5f}, QRect(500, 500, 80, 24)}));

TEST(FormularManager, PanelPictureAndFont) {
  TForm form;
  TFormFieldList fields;
  AddField(fields, TFormFieldKind::Edit, "A", {0, 0, 100, 20});
  AddField(fields, TFormFieldKind::Button, "KnopfName", {0, 40, 100, 60});
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  EXPECT_EQ(form.manager->Panel()->geometry(), QRect(20, 20, 820, 620));
  EXPECT_EQ(form.manager->Picture()->geometry(), QRect(0, 0, 800, 600));
  EXPECT_EQ(form.manager->Overlay()->geometry(), QRect(0, 0, 800, 600));
  EXPECT_TRUE(form.manager->Panel()->isVisible() || !form.window.isVisible());
  // 10 points at 4 px/mm: a cell of round(14.11) = 14 pixels.
  EXPECT_EQ(form.manager->EditorFontHeight(10), 14);
  EXPECT_NEAR(QFontMetrics(form.Editor("A")->font()).height(), 14, 1);
  EXPECT_EQ(form.Editor("A")->font().family(), TFormField::DefaultFont().family());
  EXPECT_EQ(qobject_cast<QPushButton*>(form.Editor("KnopfName"))->text(), "KnopfName");
  EXPECT_TRUE(form.log.isEmpty());  // building raises nothing

  // The next step replaces the editors.
  QPointer<QWidget> old = form.Editor("A");
  TFormFieldList empty;
  form.manager->ShowStep(Picture(400, 300), &empty, kLeft, kTop, kRight, kBottom);
  EXPECT_TRUE(old.isNull());
  EXPECT_EQ(form.manager->Editors().Count(), 0);
  EXPECT_EQ(form.manager->Picture()->size(), QSize(400, 300));
}

TEST(FormularManager, DegenerateMetricAndMissingPicture) {
  TForm form;
  TFormFieldList fields;
  TFormField* f = fields.AddEdit("A", 0, 15, 30, 40, 10, TFormField::DefaultFont());
  // Width 0: one pixel per millimetre, offset by left and top.
  form.manager->ShowStep(Picture(), &fields, 10, 20, 10, 170);
  TRect r = form.manager->FieldPixelRect(*f);
  EXPECT_EQ(r, TRect(5, 10, 45, 20));
  // No picture: scale 0, every box collapses to the origin and fonts to 1 pixel.
  form.manager->ShowStep(QPixmap(), &fields, kLeft, kTop, kRight, kBottom);
  r = form.manager->FieldPixelRect(*f);
  EXPECT_EQ(r, TRect(0, 0, 0, 0));
  EXPECT_EQ(form.manager->EditorFontHeight(10), 1);
  EXPECT_EQ(form.manager->Editors().Count(), 1);
}

TEST(FormularManager, TypingReturnAndRefusedValidation) {
  TForm form;
  TFormFieldList fields;
  AddField(fields, TFormFieldKind::Edit, "Name", {0, 0, 200, 20});
  AddField(fields, TFormFieldKind::DateEdit, "Datum", {0, 40, 200, 60});
  AddField(fields, TFormFieldKind::Edit, "Ort", {0, 80, 200, 100});
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  form.manager->LoadValues();
  form.Show();

  form.Editor("Name")->setFocus();
  QTest::keyClicks(form.Editor("Name"), "Ab");
  EXPECT_EQ(fields.ValueByName("Name"), "Ab");
  QTest::keyClick(form.Editor("Name"), Qt::Key_Return);
  EXPECT_TRUE(form.Editor("Datum")->hasFocus());
  EXPECT_EQ(qobject_cast<QLineEdit*>(form.Editor("Name"))->text(), "Ab");  // Return inserted nothing
  EXPECT_EQ(form.log, (QStringList{"enter:Name=", "change:Name=A", "change:Name=Ab", "validate:Name", "exit:Name=Ab",
                                   "enter:Datum="}));
  form.log.clear();

  QTest::keyClicks(form.Editor("Datum"), "050307");
  EXPECT_EQ(fields.ValueByName("Datum"), "05.03.07");
  form.refuse << "Datum";
  QTest::keyClick(form.Editor("Datum"), Qt::Key_Return);
  EXPECT_TRUE(form.Editor("Datum")->hasFocus());
  form.refuse.clear();
  QTest::keyClick(form.Editor("Datum"), Qt::Key_Return, Qt::ShiftModifier);  // back to Name
  EXPECT_TRUE(form.Editor("Name")->hasFocus());
  ASSERT_GE(form.log.size(), 3);
  EXPECT_EQ(form.log.mid(form.log.size() - 4),
            (QStringList{"validate:Datum", "validate:Datum", "exit:Datum=05.03.07", "enter:Name=Ab"}));
  EXPECT_FALSE(form.log.contains("enter:Ort=") || form.log.contains("exit:Ort="));

  // Return in the last editor moves on to the next control of the window.
  QWidget::setTabOrder(form.Editor("Ort"), form.after);
  form.Editor("Ort")->setFocus();
  QTest::keyClick(form.Editor("Ort"), Qt::Key_Return);
  EXPECT_TRUE(form.after->hasFocus());
}

TEST(FormularManager, DateEditWithoutYearCannotBeLeft) {
  TScriptedDialogs dialogs;
  TForm form;
  TFormFieldList fields;
  AddField(fields, TFormFieldKind::DateEdit, "Datum", {0, 40, 200, 60});
  AddField(fields, TFormFieldKind::Edit, "Ort", {0, 80, 200, 100});
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  form.manager->LoadValues();
  form.Show();
  form.Editor("Datum")->setFocus();
  qobject_cast<QLineEdit*>(form.Editor("Datum"))->home(false);
  QTest::keyClicks(form.Editor("Datum"), "0503");
  EXPECT_EQ(fields.ValueByName("Datum"), "05.03.  ");
  form.log.clear();
  QTest::keyClick(form.Editor("Datum"), Qt::Key_Tab);
  EXPECT_TRUE(form.Editor("Datum")->hasFocus());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, TFormularDateEdit::InvalidInputMessage());
  EXPECT_TRUE(form.log.isEmpty());  // the mask refuses before any event
}

TEST(FormularManager, CodeListOpenCloseAndChoice) {
  TForm form;
  TFormFieldList fields;
  TFormField* f = AddField(fields, TFormFieldKind::Combobox, "AntragstellerGeschlechtSp1", {0, 0, 120, 24});
  f->SetValue("2");
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  auto* combo = qobject_cast<TFormularComboBox*>(form.Editor(f->Name()));
  ASSERT_NE(combo, nullptr);
  EXPECT_FALSE(combo->isEditable());
  EXPECT_EQ(combo->maxVisibleItems(), 30);
  combo->SetLists(0, "\"\", \"1 = Herr\", \"2 = Frau\"", ",1,2");
  form.manager->LoadValues();
  EXPECT_EQ(combo->currentText(), "2");
  form.Show();
  combo->setFocus();
  form.log.clear();

  combo->showPopup();
  EXPECT_EQ(combo->DisplayTextAt(combo->view()->currentIndex().row()), "2 = Frau");
  QTest::keyClick(combo->view(), Qt::Key_Up);
  QTest::keyClick(combo->view(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(combo->currentText(), "1");
  EXPECT_EQ(f->Value(), "1");
  EXPECT_EQ(form.log, (QStringList{"drop:AntragstellerGeschlechtSp1=2", "change:AntragstellerGeschlechtSp1=1",
                                   "close:AntragstellerGeschlechtSp1=1"}));

  // An unknown value survives opening and closing the list without a choice.
  f->SetValue("9");
  form.log.clear();
  combo->showPopup();
  QTest::keyClick(combo->view(), Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(f->Value(), "9");
  EXPECT_EQ(form.log, (QStringList{"drop:AntragstellerGeschlechtSp1=9", "close:AntragstellerGeschlechtSp1=9"}));
}

TEST(FormularManager, ComboEditTypingAndLoadLogLine) {
  TForm form;
  QStringList lines;
  TDebug::SetLineSinkForTesting([&](const QString& l) { lines << l; });
  TFormFieldList fields;
  TFormField* f = AddField(fields, TFormFieldKind::ComboEdit, "HauptAnspruchDatumBis1", {0, 0, 160, 24});
  f->SetValue("Rest");
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  auto* combo = qobject_cast<TFormularComboBox*>(form.Editor(f->Name()));
  ASSERT_TRUE(combo->isEditable());
  EXPECT_EQ(combo->currentText(), "Rest");
  combo->SetLists(50, "\"\",Rest,Teil", ",Rest,Teil");
  form.manager->LoadValues();
  TDebug::SetLineSinkForTesting({});
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().endsWith("HauptAnspruchDatumBis1: Rest")) << lines.last().toStdString();
  EXPECT_EQ(combo->currentIndex(), 1);
  form.Show();
  combo->setFocus();
  combo->lineEdit()->selectAll();
  TypeText(combo->lineEdit(), QString::fromUtf8("31.12.07\u2713"));
  EXPECT_EQ(f->Value(), "31.12.07");
}

TEST(FormularManager, CheckBoxLoadAndClickAndButton) {
  TForm form;
  TFormFieldList fields;
  TFormField* big = AddField(fields, TFormFieldKind::Checkbox, "Gross", {0, 0, 16, 16});
  TFormField* small = AddField(fields, TFormFieldKind::Checkbox, "Klein", {0, 20, 16, 36});
  AddField(fields, TFormFieldKind::Button, "Knopf", {0, 40, 80, 64});
  big->SetValue("X");
  small->SetValue("x");
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  form.manager->LoadValues();
  EXPECT_TRUE(qobject_cast<QCheckBox*>(form.Editor("Gross"))->isChecked());
  EXPECT_FALSE(qobject_cast<QCheckBox*>(form.Editor("Klein"))->isChecked());
  EXPECT_EQ(form.log, QStringList{"change:Gross=X"});
  EXPECT_EQ(small->Value(), "x");
  form.Show();
  form.log.clear();
  QTest::mouseClick(form.Editor("Klein"), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(small->Value(), "X");
  QTest::mouseClick(form.Editor("Knopf"), Qt::LeftButton);
  EXPECT_EQ(form.log, (QStringList{"enter:Klein=x", "change:Klein=X", "validate:Klein", "exit:Klein=X", "button:Knopf="}));
}

TEST(FormularManager, LoadingAChangedValueReportsItLikeTyping) {
  TForm form;
  TFormFieldList fields;
  TFormField* a = AddField(fields, TFormFieldKind::Edit, "A", {0, 0, 100, 20});
  TFormField* d = AddField(fields, TFormFieldKind::DateEdit, "D", {0, 40, 100, 60});
  form.manager->ShowStep(Picture(), &fields, kLeft, kTop, kRight, kBottom);
  a->SetValue("Heute");  // a rule sets a value between building and loading
  d->SetValue("01.02.03");
  form.manager->LoadValues();
  EXPECT_EQ(form.log, (QStringList{"change:A=Heute", "change:D=01.02.03"}));
  form.log.clear();
  form.manager->LoadValues();  // nothing changes: nothing reported
  EXPECT_TRUE(form.log.isEmpty());
}

// A step with every editor kind over a drawn form picture. With KALNO_SCREENSHOT set the window is
// saved there (taken under Xvfb for the notes); the checks hold on any platform.
TEST(FormularManager, EveryKindOverThePicture) {
  TForm form;
  form.window.resize(900, 420);
  QPixmap picture(820, 300);
  picture.fill(QColor(255, 250, 235));
  struct TBox {
    TFormFieldKind kind;
    const char* name;
    TPx px;
    const char* value;
  };
  const TBox boxes[] = {
      {TFormFieldKind::Edit, "AntragstellerNachnameSp1", {20, 30, 380, 58}, "Mustermann"},
      {TFormFieldKind::EditExt, "AntragstellerPLZSp1", {400, 30, 520, 58}, "12345"},
      {TFormFieldKind::DateEdit, "HauptAnspruchDatumVon1", {540, 30, 660, 58}, "05.03.07"},
      {TFormFieldKind::Combobox, "AntragstellerGeschlechtSp1", {20, 100, 140, 128}, "2"},
      {TFormFieldKind::ComboEdit, "HauptAnspruchDatumBis1", {160, 100, 340, 128}, "Rest"},
      {TFormFieldKind::Checkbox, "Gegenleistung", {360, 104, 380, 124}, "X"},
      {TFormFieldKind::Button, "Pruefen", {400, 100, 520, 128}, ""},
  };
  {
    QPainter p(&picture);
    p.setPen(QColor(200, 30, 30));
    QFont f("Arial");
    f.setPixelSize(11);
    p.setFont(f);
    for (const TBox& b : boxes) {
      p.drawRect(QRectF(b.px.x1 - 1, b.px.y1 - 1, b.px.x2 - b.px.x1 + 1, b.px.y2 - b.px.y1 + 1));
      p.drawText(QPointF(b.px.x1, b.px.y1 - 6), QString::fromLatin1(b.name));
    }
    p.drawText(QPointF(20, 200), QStringLiteral("Zeile 1 - Antrag auf Erlass eines Mahnbescheids"));
  }
  TFormFieldList fields;
  for (const TBox& b : boxes) AddField(fields, b.kind, b.name, b.px)->SetValue(QString::fromLatin1(b.value));
  form.manager->ShowStep(picture, &fields, kLeft, kTop, kLeft + 820 / 4.0f, kTop + 300 / 4.0f);
  qobject_cast<TFormularComboBox*>(form.Editor("AntragstellerGeschlechtSp1"))
      ->SetLists(0, "\"\", \"1 = Herr\", \"2 = Frau\"", ",1,2");
  qobject_cast<TFormularComboBox*>(form.Editor("HauptAnspruchDatumBis1"))->SetLists(50, "\"\",Rest,Teil", ",Rest,Teil");
  form.manager->LoadValues();
  form.Show();
  form.Editor("AntragstellerNachnameSp1")->setFocus();
  QTest::qWait(50);
  const QImage shot = form.window.grab().toImage();
  if (!qEnvironmentVariableIsEmpty("KALNO_SCREENSHOT")) shot.save(qEnvironmentVariable("KALNO_SCREENSHOT"));
  // The picture shows around the editors, each editor sits on its box.
  const QPoint origin = form.manager->Panel()->mapTo(&form.window, QPoint(0, 0));
  EXPECT_EQ(shot.pixel(origin + QPoint(700, 250)) & 0xFFFFFF, QColor(255, 250, 235).rgb() & 0xFFFFFF);
  EXPECT_EQ(shot.pixel(origin + QPoint(370, 40)) & 0xFFFFFF, 0xFFFFFFu);  // inside the white edit
  EXPECT_EQ(qobject_cast<QLineEdit*>(form.Editor("AntragstellerNachnameSp1"))->text(), "Mustermann");
  EXPECT_EQ(qobject_cast<QComboBox*>(form.Editor("AntragstellerGeschlechtSp1"))->currentText(), "2");
  EXPECT_TRUE(qobject_cast<QCheckBox*>(form.Editor("Gegenleistung"))->isChecked());
}
