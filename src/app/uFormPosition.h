#pragma once
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// Window positions between runs, for any window, under one settings section with the integer
// values "WindowState" (0 normal, 1 minimized, 2 maximized), "Left", "Top", "Width", "Height".
enum TFormWindowState { fwsNormal = 0, fwsMinimized = 1, fwsMaximized = 2 };

int FormWindowState(const QWidget* window);

// Pulls a stored rectangle back onto a screen of the given size: too large is cut to the screen,
// off the right or bottom edge is moved back, and left and top are never negative.
QRect ClampFormRect(const QRect& stored, const QSize& screen);

// Writes the state and, unless maximized, the position and size.
void SaveFormPosition(QWidget* window, const QString& section);
// Reads what SaveFormPosition wrote, with the window's present values as defaults. The screen is
// the window's own unless one is given.
void RestoreFormPosition(QWidget* window, const QString& section, const QSize& screen = QSize());
