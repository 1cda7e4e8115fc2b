// What the sheet tells its pages: activation and leaving around every tab
// change (a page may refuse to be left), and saving through the page in
// front, which stores first.

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QScrollArea>
#include <QTabWidget>

#include "AppTestSupport.h"
#include "app/CardwrightView.h"
#include "app/MainFrame.h"
#include "app/MyPropertySheet.h"

namespace {

class RecordingPage : public CPropertyPage {
  public:
    // A stand-in page, logged as `name`; the sheet never looks it up.
    RecordingPage(CCardwrightDoc& doc, const QString& name, QStringList& log)
        : CPropertyPage(doc, PageId::TrackWarning), name_(name), log_(log) {}

    bool OnSetActive() override {
        log_.append("set " + name_);
        return CPropertyPage::OnSetActive();
    }
    bool OnKillActive() override {
        log_.append("kill " + name_);
        return CPropertyPage::OnKillActive();
    }

    bool acceptValues = true;

  protected:
    bool StoreControls() override {
        log_.append("store " + name_);
        return acceptValues;
    }

  private:
    QString name_;
    QStringList& log_;
};

class SheetProtocol : public ::testing::Test {
  protected:
    void SetUp() override {
        card.SaveConfig(PlayerModel::Tunbox);
        ASSERT_TRUE(h.Start({card.ConfigPath()}));
        first = new RecordingPage(h.Doc(), "First", log);
        second = new RecordingPage(h.Doc(), "Second", log);
        h.Sheet().AddPage(first);
        h.Sheet().AddPage(second);
        ASSERT_TRUE(h.Sheet().SetActivePage(h.Sheet().GetPageCount() - 2));
        log.clear();
    }

    int IndexOf(CPropertyPage* page) { return h.Sheet().IndexOf(page); }

    TestCard card{TrackFiles(2)};
    AppHarness h;
    QStringList log;
    RecordingPage* first = nullptr;
    RecordingPage* second = nullptr;
};

TEST_F(SheetProtocol, TabChangeLeavesOnePageAndActivatesTheOtherUnlessThePageRefuses) {
    first->acceptValues = false;
    h.Sheet().Tabs()->setCurrentIndex(IndexOf(second));
    EXPECT_EQ(log, (QStringList{"kill First", "store First"}));
    EXPECT_EQ(h.Sheet().GetActivePage(), first);
    EXPECT_EQ(h.Sheet().Tabs()->currentWidget(), static_cast<QWidget*>(h.Sheet().FrameOf(first)));
    EXPECT_FALSE(h.Sheet().SetActivePage(0));
    EXPECT_EQ(h.Sheet().GetActivePage(), first);

    first->acceptValues = true;
    log.clear();
    h.Sheet().Tabs()->setCurrentIndex(IndexOf(second));
    EXPECT_EQ(log, (QStringList{"kill First", "store First", "set Second"}));
    EXPECT_EQ(h.Sheet().GetActivePage(), second);
    EXPECT_EQ(h.Sheet().Tabs()->currentWidget(), static_cast<QWidget*>(h.Sheet().FrameOf(second)));
}

TEST_F(SheetProtocol, RemovingThePageInFrontBringsItsNeighbourForward) {
    h.Sheet().RemovePage(first);
    EXPECT_EQ(log, (QStringList{"kill First", "store First"}));
    EXPECT_EQ(h.Sheet().GetActivePage()->Caption(), "Input Setup");
    EXPECT_EQ(IndexOf(first), -1);
}

TEST_F(SheetProtocol, SaveStoresThePageInFrontThenWritesAndRebuilds) {
    QFile::remove(card.ConfigPath());
    h.Frame().findChild<QAction*>("fileSave")->trigger();
    EXPECT_EQ(log.mid(0, 1), QStringList{"store First"});
    EXPECT_TRUE(QFile::exists(card.ConfigPath()));
    // The rebuilt sheet shows the model's own pages again.
    EXPECT_EQ(IndexOf(first), -1);
    EXPECT_EQ(h.ActiveCaption(), "Track Setup");
}

}  // namespace
