#pragma once

#include <QWidget>

// The window a message box or file dialog belongs over: the given one, else
// a dialog already open, else the active window, else the main window. A box
// without a parent can open behind the fixed-size main window while the
// program is not the active application (after a drop, at start-up), and the
// window then looks frozen.
QWidget* DialogParent(QWidget* given = nullptr);
