#pragma once
// Precompiled Qt headers: they dominate compile time on a small machine.
#include <QtCore>
#include <QtGui>
#include <QtWidgets>
#include <vector>
#include <memory>
#include <functional>
