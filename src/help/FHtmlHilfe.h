#pragma once
#include <QWidget>

class THtmlView;

// The general help window: one HTML page, read once when the window is created; closing the
// window only hides it.
class THtmlHilfe : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kOuterWidth = 536;
  static constexpr int kOuterHeight = 562;

  // `owner` is the main window: the help window stays above it and goes with it.
  explicit THtmlHilfe(QWidget* owner);
  ~THtmlHilfe() override;

  THtmlView* HTMLViewer1() const { return viewer_; }
  // Shows the window without blocking its owner, centred on the screen the first time.
  void ShowHelp();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  THtmlView* viewer_;
  bool placed_ = false;
};
