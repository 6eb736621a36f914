#pragma once
#include <QString>

class QAbstractButton;
class QWidget;

// The green flat buttons of the help and promotion panels ("Hilfe ?", the two "x"), in the
// colours of the program's flat buttons.
QAbstractButton* CreateHelpFlatButton(const QString& caption, QWidget* parent);
