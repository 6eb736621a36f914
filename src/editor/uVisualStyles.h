#pragma once

// Whether the platform's visual styles (themes) are in use. Windows themes exist only under the
// native Windows styles; elsewhere the program draws its own flat and classic looks. Tests switch
// it to draw every look on any machine.
bool VisualStylesActive();
// Forces the answer (true/false); ResetVisualStyles goes back to asking the application style.
void SetVisualStylesActive(bool active);
void ResetVisualStyles();

#include <QColor>
#include <QRect>

class QPainter;

// The system colours the classic looks draw with, taken from the application palette (which
// follows the desktop's colours).
QColor SysWindowColor();      // face of edits and lists
QColor SysWindowTextColor();
QColor SysButtonFaceColor();
QColor SysButtonShadowColor();
QColor SysButtonHighlightColor();
QColor SysButtonLightColor();
QColor SysButtonDarkShadowColor();

// A one-pixel edge around r (Qt rectangle): raised shows light at the top and left and shadow at
// the bottom and right, sunken the other way round. Inner edges use highlight/shadow, outer ones
// light/dark shadow, as the classic desktop draws them.
enum class TEdgeKind { RaisedInner, SunkenInner, RaisedOuter, SunkenOuter };
void DrawEdge1(QPainter& painter, const QRect& r, TEdgeKind kind);
// A frame of one pixel just inside r.
void FrameRect1(QPainter& painter, const QRect& r, const QColor& color);
