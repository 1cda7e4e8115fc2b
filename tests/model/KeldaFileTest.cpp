#include <gtest/gtest.h>

#include "DocFixture.h"
#include "model/ConfigFile.h"
#include "model/KeldaFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const Bytes& b, std::size_t at, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at),
                 b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

std::uint32_t Be16(const Bytes& b, std::size_t at) {
    return (b[at] << 8) | b[at + 1];
}

CardConfig Defaults() {
    CardConfig c;
    c.SetDefaults();
    return c;
}

TEST(KeldaFile, NewDocumentStartsWithTheConvertedDefaults) {
    const Bytes k = keldafile::Encode(Defaults());
    ASSERT_EQ(k.size(), 9614u);
    Bytes head = {0x00, 0x26, 0x09, 0x86, 0x1C, 0x08, 0x00, 0x00, 0x00, 0x00};
    head.insert(head.end(), 24, 0x00);
    for (std::uint8_t b : {0xF0, 0xF0, 0x78, 0x78, 0x00, 0x01, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00,
                           0x3A, 0x98, 0x00, 0x00, 0x00, 0x04}) {
        head.push_back(b);
    }
    EXPECT_EQ(Slice(k, 0, head.size()), head);
    EXPECT_EQ(Be16(k, 299), 1u);
    EXPECT_EQ(Be16(k, 302), 2u);
    EXPECT_EQ(Be16(k, 305), 3u);
    EXPECT_EQ(Be16(k, 310), 0x0110u);
    EXPECT_EQ(Be16(k, 8598), 0x0003u);
}

