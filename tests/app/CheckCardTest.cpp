// The window's card check: findings listed worst first, and a double-click
// going to the page that fixes one.

#include <gtest/gtest.h>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "app/CheckCardDialog.h"

namespace {

TEST(CheckCard, ListsTheWorstFirstAndLeadsToThePageThatFixesIt) {
    TestCard card(TrackFiles(2));
    card.SaveConfig(PlayerModel::Tunbox);
    card.RemoveSound("TRACK02.MP3");
    CheckCardDialog dialog(card.Path("TUNBOX.CFG"), true);
    QTRY_VERIFY_WITH_TIMEOUT(dialog.Finished(), 20000);
    EXPECT_NE(dialog.findChild<QLabel*>("checkScope"), nullptr);

    auto* list = dialog.findChild<QTreeWidget*>("findingList");
    ASSERT_GT(list->topLevelItemCount(), 1);
    QStringList severities;
    QTreeWidgetItem* missing = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        severities.append(item->text(0));
        if (item->text(1).contains("TRACK02.MP3")) {
            missing = item;
        }
    }
    QStringList sorted = severities;
    const QStringList order{"error", "warning", "note"};
    std::stable_sort(sorted.begin(), sorted.end(), [&](const QString& a, const QString& b) {
        return order.indexOf(a) < order.indexOf(b);
    });
    EXPECT_EQ(severities, sorted);
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->toolTip(1).startsWith("<p>"));

    QSignalSpy pages(&dialog, &CheckCardDialog::GoToPage);
    emit list->itemActivated(missing, 1);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0][0].value<PageId>(), PageId::TrackSetup);
}

}  // namespace
