#pragma once

#include <QString>
#include <QVariant>
#include <string>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The schedule dialogs' lists: each line a text whose tabs part its columns,
// kept in the order of the whole text, and carrying a value of its own.
namespace linelist {

// A list of `columns` columns without headings; `multiple` lets the user
// select several lines.
QTreeWidget* Make(QWidget* parent, const QString& objectName, int columns, bool multiple);
// Adds `line` where its text sorts, holding `data`; returns it.
QTreeWidgetItem* Add(QTreeWidget* list, const std::string& line, const QVariant& data);
// The whole text of a line, tabs and all.
QString Text(const QTreeWidgetItem* item);
// The first line holding `data`, or nothing.
QTreeWidgetItem* Find(QTreeWidget* list, const QVariant& data);

}  // namespace linelist

// A push button of a dialog, named for the tests; Enter presses it while it
// has the focus, as in any dialog.
QPushButton* DialogButton(QWidget* parent, const QString& text, const char* objectName);
