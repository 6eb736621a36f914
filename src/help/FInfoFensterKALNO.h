#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class TFileInfo;

// The About box "Infos": picture, programming company, version line, OK.
class TDlgInfo : public QDialog {
  Q_OBJECT
 public:
  // The version line comes from `info`, the program's own version reader unless one is given.
  explicit TDlgInfo(QWidget* parent = nullptr, const TFileInfo* info = nullptr);

  QLabel* Image1 = nullptr;
  QFrame* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* lblHomepage = nullptr;
  QFrame* Bevel3 = nullptr;
  QLabel* Version = nullptr;
  QFrame* Bevel2 = nullptr;
  QPushButton* OKButton = nullptr;

 public Q_SLOTS:
  void lblHomepageClick();

 private:
  void FormCreate(const TFileInfo& info);
};

// The web address behind the homepage line.
QString ProgrammingHomepage();
// The About picture: "images/About.png" of the runtime folder when present, else one drawn here.
QPixmap AboutPicture();
// Creates the About box, shows it modally through the program's dialogs, destroys it.
void ShowAbout();
