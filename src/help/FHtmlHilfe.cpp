#include "help/FHtmlHilfe.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "help/uHelpPages.h"
#include "help/uHtmlView.h"
#include "help/uWebLinks.h"

THtmlHilfe::THtmlHilfe(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint), viewer_(new THtmlView(this)) {
  setObjectName(QStringLiteral("HtmlHilfe"));
  setWindowTitle(QStringLiteral("Hilfe"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  viewer_->setObjectName(QStringLiteral("HTMLViewer1"));
  viewer_->OnHotSpotClick = [](THtmlView*, const QString& target, bool& handled) {
    HandleLinkClick(target, handled);
  };
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(viewer_);
  resize(kOuterWidth, kOuterHeight);
  LoadHelpPage(*viewer_, GeneralHelpPagePath());
}

THtmlHilfe::~THtmlHilfe() = default;

void THtmlHilfe::ShowHelp() {
  show();
  raise();
  activateWindow();
}

void THtmlHilfe::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placed_) return;
  placed_ = true;
  // The size is that of the whole window, frame included, as far as the frame is known yet.
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(QSize(kOuterWidth, kOuterHeight) - frame);
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect avail = screen->availableGeometry();
  const QSize outer(kOuterWidth, kOuterHeight);
  move(avail.left() + (avail.width() - outer.width()) / 2, avail.top() + (avail.height() - outer.height()) / 2);
}
