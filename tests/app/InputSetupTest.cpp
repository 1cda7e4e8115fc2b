// The Input Setup page on a real card folder: what choosing on the page
// stores, how stored actions show, the modes, and refused numbers.

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>

#include "AppTestSupport.h"
#include "model/InputTable.h"
#include "pages/InputSetup.h"

namespace {

struct InputPage : PageOnCard<CInputSetup> {
    explicit InputPage(InputSet set = InputSet::Player, PlayerModel model = PlayerModel::TunboxA8,
                       int tracks = 14)
        : PageOnCard(TrackFiles(tracks), PageId::InputSetup) {
        Config().SetPlayerModel(model);
        page.SetTableSelector(set);
    }
    QComboBox* Combo(const QString& name) { return Find<QComboBox>(name); }
    std::uint32_t Get(const InputField<std::uint32_t>& f, int input) {
        return Config().Get(f, page.TableSelector(), input);
    }
    bool Flag(const InputField<bool>& f, int input) {
        return Config().Get(f, page.TableSelector(), input);
    }
};

void SetPlaylist(CardConfig& c, int p, int entries) {
    for (int k = 0; k < entries; ++k) {
        c.SetPlaylistEntry(
            p, k, QStringLiteral("TRACK%1.MP3").arg(k + 1, 2, 10, QChar('0')).toStdString());
    }
    c.SetPlaylistCount(p, static_cast<std::uint32_t>(entries));
}

}  // namespace

TEST(InputSetup, StartActionsChosenOnThePageStoreTheirCodesAndShowAgain) {
    InputPage p;
    CardConfig& c = p.Config();
    SetPlaylist(c, 1, 5);
    SetPlaylist(c, 2, 2);
    c.Set(field::kInputMode, InputSet::Player, 0, inputs::kIndependent);
    c.Set(field::kCloseCode, InputSet::Player, 0, 12);
    c.Set(field::kCloseDelay, InputSet::Player, 0, 55);
    c.Set(field::kInputMode, InputSet::Player, 1, inputs::kUnused);
    p.Activate();
    p.doc.SetModifiedFlag(false);

    EXPECT_TRUE(p.Find<QAbstractButton>("closeStartRadio")->isChecked());
    EXPECT_EQ(p.Combo("closeChoiceCombo")->currentIndex(), 15);
    EXPECT_TRUE(p.Combo("closeChoiceCombo")->currentText().startsWith("12: TRACK"));
    EXPECT_EQ(p.Find<QLineEdit>("closeDelayEdit")->text(), "5.5");

    // Position 12 is beyond Playlist 2: the list shows none, which starts
    // whatever is next in that playlist.
    p.Pick("closeScopeCombo", 2);
    EXPECT_EQ(p.Combo("closeChoiceCombo")->count(), 4 + 5);
    EXPECT_EQ(p.Combo("closeChoiceCombo")->currentIndex(), -1);
    EXPECT_EQ(p.Get(field::kCloseCode, 0), 290u);
    EXPECT_TRUE(p.Flag(field::kClosePlaylist, 0));
    p.Retype("closeDelayEdit", "6");
    EXPECT_EQ(p.Get(field::kCloseCode, 0), 290u);
    EXPECT_EQ(p.Combo("closeChoiceCombo")->currentIndex(), -1);
    p.Pick("closeChoiceCombo", 3 + 4);
    EXPECT_EQ(p.Get(field::kCloseCode, 0), 36u);
    EXPECT_TRUE(p.Flag(field::kClosePlaylist, 0));
    EXPECT_TRUE(p.doc.IsModified());

    p.Click("openStartRadio");
    p.Pick("openScopeCombo", 3);
    p.Pick("openChoiceCombo", 0);
    EXPECT_EQ(p.Get(field::kOpenCode, 0), 322u);
    EXPECT_TRUE(p.Flag(field::kOpenPlaylist, 0));

    // Another input and back: the stored actions load into the controls.
    p.Pick("inputCombo", 1);
    EXPECT_FALSE(p.Find<QAbstractButton>("openStartRadio")->isVisible());
    p.Pick("inputCombo", 0);
    EXPECT_EQ(p.Combo("openScopeCombo")->currentText(), "in Playlist 3");
    EXPECT_EQ(p.Combo("openChoiceCombo")->currentText(), "    whatever is next");
    EXPECT_EQ(p.Combo("closeChoiceCombo")->currentText(), "4: TRACK04.MP3");

    // Pause or resume waits for nothing, whatever delay is shown.
    p.Click("closePauseRadio");
    EXPECT_EQ(p.Get(field::kCloseCode, 0), playcode::kPauseResume);
    EXPECT_EQ(p.Get(field::kCloseDelay, 0), 0u);
    EXPECT_FALSE(p.Flag(field::kClosePlaylist, 0));
    EXPECT_FALSE(p.Find("closeDelayEdit")->isEnabled());
}

