#include "help/uHelpButtons.h"

#include "editor/uqvFlatButton.h"
#include "platform/uColors.h"

QWidget* CreateHelpFlatButton(const QString& caption, QWidget* parent, std::function<void()> onClick) {
  auto* button = new TQVFlatButton(parent);
  button->SetCaption(caption);
  button->SetFlat(true);
  // The green face is the point of these buttons; a theme would paint over it.
  button->SetUseTheme(false);
  button->SetColor(ColorFromBGR(0x008C21));
  button->SetFontColor(ColorFromBGR(0xF0FBFF));
  button->SetHighlightColor(ColorFromBGR(0x00BE2D));
  button->SetHighlightColorText(ColorFromBGR(0x000000));
  button->SetBorderColor(ColorFromBGR(0xF0FBFF));
  button->SetTabStop(false);
  if (onClick) button->OnClick = [fn = std::move(onClick)](TQVFlatButton*) { fn(); };
  return button;
}

QString HelpFlatButtonCaption(const QWidget* button) {
  const auto* b = qobject_cast<const TQVFlatButton*>(button);
  return b ? b->Caption() : QString();
}
