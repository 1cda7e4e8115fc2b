// Every control of every page of a clock model's sheet can be reached at
// the display scale the program runs at: inside the window, or by scrolling
// the page.

#include <gtest/gtest.h>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include "AppTestSupport.h"
#include "app/MainFrame.h"

namespace {

QRect InWindow(QWidget* w, QWidget* window) {
    return {w->mapTo(window, QPoint()), w->size()};
}

TEST(Scale, EveryControlOfEveryPageIsReachable) {
    TestCard card(TrackFiles(12));
    card.SaveConfig(PlayerModel::TunboxC40);
    AppHarness h;
    ASSERT_TRUE(h.Start({card.ConfigPath()}));
    CMainFrame& frame = h.Frame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const QRect screen = frame.screen()->availableGeometry();
    SCOPED_TRACE(
        QStringLiteral("screen %1 x %2").arg(screen.width()).arg(screen.height()).toStdString());
    EXPECT_TRUE(screen.contains(frame.frameGeometry()))
        << frame.frameGeometry().x() << "," << frame.frameGeometry().y() << " "
        << frame.frameGeometry().width() << "x" << frame.frameGeometry().height();

    const QStringList captions = h.PageCaptions();
    ASSERT_EQ(captions.size(), 7);
    for (int i = 0; i < captions.size(); ++i) {
        SCOPED_TRACE(captions[i].toStdString());
        ASSERT_TRUE(h.Sheet().SetActivePage(i));
        QApplication::processEvents();
        EXPECT_TRUE(frame.rect().contains(
            InWindow(h.Sheet().Tabs()->tabBar(), &frame).intersected(frame.rect())));
        CPropertyPage* page = h.Sheet().GetActivePage();
        // The window is sized before the pages are built: the room it keeps
        // for them holds each page whole.
        const QSize room = h.Sheet().PageRoom();
        EXPECT_TRUE(page->sizeHint().width() <= room.width() &&
                    page->sizeHint().height() <= room.height())
            << page->sizeHint().width() << "x" << page->sizeHint().height() << " in a room of "
            << room.width() << "x" << room.height();
        QScrollArea* scroll = h.Sheet().FrameOf(page);
        QWidget* viewport = scroll->viewport();
        // The scroll bars reach every part of the page, and the view lies
        // inside the window: what lies inside the page can be scrolled to.
        const QRect seen = InWindow(viewport, &frame);
        EXPECT_TRUE(frame.rect().contains(seen));
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum(),
                  std::max(0, page->width() - viewport->width()));
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(),
                  std::max(0, page->height() - viewport->height()));
        int controls = 0;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(page) || w->focusPolicy() == Qt::NoFocus || w->focusProxy()) {
                continue;
            }
            ++controls;
            const QRect at(w->mapTo(page, QPoint()), w->size());
            EXPECT_TRUE(page->rect().contains(at))
                << w->objectName().toStdString() << " at " << at.x() << "," << at.y() << " "
                << at.width() << "x" << at.height() << " in a page of " << page->width() << "x"
                << page->height();
        }
        EXPECT_GT(controls, 0);
    }
}

}  // namespace
