#pragma once
#include <QString>
#include <functional>

class QWidget;

// The green flat buttons of the help and promotion panels ("Hilfe ?", the two "x"), in the
// colours of the program's flat buttons. `onClick` runs on every click.
QWidget* CreateHelpFlatButton(const QString& caption, QWidget* parent, std::function<void()> onClick);
// The caption of a button made by CreateHelpFlatButton.
QString HelpFlatButtonCaption(const QWidget* button);