TEST(InputSetup, AScopeChangeNeverStoresALeftoverNumber) {
    // Playlist 2 position 4, on a card with two tracks: no track 4 to keep.
    InputPage p(InputSet::Player, PlayerModel::TunboxA8, 2);
    CardConfig& c = p.Config();
    SetPlaylist(c, 1, 5);
    c.Set(field::kInputMode, InputSet::Player, 0, inputs::kIndependent);
    c.Set(field::kCloseCode, InputSet::Player, 0, 36);
    c.Set(field::kClosePlaylist, InputSet::Player, 0, true);
    // A stored track the card lacks stays as it is while its scope does.
    c.Set(field::kOpenCode, InputSet::Player, 0, 9);
    p.Activate();
    EXPECT_EQ(p.Combo("closeChoiceCombo")->currentIndex(), 7);
    EXPECT_EQ(p.Combo("openChoiceCombo")->currentIndex(), -1);
    p.Pick("closeScopeCombo", 0);
    EXPECT_EQ(p.Combo("closeChoiceCombo")->currentIndex(), -1);
    EXPECT_EQ(p.Get(field::kCloseCode, 0), 258u);
    EXPECT_FALSE(p.Flag(field::kClosePlaylist, 0));
    EXPECT_EQ(p.Get(field::kOpenCode, 0), 9u);
}

TEST(InputSetup, ModesShowInTheListsAndTheBinaryGroup) {
    InputPage p;
    p.Activate();
    p.Click("allBinaryButton");
    EXPECT_EQ(p.Find<QLabel>("binaryDisplay")->text(), "  7  6  5  4  3  2  1  0 ");
    EXPECT_EQ(p.Config().Get(field::kBinaryBitMask), 0xFFu);

    // Binary bit 3 moves from input 3 to input 5, then to input 2; a binary
    // input other than bit 0 has no actions of its own.
    p.Pick("inputCombo", 5);
    p.Pick("modeCombo", static_cast<int>(inputs::BinaryMode(3)));
    p.Pick("inputCombo", 2);
    p.Pick("modeCombo", static_cast<int>(inputs::BinaryMode(3)));
    EXPECT_EQ(p.Combo("inputCombo")->itemText(2), "2 is Binary bit 3.");
    EXPECT_EQ(p.Combo("inputCombo")->itemText(5), "5 is Unused.");
    EXPECT_EQ(p.Combo("inputCombo")->itemText(3), "3 is Unused.");
    EXPECT_EQ(p.Combo("modeCombo")->itemText(1), "2 is Independent.");
    EXPECT_EQ(p.Config().Get(field::kBinaryBitMask), 0xDBu);
    EXPECT_FALSE(p.Find("closeFadeCombo")->isVisible());
    p.Pick("inputCombo", 0);
    EXPECT_TRUE(p.Find("closeFadeCombo")->isVisible());

    InputPage two(InputSet::Player, PlayerModel::Tunlet);
    two.Config().Set(field::kInputMode, InputSet::Player, 5, inputs::kIndependent);
    two.Activate();
    EXPECT_EQ(two.Combo("inputCombo")->count(), 2);
    EXPECT_EQ(two.Get(field::kInputMode, 5), inputs::kUnused);
}

TEST(InputSetup, AnimationPageWritesMasksAAndBWhenLeft) {
    InputPage p(InputSet::Animation, PlayerModel::TunboxA8);
    CardConfig& c = p.Config();
    c.Set(field::kPlayerModelWord, c.Get(field::kPlayerModelWord) | CardConfig::kModelBit4);
    c.Set(field::kInputMode, InputSet::Animation, 1, inputs::kIndependent);
    c.Set(field::kCloseCode, InputSet::Animation, 1, 3);
    c.Set(field::kInputMode, InputSet::Animation, 2, inputs::kIndependent);
    c.Set(field::kOpenCode, InputSet::Animation, 2, playcode::kRandom);
    c.Set(field::kAnimationInputMaskA, 0x80);
    p.Activate();
    EXPECT_TRUE(p.page.OnKillActive());
    EXPECT_EQ(c.Get(field::kAnimationInputMaskA), 0x02u);
    EXPECT_EQ(c.Get(field::kAnimationInputMaskB), 0x04u);
}

TEST(InputSetup, DelaysAndFadeTimesOutOfRangeAreRefused) {
    InputPage p;
    p.Config().Set(field::kInputMode, InputSet::Player, 0, inputs::kIndependent);
    p.Config().Set(field::kCloseCode, InputSet::Player, 0, playcode::kNext);
    p.Config().Set(field::kCloseDelay, InputSet::Player, 0, 40);
    p.Activate();

    p.Retype("closeDelayEdit", "1000");
    EXPECT_FALSE(p.page.OnKillActive());
    EXPECT_EQ(p.Get(field::kCloseDelay, 0), 40u);
    EXPECT_EQ(p.Find<QLineEdit>("closeDelayEdit")->text(), "4");
    p.Retype("closeDelayEdit", "12.5");
    EXPECT_EQ(p.Get(field::kCloseDelay, 0), 125u);

    p.Pick("openFadeCombo", 1);
    p.Retype("openFadeTimeEdit", "abc");
    QTest::keyClick(p.Find("openFadeTimeEdit"), Qt::Key_Return);
    EXPECT_EQ(p.Get(field::kOpenFadeTime, 0), 0u);
    ASSERT_EQ(p.prompter.shown.size(), 2u);
    EXPECT_EQ(p.prompter.shown[0].text, "Please enter a number between 0 and 999.9.");
    EXPECT_EQ(p.prompter.shown[1].text, "Please enter a number between 0 and 9.9.");
}
