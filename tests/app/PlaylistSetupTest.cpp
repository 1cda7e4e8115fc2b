// The Playlists page: adding, deleting and moving entries, the remember
// option of each playlist, and the slot values derived when it is left.

#include <gtest/gtest.h>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "pages/PlaylistSetup.h"

namespace {

std::string Track(int n) {
    return QStringLiteral("TRACK%1.MP3").arg(n, 2, 10, QLatin1Char('0')).toStdString();
}

// On a card whose files are tracks 1 to 12 and the long name track 13.
class PlaylistPage : public ::testing::Test, public PageOnCard<CPlaylistSetup> {
  protected:
    PlaylistPage() : PageOnCard(TrackFiles(12) << QStringLiteral("zebra crossing.mp3")) {
        page.show();
    }

    QTreeWidget* List(const char* name) { return page.findChild<QTreeWidget*>(name); }
    void SetPlaylist(int p, const std::vector<std::string>& names) {
        for (int k = 0; k < 32; ++k) {
            Config().SetPlaylistEntry(p, k, k < int(names.size()) ? names[std::size_t(k)] : "");
        }
        Config().SetPlaylistCount(p, static_cast<std::uint32_t>(names.size()));
    }
    std::vector<std::string> Playlist(int p) {
        std::vector<std::string> names;
        for (int k = 0; k < static_cast<int>(Config().PlaylistCount(p)); ++k) {
            names.push_back(Config().PlaylistEntry(p, k));
        }
        return names;
    }
    static QStringList Rows(QTreeWidget* list, bool selectedOnly = false) {
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list->topLevelItem(i);
            if (!selectedOnly || row->isSelected()) {
                rows.append(row->text(0) + '|' + row->text(1));
            }
        }
        return rows;
    }
    static void Select(QTreeWidget* list, const std::vector<int>& rows) {
        for (int row : rows) {
            list->topLevelItem(row)->setSelected(true);
        }
    }
};

TEST_F(PlaylistPage, ActivationTakesTheCardsTracksIntoAnEmptyDocument) {
    doc.OnNewDocument();
    doc.SetPathName(card.Path(QStringLiteral("TUNBOX.CFG")));
    SetPlaylist(0, {"ZEBRAC~1.MP3", "GONE.MP3"});
    Config().SetPlaylistCount(1, 40);
    page.BeforeShow();  // as the sheet brings the page to the front
    ASSERT_TRUE(page.OnSetActive());
    EXPECT_EQ(List("availableTracks")->topLevelItemCount(), 13);
    EXPECT_EQ(Rows(List("availableTracks")).last(), " 13|zebra crossing.mp3");
    EXPECT_EQ(List("availableTracks")->topLevelItem(12)->data(0, Qt::UserRole), 13);
    EXPECT_EQ(Config().Get(field::kEndAction, 1), playcode::kStopNow);  // a new track's settings
    EXPECT_EQ(Rows(List("playlistTracks")),
              (QStringList{"  1|zebra crossing.mp3", "  2|GONE.MP3"}));
    Click("playlistRadio2");  // a count beyond 31 shows an empty playlist
    EXPECT_EQ(List("playlistTracks")->topLevelItemCount(), 0);

    // Leaving works the slot values out from the names again.
    Config().Set(field::kPlaylistSlot, 1, 0);
    Config().Set(field::kPlaylistSlot, 2, 7);
    ASSERT_TRUE(page.OnKillActive());
    EXPECT_EQ(Config().Get(field::kPlaylistSlot, 1), 13u);
    EXPECT_EQ(Config().Get(field::kPlaylistSlot, 2), 0u);
}

TEST_F(PlaylistPage, AddsSelectedTracksInTrackOrderUpToThirtyOne) {
    struct Case {
        int entries;
        std::vector<int> selectedRows;
        std::vector<std::string> added;
        std::size_t messages;
    };
    for (const Case& c :
         {Case{29, {11, 3, 5, 7, 9}, {Track(4), Track(6)}, 0}, Case{31, {0}, {}, 1}}) {
        SCOPED_TRACE(c.entries);
        const std::vector<std::string> before(std::size_t(c.entries), Track(1));
        SetPlaylist(0, before);
        page.BeforeShow();  // as the sheet brings the page to the front
        ASSERT_TRUE(page.OnSetActive());
        Select(List("availableTracks"), c.selectedRows);
        Click("addTracksButton");

        std::vector<std::string> expected = before;
        expected.insert(expected.end(), c.added.begin(), c.added.end());
        EXPECT_EQ(Playlist(0), expected);
        EXPECT_EQ(List("playlistTracks")->topLevelItemCount(), int(expected.size()));
        EXPECT_EQ(Rows(List("availableTracks"), true).size(), int(c.selectedRows.size()));
        ASSERT_EQ(prompter.shown.size(), c.messages);
    }
    EXPECT_EQ(prompter.shown[0].text, "Too many tracks selected.  Max 31 tracks in a playlist.");
}

TEST_F(PlaylistPage, DeletesAndMovesTheSelectedEntries) {
    struct Case {
        const char* button;
        std::vector<int> selected;
        std::vector<int> tracks;  // afterwards
        QStringList selectedAfter;
    };
    const Case cases[] = {
        {"deleteButton", {1, 3}, {1, 3, 5}, {}},
        {"moveUpButton", {2, 3}, {1, 3, 4, 2, 5}, {"  2|TRACK03.MP3", "  3|TRACK04.MP3"}},
        {"moveUpButton", {0, 2}, {1, 2, 3, 4, 5}, {"  1|TRACK01.MP3", "  3|TRACK03.MP3"}},
        {"moveDownButton", {0, 2}, {2, 1, 4, 3, 5}, {"  2|TRACK01.MP3", "  4|TRACK03.MP3"}},
        {"moveDownButton", {3, 4}, {1, 2, 3, 4, 5}, {"  4|TRACK04.MP3", "  5|TRACK05.MP3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + std::to_string(c.selected.front()));
        SetPlaylist(0, {Track(1), Track(2), Track(3), Track(4), Track(5)});
        page.BeforeShow();  // as the sheet brings the page to the front
        ASSERT_TRUE(page.OnSetActive());
        Select(List("playlistTracks"), c.selected);
        Click(c.button);

        std::vector<std::string> names;
        QStringList rows;
        for (int n : c.tracks) {
            names.push_back(Track(n));
            rows.append(QString::asprintf("%3d|", static_cast<int>(rows.size()) + 1) +
                        Track(n).c_str());
        }
        EXPECT_EQ(Playlist(0), names);
        EXPECT_EQ(Rows(List("playlistTracks")), rows);
        EXPECT_EQ(Rows(List("playlistTracks"), true), c.selectedAfter);
    }
}

TEST_F(PlaylistPage, EachPlaylistKeepsItsOwnRememberOption) {
    Config().Set(field::kPlaylistOptions, 1, 0x1F);  // the player's bits
    Config().Set(field::kPlaylistRemember, 6, true);
    page.BeforeShow();  // as the sheet brings the page to the front
    ASSERT_TRUE(page.OnSetActive());
    Click("rememberCheck");
    for (int shown : {3, 7, 1}) {
        Click(QStringLiteral("playlistRadio%1").arg(shown));
        EXPECT_EQ(page.findChild<QAbstractButton*>("rememberCheck")->isChecked(), shown != 3);
    }
    Click("playlistRadio7");
    Click("rememberCheck");
    const std::uint32_t expected[] = {0x20, 0x1F, 0, 0, 0, 0, 0, 0};
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        EXPECT_EQ(Config().Get(field::kPlaylistOptions, p), expected[p]) << p;
    }
}

}  // namespace
