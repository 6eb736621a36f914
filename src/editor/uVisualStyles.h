#pragma once

// Whether the platform's visual styles (themes) are in use. Windows themes exist only under the
// native Windows styles; elsewhere the program draws its own flat and classic looks. Tests switch
// it to draw every look on any machine.
bool VisualStylesActive();
// Forces the answer (true/false); ResetVisualStyles goes back to asking the application style.
void SetVisualStylesActive(bool active);
void ResetVisualStyles();

#include <QColor>
#include <QPalette>
#include <QRect>

class QPainter;
class QWidget;

// The system colours the classic looks draw with. A control given draws with its parent's
// palette (the form area's is fixed and light, see FormPalette); without one, or without a
// parent, with the application palette, which follows the desktop's colours.
QColor SysWindowColor(const QWidget* control = nullptr);  // face of edits and lists
QColor SysWindowTextColor(const QWidget* control = nullptr);
QColor SysButtonFaceColor(const QWidget* control = nullptr);
QColor SysButtonShadowColor(const QWidget* control = nullptr);
QColor SysButtonHighlightColor(const QWidget* control = nullptr);
QColor SysButtonLightColor(const QWidget* control = nullptr);
QColor SysButtonDarkShadowColor(const QWidget* control = nullptr);

// The colours of the paper form's area: the editors lie on a picture of a white sheet, so they
// keep the classic light colours (white faces, black text, grey buttons) also on a dark desktop.
QPalette FormPalette();

// A one-pixel edge around r (Qt rectangle): raised shows light at the top and left and shadow at
// the bottom and right, sunken the other way round. Inner edges use highlight/shadow, outer ones
// light/dark shadow, as the classic desktop draws them.
enum class TEdgeKind { RaisedInner, SunkenInner, RaisedOuter, SunkenOuter };
void DrawEdge1(QPainter& painter, const QRect& r, TEdgeKind kind, const QWidget* control = nullptr);
// A frame of one pixel just inside r.
void FrameRect1(QPainter& painter, const QRect& r, const QColor& color);
