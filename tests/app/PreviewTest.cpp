// Hearing a track on a computer without sound: the Play button of both track
// pages is disabled and says why without taking Space from the lists, and the
// player refuses a broken file with its reason before it asks for an output.

#include <gtest/gtest.h>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>

#include "AppTestSupport.h"
#include "devices/PreviewPlayer.h"
#include "pages/PlaylistSetup.h"
#include "pages/TrackSetup.h"

namespace {

// A 16-bit stereo WAV at 8 kHz whose header promises `promised` frames and
// which holds `held` frames of silence.
void WriteWav(const std::filesystem::path& path, std::uint32_t promised, std::uint32_t held) {
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.put(static_cast<char>(value >> (8 * i)));
        }
    };
    out << "RIFF";
    put(36 + promised * 4, 4);
    out << "WAVEfmt ";
    // Format chunk: PCM, 2 channels, 8000 frames a second of 4 bytes, 16 bits.
    for (const auto& [value, bytes] :
         {std::pair{16u, 4}, {1u, 2}, {2u, 2}, {8000u, 4}, {32000u, 4}, {4u, 2}, {16u, 2}}) {
        put(value, bytes);
    }
    out << "data";
    put(promised * 4, 4);
    out << std::string(held * 4, '\0');
}

template <class Page>
void ExpectDisabledAndSilent(PageOnCard<Page>& on, const QString& listName) {
    on.Activate();
    auto* button = on.template Find<QPushButton>(QStringLiteral("previewButton"));
    ASSERT_NE(button, nullptr);
    // The outputs are looked at, through the sound module, once the window
    // has had time to appear.
    EXPECT_TRUE(QTest::qWaitFor([button] { return !button->isEnabled(); }, 5000));
    EXPECT_EQ(button->text(), QStringLiteral("Pla&y"));
    EXPECT_EQ(button->toolTip(), PreviewPlayer::Unavailable());
    // Space stays the list's own: it chooses a row, and nothing is played or
    // said.
    auto* list = on.template Find<QTreeWidget>(listName);
    list->setFocus();
    list->clearSelection();
    list->selectionModel()->setCurrentIndex(list->model()->index(1, 0),
                                            QItemSelectionModel::NoUpdate);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_FALSE(list->selectedItems().isEmpty()) << listName.toStdString();
    EXPECT_TRUE(on.prompter.shown.empty());
}

TEST(Preview, WithoutASoundOutputTheButtonsAreDisabledAndSayWhy) {
    if (PreviewPlayer::Unavailable().isEmpty()) {
        GTEST_SKIP() << "this computer has a sound output";
    }
    EXPECT_TRUE(PreviewPlayer::Unavailable().contains(QStringLiteral("No sound output")));
    const QStringList files{QStringLiteral("ONE.WAV"), QStringLiteral("TWO.WAV")};
    PageOnCard<CTrackSetup> tracks(files);
    ExpectDisabledAndSilent(tracks, QStringLiteral("trackList"));
    PageOnCard<CPlaylistSetup> playlists(files);
    ExpectDisabledAndSilent(playlists, QStringLiteral("availableTracks"));
}

TEST(Preview, APlayerRefusesABrokenFileWithItsReasonBeforeAskingForAnOutput) {
    QTemporaryDir dir;
    const std::filesystem::path cut = dir.filePath(QStringLiteral("CUT.WAV")).toStdString();
    const std::filesystem::path whole = dir.filePath(QStringLiteral("WHOLE.WAV")).toStdString();
    WriteWav(cut, 8000, 100);
    WriteWav(whole, 800, 800);

    PreviewPlayer player;
    QSignalSpy finished(&player, &PreviewPlayer::Finished);
    QString error;
    EXPECT_FALSE(player.Play(cut, error));
    EXPECT_TRUE(error.contains(QStringLiteral("CUT.WAV"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("the header says"))) << error.toStdString();
    EXPECT_FALSE(player.IsPlaying());

    if (PreviewPlayer::Unavailable().isEmpty()) {
        return;
    }
    // A good file, and nowhere to play it.
    error.clear();
    EXPECT_FALSE(player.Play(whole, error));
    EXPECT_EQ(error, PreviewPlayer::Unavailable());
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.PlayedMs(), 0);
    EXPECT_EQ(finished.count(), 0);
}

}  // namespace
