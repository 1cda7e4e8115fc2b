// The Audio Setup page over a document: what it shows, what it stores when
// left, and what it refuses.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>

#include "AppTestSupport.h"
#include "pages/AudioSetup.h"

namespace {

struct AudioPage : PageOnCard<CAudioSetup> {
    AudioPage() : PageOnCard(QStringList{}) { page.show(); }
    void Activate(int cover = 0) {
        page.SetCoverFlag(cover);
        page.OnSetActive();
    }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    void Type(const char* name, const QString& text) { Edit(name)->setText(text); }
};

TEST(AudioPage, DmxWithoutChecksumShowsChannelsOneUpAndRefusesZero) {
    AudioPage p;
    p.Config().Set(field::kDmxReception, true);
    p.Config().Set(field::kDmxChecksumFlag, false);
    p.Config().Set(field::kLevelControlChannelLeft, 0);
    p.Config().Set(field::kRealtimeLevelLeft, true);
    p.Activate();
    EXPECT_EQ(p.Edit("levelChannelLeftEdit")->text(), "1");
    EXPECT_TRUE(p.Edit("levelChannelLeftEdit")->isEnabled());
    EXPECT_FALSE(p.Edit("levelChannelRightEdit")->isEnabled());  // its check is clear

    p.Type("levelChannelLeftEdit", "12");
    ASSERT_TRUE(p.page.OnKillActive());
    EXPECT_EQ(p.Config().Get(field::kLevelControlChannelLeft), 11u);

    p.Type("levelChannelLeftEdit", "0");
    EXPECT_FALSE(p.page.OnKillActive());
    ASSERT_EQ(p.prompter.shown.size(), 1u);
    EXPECT_EQ(p.prompter.shown[0].text, "Please enter a number between 1 and 512.");
    EXPECT_EQ(p.Config().Get(field::kLevelControlChannelLeft), 11u);
}

TEST(AudioPage, ChannelsBeyondTheArrowsAreStoredAsTyped) {
    struct Row {
        const char* mode;
        bool dmx, checksum, midi;
        const char* typed;
        std::uint32_t stored;
    };
    for (const Row& r : {Row{"DMX with checksum", true, true, false, "300", 300},
                         Row{"MIDI", false, false, true, "200", 200},
                         Row{"transmit", false, false, false, "600", 600},
                         Row{"DMX", true, false, false, "600", 599}}) {
        SCOPED_TRACE(r.mode);
        AudioPage p;
        p.Config().Set(field::kDmxReception, r.dmx);
        p.Config().Set(field::kDmxChecksumFlag, r.checksum);
        p.Config().Set(field::kMidiReception, r.midi);
        p.Config().Set(field::kRealtimeLevelLeft, true);
        p.Activate();
        p.Type("levelChannelLeftEdit", r.typed);
        EXPECT_TRUE(p.page.OnKillActive());
        EXPECT_EQ(p.Config().Get(field::kLevelControlChannelLeft), r.stored);
        EXPECT_TRUE(p.prompter.shown.empty());
        // More than the field holds is still refused.
        p.Type("levelChannelLeftEdit", "70000");
        EXPECT_FALSE(p.page.OnKillActive());
        EXPECT_EQ(p.prompter.shown.size(), 1u);
    }
}

TEST(AudioPage, ChannelsStayDisabledWhereTheReceptionTakesNoLevels) {
    for (const auto& reception : {field::kNetSerialReception, field::kIrRemoteReception}) {
        AudioPage p;
        p.Config().Set(reception, true);
        p.Config().Set(field::kRealtimeLevelRight, true);
        p.Activate();
        EXPECT_FALSE(p.Edit("levelChannelRightEdit")->isEnabled());
        p.Find<QCheckBox>("realtimeRightCheck")->click();
        p.Find<QCheckBox>("realtimeRightCheck")->click();
        EXPECT_FALSE(p.Edit("levelChannelRightEdit")->isEnabled());
    }
    // With no reception chosen the check decides; audio-only players have
    // the realtime rows covered.
    AudioPage p;
    p.Activate(1);
    EXPECT_FALSE(p.Find("realtimePanel")->isVisible());
    p.Activate();
    EXPECT_TRUE(p.Find("realtimePanel")->isVisible());
    p.Find<QCheckBox>("realtimeRightCheck")->click();
    EXPECT_TRUE(p.Edit("levelChannelRightEdit")->isEnabled());
}

TEST(AudioPage, GainsAreSignedAndValuesOutOfRangeAreRefused) {
    AudioPage p;
    p.Config().Set(field::kBassGain, -5);
    p.Activate();
    EXPECT_EQ(p.Edit("bassGainEdit")->text(), "-5");
    auto* spin = p.Find<QSpinBox>("bassGainSpin");
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(p.Edit("bassGainEdit")->text(), "-6");
    p.Type("mainVolumeRightEdit", "40");
    p.Find<QCheckBox>("powerAmplifiersCheck")->click();
    ASSERT_TRUE(p.page.OnKillActive());
    EXPECT_EQ(p.Config().Get(field::kBassGain), -6);
    EXPECT_EQ(p.Config().Get(field::kMainVolumeRight), 40u);
    EXPECT_FALSE(p.Config().Get(field::kPowerAmplifiersFlag));

    struct Row {
        const char* edit;
        const char* typed;
        const char* prompt;
    };
    for (const Row r : {Row{"halfMuteLeftEdit", "64", "between 0 and 63"},
                        Row{"trebleGainEdit", "13", "between -12 and 12"},
                        Row{"bassFrequencyEdit", "700", "between 20 and 600"},
                        Row{"trebleFrequencyEdit", "", "between 8000 and 16000"}}) {
        SCOPED_TRACE(r.edit);
        p.Activate();
        p.prompter.shown.clear();
        p.Type(r.edit, r.typed);
        EXPECT_FALSE(p.page.OnKillActive());
        ASSERT_EQ(p.prompter.shown.size(), 1u);
        EXPECT_NE(p.prompter.shown[0].text.find(r.prompt), std::string::npos);
    }
    EXPECT_EQ(p.Config().Get(field::kHalfMuteVolumeLeft), 30u);
}

}  // namespace