TEST(KeldaFile, FieldsLandAtTheirOffsets) {
    CardConfig c = Defaults();
    c.Set(field::kBassGain, -3);
    c.Set(field::kMainVolumeLeft, 63);
    c.Set(field::kMainVolumeRight, 1);
    c.Set(field::kHalfMuteVolumeLeft, 2);
    c.Set(field::kHalfMuteVolumeRight, 3);
    c.Set(field::kTrebleGain, -12);
    c.Set(field::kCurrentDownloadStamp, 0x0011'2233'4455'6677ull);
    c.Set(field::kOpenCode, InputSet::Player, 0, 259);
    c.Set(field::kOpenPlaylist, InputSet::Player, 0, true);
    c.Set(field::kPowerUpTrack, 17);
    c.Set(field::kNextBootFlag, 0);
    c.Set(field::kLoadOnBootFlag, 1);
    c.Set(field::kChosenDownloadFile, "SHOW1.A01");
    c.Set(field::kCurrentDownloadFile, "SHOW2.A02");
    c.Set(field::kSpareFileName, "SPARE.BIN");
    c.SetTrackName(1, "TRACK01.MP3");
    c.SetTrackName(255, "LAST.WAV");
    c.Set(field::kStepOn, 1, true);
    c.Set(field::kEndAction, 1, playcode::kSameAgain);
    c.Set(field::kEndDelay, 1, 16383);
    c.Set(field::kWaitForInput, 1, true);
    c.SetTrackRecordWord(1, 1, c.TrackRecordWord(1, 1) | 0x3E);  // reserved bits 1-5
    c.Set(field::kFilePosition, 1, 300);
    c.Set(field::kPlaylistSlot, 1, 250);
    c.SetPlaylistCount(2, 4);
    c.SetPlaylistEntry(2, 0, "FIRST.MP3");
    c.SetPlaylistEntry(7, 31, "UNUSED.MP3");
    c.Set(field::kPlaylistRemember, 2, true);
    c.Set(field::kPlaylistRemember, 7, true);
    c.Set(field::kCloseCode, InputSet::Animation, 7, 262);
    c.Set(field::kClosePlaylist, InputSet::Animation, 7, true);
    c.Set(field::kCloseDelay, InputSet::Animation, 7, 12345);
    c.Set(field::kOpenCode, InputSet::Animation, 7, 5);
    c.Set(field::kOpenDelay, InputSet::Animation, 7, 7);
    c.Set(field::kInputMode, InputSet::Animation, 7, 9);
    c.Set(field::kCloseFade, InputSet::Animation, 7, 3);
    c.Set(field::kCloseFadeTime, InputSet::Animation, 7, 127);
    c.Set(field::kOpenFade, InputSet::Animation, 7, 2);
    c.Set(field::kOpenFadeTime, InputSet::Animation, 7, 100);
    c.Set(field::kBinaryBitMask, 0x81);
    c.Set(field::kAnimationBinaryBitMask, 0x42);
    c.Set(field::kSerialAddress, 0xAB);
    c.Set(field::kPlayerControlChannel, 0x1234);
    c.Set(field::kMidiChannel, 15);
    c.Set(field::kAnimationFirstNote, 60);
    c.Set(field::kAnimationInputMaskA, 0x55);
    c.Set(field::kFirstAnimationChannel, 512);
    c.Set(field::kOptionWord, 0xFFFFFF);  // bits 13 and 14 must not reach the file
    c.SetPlayerModel(PlayerModel::TunboxC40);
    c.Set(field::kChosenDownloadStamp, 0x0123'4567'89AB'CDEFull);

    const Bytes k = keldafile::Encode(c);
    EXPECT_EQ(Slice(k, 44, 2), (Bytes{0xFF, 0xFD}));
    EXPECT_EQ(Slice(k, 48, 2), (Bytes{0xFF, 0xF4}));
    EXPECT_EQ(k[36], 12);
    EXPECT_EQ(k[37], 8);
    EXPECT_EQ(Slice(k, 8610, 8), (Bytes{0x66, 0x77, 0x44, 0x55, 0x22, 0x33, 0x00, 0x11}));
    EXPECT_EQ(Be16(k, 52 + 4), 259u | 0x200u);
    EXPECT_EQ(k[34], 4);
    EXPECT_EQ(k[35], 252);
    EXPECT_EQ(Be16(k, 6), 17u);
    EXPECT_EQ(Be16(k, 8), 2u);
    EXPECT_EQ(Slice(k, 10, 12), (Bytes{'S', 'H', 'O', 'W', '1', '.', 'A', '0', '1', 0, 0, 0}));
    EXPECT_EQ(k[22 + 4], '2');
    EXPECT_EQ(k[314], 'S');
    EXPECT_EQ(Slice(k, 2450, 12),
              (Bytes{'T', 'R', 'A', 'C', 'K', '0', '1', '.', 'M', 'P', '3', 0}));
    EXPECT_EQ(k[2438 + 12 * 255], 'L');
    EXPECT_EQ(Be16(k, 398), (260u << 1) | 1u);
    EXPECT_EQ(Be16(k, 400), 16383u);
    EXPECT_EQ(Be16(k, 402), (300u << 6) | 0x3u);  // bits 0, 1 and 6-15 of the second word
    EXPECT_EQ(Be16(k, 404), 250u);
    EXPECT_EQ(Slice(k, 6284, 9), (Bytes{'F', 'I', 'R', 'S', 'T', '.', 'M', 'P', '3'}));
    EXPECT_EQ(Be16(k, 5510 + 2 * 386), 4u);
    EXPECT_EQ(k[5510 + 7 * 386 + 2 + 31 * 12], 'U');
    EXPECT_EQ(k[254 + 2], 0x20);
    EXPECT_EQ(k[254 + 7], 0x20);
    const std::size_t in7 = 148 + 7 * 12;
    EXPECT_EQ(Be16(k, in7), 262u | 0x200u);
    EXPECT_EQ(Be16(k, in7 + 2), 12345u);
    EXPECT_EQ(Be16(k, in7 + 4), 5u);
    EXPECT_EQ(Be16(k, in7 + 6), 7u);
    EXPECT_EQ(Be16(k, in7 + 8), 9u | (3u << 4) | (127u << 7));
    EXPECT_EQ(Be16(k, in7 + 10), 2u | (100u << 3));
    EXPECT_EQ(Be16(k, 244), 0x4281u);
    EXPECT_EQ(k[298], 0xAB);
    EXPECT_EQ(Be16(k, 299), 0x1234u);
    EXPECT_EQ(k[301], 15);
    EXPECT_EQ(k[304], 60);
    EXPECT_EQ(k[307], 0x55);
    EXPECT_EQ(Be16(k, 308), 512u);
    EXPECT_EQ(Be16(k, 310), 0x9FFFu);
    EXPECT_EQ(Be16(k, 312), 0xFFu);
    EXPECT_EQ(Slice(k, 8598, 2), (Bytes{0x00, 0x0C}));
    EXPECT_EQ(Slice(k, 8602, 8), (Bytes{0xCD, 0xEF, 0x89, 0xAB, 0x45, 0x67, 0x01, 0x23}));

    // The gaps stay zero.
    for (auto [from, to] :
         {std::pair{40, 42}, {246, 254}, {262, 298}, {326, 390}, {8600, 8602}, {8618, 9614}}) {
        for (int i = from; i < to; ++i) {
            ASSERT_EQ(k[static_cast<std::size_t>(i)], 0) << "offset " << i;
        }
    }
}

using KeldaSave = DocFixture;

TEST_F(KeldaSave, IsWrittenOnEverySaveAndFailuresDoNotStopIt) {
    // A configuration opened from an older version is written as the current one.
    CardConfig old;
    old.SetDefaults();
    old.Set(field::kConfigVersion, 37);
    WriteBytes(Cfg(), configfile::Encode(old));
    ASSERT_TRUE(doc->OnOpenDocument(Cfg()));
    prompter.shown.clear();
    ASSERT_TRUE(doc->OnSaveDocument(Cfg()));
    const Bytes kelda = ReadBytes(card / "KELDA.CFG");
    EXPECT_EQ(kelda, keldafile::Encode(*doc->GetConfig()));
    EXPECT_EQ(Slice(kelda, 0, 2), (Bytes{0x00, 0x26}));

    // A KELDA.CFG the card does not take fails the save, which then keeps
    // the document modified; the message names the file and what it was.
    std::filesystem::remove(card / "KELDA.CFG");
    std::filesystem::create_directory(card / "KELDA.CFG");
    doc->SetModifiedFlag(true);
    EXPECT_FALSE(doc->OnSaveDocument(Cfg()));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Unable to open KELDA config file for writing!\n\n\"" +
                                          (card / "KELDA.CFG").string() +
                                          "\": it is a folder, not a file. Nothing was written.");
    EXPECT_TRUE(doc->IsModified());
}

}  // namespace
