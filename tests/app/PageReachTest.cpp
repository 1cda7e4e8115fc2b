// The pages of a clock model's sheet on a card with a long file name: Alt
// keys, Tab, tooltips for cut names, and the window's edge.

#include <gtest/gtest.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "app/MainFrame.h"
#include "model/InputTable.h"
#include "pages/Devices.h"
#include "pages/PageFields.h"

namespace {

struct ClockCard : AppHarness {
    ClockCard() {
        card.SaveConfig(PlayerModel::TunboxC40, [](CCardwrightDoc& doc) {
            CardConfig& c = *doc.GetConfig();
            c.Set(field::kWaitForInput, 1, false);
            c.Set(field::kInputMode, InputSet::Player, 0, inputs::kIndependent);
            c.Set(field::kCloseCode, InputSet::Player, 0, playcode::kNext);
            c.Set(field::kCloseFade, InputSet::Player, 0, 3);
            c.SetPlaylistEntry(0, 0, c.TrackName(1));
            c.SetPlaylistCount(0, 1);
        });
        EXPECT_TRUE(Start({card.ConfigPath()}));
        // The window's right edge inside the screen: a list held only to the
        // screen would run past it.
        Frame().move(Frame().screen()->availableGeometry().right() - 100 - Frame().width(), 0);
        Frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }
    TestCard card{
        {QStringLiteral("A name that goes on past the edge of every list. ").repeated(4) + ".wav"}};
};

QChar AltKey(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('&')) + 1;
    return at > 0 && at < text.size() ? text[at].toUpper() : QChar();
}

// Group box by group box; side by side from left to right, else downwards.
bool ReadsBefore(QWidget* page, QWidget* a, QWidget* b) {
    const auto place = [page](QWidget* w, QWidget* other) {
        for (QWidget* p = w; p != page; p = p->parentWidget()) {
            w = qobject_cast<QGroupBox*>(p) != nullptr && !p->isAncestorOf(other) ? p : w;
        }
        return QRect(w->mapTo(page, QPoint()), w->size());
    };
    const QRect ra = place(a, b), rb = place(b, a);
    const bool sideBySide = std::min(ra.bottom(), rb.bottom()) - std::max(ra.top(), rb.top()) > 4;
    return sideBySide ? ra.left() < rb.left() : ra.top() < rb.top();
}

// A page and, where it reads by columns, its Tab order given whole.
class EveryPage : public ::testing::TestWithParam<std::pair<const char*, QStringList>> {};

