#pragma once
#include <QIcon>

// The tool bar's pictures, 16 x 16, in the order of its image list.
// PrintPreview and Review came later and are not part of that list.
enum class TToolIcon { Save, Open, GeneralHelp, PrintPosition, New, Manual, Print, HomePage, PrintPreview, Review };

// The desktop theme's icon where it has one, else our own small drawing.
QIcon ToolIcon(TToolIcon which);
// Our own drawing alone.
QIcon OwnToolIcon(TToolIcon which);
