#include "schedule/LineList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "pages/PageFields.h"

namespace linelist {

namespace {
constexpr int kLineRole = Qt::UserRole + 1;
}

QTreeWidget* Make(QWidget* parent, const QString& objectName, int columns, bool multiple) {
    QTreeWidget* list = pagefields::MakeReportList(
        parent, objectName, QStringList(columns, QString()),
        multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    list->setHeaderHidden(true);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    return list;
}

QTreeWidgetItem* Add(QTreeWidget* list, const std::string& line, const QVariant& data) {
    const QString text = QString::fromStdString(line);
    auto* item = new QTreeWidgetItem(text.split(QLatin1Char('\t')));
    item->setData(0, Qt::UserRole, data);
    item->setData(0, kLineRole, text);
    // A name longer than the list is wide shows whole in its tooltip.
    for (int column = 0; column < item->columnCount(); ++column) {
        item->setToolTip(column, item->text(column));
    }
    int at = 0;
    while (at < list->topLevelItemCount() &&
           QString::compare(Text(list->topLevelItem(at)), text, Qt::CaseInsensitive) <= 0) {
        ++at;
    }
    list->insertTopLevelItem(at, item);
    // A line without columns reads across the whole list.
    item->setFirstColumnSpanned(item->columnCount() == 1);
    return item;
}

QString Text(const QTreeWidgetItem* item) {
    return item->data(0, kLineRole).toString();
}

QTreeWidgetItem* Find(QTreeWidget* list, const QVariant& data) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->data(0, Qt::UserRole) == data) {
            return list->topLevelItem(i);
        }
    }
    return nullptr;
}

}  // namespace linelist

QPushButton* DialogButton(QWidget* parent, const QString& text, const char* objectName) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(true);
    return button;
}
