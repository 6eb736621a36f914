#pragma once
#include <QFont>
#include <QPixmap>
#include <QWidget>

class QLabel;

// The splash window: borderless, on top, centred, 400 x 300 with the start picture.
class TStartbild : public QWidget {
  Q_OBJECT
 public:
  explicit TStartbild(QWidget* parent = nullptr);
  QLabel* Image1 = nullptr;
};

// Sets `font` to the desktop's status-bar font at 8 points.
void UseStatusBarFont(QFont& font);

// The start picture: "images/Splash.jpg" of the runtime folder when present, else one drawn here.
QPixmap StartPicture();

// Notes the start time and shows the splash at once. A dialog or modal box shown while the
// splash is up hides the splash, so the box is never behind it.
void ShowSplash();
// After the main window was built (or failed to be, then `mainWindow` is null): shows the main
// window disabled behind the splash until 2000 ms have passed since ShowSplash, then enables it,
// gives the focus back to its active control and releases the splash. A close request made
// meanwhile is held and made again, once the message loop runs.
void CloseSplash(QWidget* mainWindow);
// The splash shown now, or null.
TStartbild* Startbild();
// How long the splash stays at least, in milliseconds.
constexpr int kSplashMinimumMs = 2000;