TEST_P(EveryPage, AltKeysAndTabFollowThePageAndCutNamesShowWhole) {
    ClockCard app;
    ASSERT_TRUE(app.Sheet().SetActivePage(app.PageCaptions().indexOf(GetParam().first)));
    QWidget* page = app.Sheet().GetActivePage();
    // A Play button is a stop while sound can be played, on this computer.
    ASSERT_TRUE(QTest::qWaitFor(devices::SoundLookedAt, 5000));
    QStringList expected = GetParam().second;
    if (auto* play = page->findChild<QPushButton*>(QStringLiteral("previewButton"));
        play != nullptr && play->isEnabled() && !expected.isEmpty()) {
        expected.append(play->objectName());
    }
    QWidgetList reached;  // by Tab from the sheet's tabs until it leaves the page
    QStringList names;
    app.Sheet().Tabs()->tabBar()->setFocus();
    for (QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
         page->isAncestorOf(QApplication::focusWidget()) && reached.size() < 50;
         QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab)) {
        reached.append(QApplication::focusWidget());
        names.append(reached.last()->objectName());
    }
    QMap<QChar, std::string> keys;
    for (QAction* menu : app.Frame().menuBar()->actions()) {
        keys[AltKey(menu->text())] = menu->text().toStdString();
    }
    int stops = 0;
    std::string who;
    // A text wider than its room shows whole in its tooltip.
    const auto whole = [&who](const QWidget* on, const QString& text, int room, auto tip) {
        if (on->isVisible() && on->fontMetrics().horizontalAdvance(text) > room) {
            EXPECT_EQ(QVariant(tip).toString(), text) << who;
        }
    };
    for (QWidget* w : page->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        const QString text = label    ? label->text()
                             : button ? button->text()
                                      : w->property("title").toString();
        who = (w->objectName() + " \"" + text + '"').toStdString();
        const QChar key = AltKey(text);
        EXPECT_FALSE(keys.contains(key) && !key.isNull()) << who << " has the key of " << keys[key];
        keys[key] = who;
        // The input pages have one letter fewer than labelled controls.
        EXPECT_FALSE(key.isNull() && w->objectName() != "openNothingRadio" &&
                     (label ? label->buddy() != nullptr
                            : button && text.contains(QRegularExpression("[A-Z]"))))
            << who << " has no Alt key";
        ASSERT_TRUE(!label || key.isNull() || !label->isVisible() ||
                    (label->buddy() && label->buddy()->isVisible() &&
                     (label->buddy()->focusPolicy() & Qt::TabFocus)))
            << who << " names no control";
        auto* radio = qobject_cast<QRadioButton*>(w);
        if (w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus && !label &&
            !w->focusProxy() && (!radio || radio->isChecked())) {
            ++stops;
            EXPECT_TRUE(reached.contains(w)) << who << " is not reached by Tab";
        }
        if (label) {
            whole(label, pagefields::WithoutMnemonic(text), label->contentsRect().width(),
                  label->toolTip());
        }
        auto* list = qobject_cast<QTreeWidget*>(w);
        for (int row = 0; list && row < list->topLevelItemCount(); ++row) {
            for (int c = 0; c < list->columnCount(); ++c) {
                const QTreeWidgetItem* item = list->topLevelItem(row);
                whole(list, item->text(c), list->columnWidth(c) - 6, item->toolTip(c));
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isVisible()) {
            QStyleOptionComboBox box;
            box.initFrom(combo);
            const int room =
                combo->style()
                    ->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, combo)
                    .width();
            whole(combo, combo->currentText(), room, combo->toolTip());
            for (int i = 0; i < combo->count(); ++i) {
                whole(combo, combo->itemText(i), room, combo->itemData(i, Qt::ToolTipRole));
            }
            combo->showPopup();
            const QRect popup = combo->view()->window()->geometry();
            const QRect shown = app.Frame().frameGeometry() & combo->screen()->availableGeometry();
            EXPECT_TRUE(popup.left() >= shown.left() && popup.right() <= shown.right()) << who;
            combo->hidePopup();
        }
    }
    EXPECT_EQ(reached.size(), stops) << names.join(' ').toStdString();
    for (int i = 1; GetParam().second.isEmpty() && i < reached.size(); ++i) {
        EXPECT_FALSE(ReadsBefore(page, reached[i], reached[i - 1]))
            << names.join(' ').toStdString();
    }
    EXPECT_TRUE(expected.isEmpty() || names == expected) << names.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ClockModel, EveryPage,
    ::testing::Values(
        std::pair("Track Setup", QStringList()),
        std::pair("Playlists", QStringList{"playlistRadio1", "availableTracks", "addTracksButton",
                                           "playlistTracks", "moveUpButton", "moveDownButton",
                                           "deleteButton", "rememberCheck"}),
        std::pair("Audio Setup", QStringList()), std::pair("Input Setup", QStringList()),
        std::pair("Animation Input Setup", QStringList()),
        std::pair("Animation Control Setup", QStringList()), std::pair("Schedule", QStringList())),
    [](const auto& info) { return QString(info.param.first).remove(' ').toStdString(); });

TEST(StatusBar, LampsStandInsideTheWindowForEveryModel) {
    ClockCard app;
    for (QAction* model : app.Frame().findChild<QMenu*>("playerTypeMenu")->actions()) {
        model->trigger();
        QApplication::processEvents();
        for (const char* lamp : {"capsIndicator", "numIndicator", "scrollIndicator"}) {
            const QWidget* pane = app.Frame().findChild<QWidget*>(lamp);
            const QRect place(pane->mapTo(&app.Frame(), QPoint()), pane->size());
            EXPECT_TRUE(app.Frame().rect().marginsRemoved({1, 1, 1, 1}).contains(place))
                << model->text().toStdString() << ' ' << lamp;
        }
    }
}

}  // namespace
