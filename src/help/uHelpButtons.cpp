#include "help/uHelpButtons.h"

#include <QToolButton>

#include "platform/uColors.h"

QWidget* CreateHelpFlatButton(const QString& caption, QWidget* parent, std::function<void()> onClick) {
  auto* button = new QToolButton(parent);
  button->setText(caption);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  const QString face = ColorFromBGR(0x008C21).name();
  const QString text = ColorFromBGR(0xF0FBFF).name();
  const QString hot = ColorFromBGR(0x00BE2D).name();
  const QString hotText = ColorFromBGR(0x000000).name();
  const QString border = ColorFromBGR(0xF0FBFF).name();
  button->setStyleSheet(QStringLiteral("QToolButton { background: %1; color: %2; border: 1px solid %5;"
                                       " padding: 0px; font-weight: bold; }"
                                       "QToolButton:hover { background: %3; color: %4; }"
                                       "QToolButton:pressed { background: %1; color: %4; }")
                            .arg(face, text, hot, hotText, border));
  if (onClick) QObject::connect(button, &QToolButton::clicked, button, [fn = std::move(onClick)] { fn(); });
  return button;
}

QString HelpFlatButtonCaption(const QWidget* button) {
  const auto* b = qobject_cast<const QToolButton*>(button);
  return b ? b->text() : QString();
}
