#include "pages/PageFields.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

namespace pagefields {

std::optional<double> ParseNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) {
        value = QLocale().toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseWholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int TenthsOf(double seconds, int maxTenths) {
    const double tenths = std::trunc(seconds * 10.0);
    return static_cast<int>(std::clamp(tenths, 0.0, static_cast<double>(maxTenths)));
}

QString SecondsText(std::uint32_t tenths) {
    return QString::asprintf("%g", tenths * 0.1);
}

QString NumberPrompt(const QString& forWhat, bool whole) {
    return QStringLiteral("Please enter %1 %2.")
        .arg(whole ? QStringLiteral("a whole number") : QStringLiteral("a number"), forWhat);
}

QString RangePrompt(double low, double high) {
    return QStringLiteral("Please enter a number between %1 and %2.")
        .arg(QString::number(low), QString::number(high));
}

QString WithoutMnemonic(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

void TabToChecked(QButtonGroup* group) {
    const auto follow = [group] {
        for (QAbstractButton* button : group->buttons()) {
            const bool stop = button == group->checkedButton() || group->checkedButton() == nullptr;
            button->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
        }
    };
    QObject::connect(group, &QButtonGroup::buttonToggled, group, follow);
    follow();
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* objectName) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QTreeWidget* MakeReportList(QWidget* parent, const QString& objectName, const QStringList& headers,
                            QAbstractItemView::SelectionMode selection) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSortingEnabled(false);
    list->setSelectionMode(selection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    QHeaderView* header = list->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    return list;
}

void NumberEdit::Show(int value) const {
    edit->setText(QString::number(value));
    const QSignalBlocker blocker(spin);
    spin->setValue(std::clamp(value, spin->minimum(), spin->maximum()));
}

void NumberEdit::SetRange(int low, int high) const {
    const QSignalBlocker blocker(spin);
    spin->setRange(low, high);
}

NumberEdit MakeNumberEdit(QWidget* parent, const QString& name, int low, int high) {
    NumberEdit n;
    n.edit = new QLineEdit(parent);
    n.edit->setObjectName(name + QStringLiteral("Edit"));
    n.edit->setAlignment(Qt::AlignRight);
    // Digits, and a sign where the field takes negative numbers.
    n.edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(low < 0 ? QStringLiteral("-?\\d{0,5}") : QStringLiteral("\\d{0,5}")),
        n.edit));
    const QFontMetrics metrics = parent->fontMetrics();
    n.edit->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("000000")) +
                          2 * metrics.averageCharWidth());
    n.spin = new ArrowSpin(parent);
    n.spin->setObjectName(name + QStringLiteral("Spin"));
    n.spin->setRange(low, high);
    n.spin->SetEdit(n.edit);
    QLineEdit* edit = n.edit;
    ArrowSpin* spin = n.spin;
    QObject::connect(spin, &QSpinBox::valueChanged, edit,
                     [edit](int value) { edit->setText(QString::number(value)); });
    QObject::connect(edit, &QLineEdit::textEdited, spin, [spin](const QString& text) {
        if (const auto value = ParseWholeNumber(text)) {
            const QSignalBlocker blocker(spin);
            spin->setValue(std::clamp(*value, spin->minimum(), spin->maximum()));
        }
    });
    return n;
}

}  // namespace pagefields

ArrowSpin::ArrowSpin(QWidget* parent) : QSpinBox(parent) {
    lineEdit()->hide();
    // The hidden text would otherwise take the focus meant for the arrows.
    setFocusProxy(nullptr);
    setFocusPolicy(Qt::StrongFocus);
}

QSize ArrowSpin::sizeHint() const {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const int height = QSpinBox::sizeHint().height();
    option.rect = QRect(0, 0, 10 * height, height);
    const QRect up =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    // The buttons with the frame that is to their right on both sides.
    const int rightFrame = option.rect.right() - up.right();
    return {up.width() + 2 * rightFrame, height};
}

void ArrowSpin::stepBy(int steps) {
    QSpinBox::stepBy(steps);
    emit Stepped();
}

void ArrowSpin::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QSpinBox::keyPressEvent(event);
            break;
        default:
            event->ignore();
    }
}

NameCombo::NameCombo(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The menu-like entries some styles draw cut a long text off without a
    // mark; a list entry shows where it was shortened.
    setItemDelegate(new QStyledItemDelegate(this));
    view()->setTextElideMode(Qt::ElideMiddle);
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { ShowWholeAsTip(first, last); });
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole)) {
                    ShowWholeAsTip(from.row(), to.row());
                }
            });
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
}

void NameCombo::ShowWholeAsTip(int first, int last) {
    for (int i = first; i <= last; ++i) {
        setItemData(i, itemText(i), Qt::ToolTipRole);
    }
}

void NameCombo::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view()->parentWidget();
    if (popup == nullptr || !popup->isVisible() || screen() == nullptr) {
        return;
    }
    // The room is the window's part of the screen, or the screen where a
    // window pushed off it leaves less than the box itself.
    QRect room = screen()->availableGeometry();
    const QRect shown = window()->frameGeometry() & room;
    if (shown.width() >= width()) {
        room = shown;
    }
    // The frame and scroll bar around the entries, as the list was opened.
    const int around = popup->width() - view()->viewport()->width();
    const int wanted = std::max(width(), view()->sizeHintForColumn(0) + around);
    QRect place = popup->geometry();
    place.setWidth(std::min(wanted, room.width()));
    place.moveLeft(std::clamp(place.left(), room.left(), room.right() + 1 - place.width()));
    popup->setGeometry(place);
}
