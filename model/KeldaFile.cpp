#include "model/KeldaFile.h"

namespace keldafile {
namespace {

class Writer {
  public:
    explicit Writer(std::vector<std::uint8_t>& buf) : buf_(buf) {}

    void Be16(std::size_t at, std::uint32_t v) {
        buf_[at] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        buf_[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
    }
    void Byte(std::size_t at, std::uint32_t v) { buf_[at] = static_cast<std::uint8_t>(v & 0xFF); }
    // The twelve bytes of a packed name, in character order.
    void Name(std::size_t at, const CardConfig& config, int word) {
        std::uint8_t* out = buf_.data() + at;
        for (int w = 0; w < layout::kNameLength / 3; ++w, out += 3) {
            const std::uint32_t v = config.Word(word + w);
            out[0] = static_cast<std::uint8_t>(v & 0xFF);
            out[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
            out[2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
        }
    }
    void Stamp(std::size_t at, std::uint64_t t) {
        for (int i = 0; i < 4; ++i) {
            Be16(at + 2 * static_cast<std::size_t>(i), static_cast<std::uint32_t>(t >> (16 * i)));
        }
    }

  private:
    std::vector<std::uint8_t>& buf_;
};

constexpr std::size_t kInputSets = 52;
constexpr std::size_t kInputRecordSize = 12;
constexpr std::size_t kTrackRecords = 390;
constexpr std::size_t kTrackNames = 2438;
constexpr std::size_t kPlaylists = 5510;
constexpr std::size_t kPlaylistSize = 386;

// The file's own header, the power-up track, the download file names and the
// audio settings.
void WriteHeaderAndAudio(Writer& out, const CardConfig& c) {
    out.Be16(0, c.Get(field::kConfigVersion));
    out.Be16(2, static_cast<std::uint32_t>(kTrackNames));
    out.Be16(4, 7176);
    out.Be16(6, c.Get(field::kPowerUpTrack));
    out.Be16(8, c.Get(field::kNextBootFlag) | (c.Get(field::kLoadOnBootFlag) << 1));
    out.Name(10, c, 4);
    out.Name(22, c, 8);
    out.Byte(34, c.Get(field::kMainVolumeRight) * 4);
    out.Byte(35, c.Get(field::kMainVolumeLeft) * 4);
    out.Byte(36, c.Get(field::kHalfMuteVolumeRight) * 4);
    out.Byte(37, c.Get(field::kHalfMuteVolumeLeft) * 4);
    out.Be16(38, c.Get(field::kPowerAmplifiersFlag));
    out.Be16(42, c.Get(field::kBassCornerFrequency));
    out.Be16(44, static_cast<std::uint32_t>(c.Get(field::kBassGain)));
    out.Be16(46, c.Get(field::kTrebleCornerFrequency));
    out.Be16(48, static_cast<std::uint32_t>(c.Get(field::kTrebleGain)));
    out.Be16(50, c.Get(field::kAudioConstant));
}

// The player's and then the animation's input records.
void WriteInputs(Writer& out, const CardConfig& c) {
    for (int set = 0; set < 2; ++set) {
        const InputSet s = set == 0 ? InputSet::Player : InputSet::Animation;
        for (int i = 0; i < layout::kInputCount; ++i) {
            const std::size_t at = kInputSets + static_cast<std::size_t>(set) * 96 +
                                   static_cast<std::size_t>(i) * kInputRecordSize;
            const std::uint32_t w0 = c.InputRecordWord(s, i, 0);
            const std::uint32_t w1 = c.InputRecordWord(s, i, 1);
            const std::uint32_t w2 = c.InputRecordWord(s, i, 2);
            out.Be16(at, w0 & 0x3FF);
            out.Be16(at + 2, c.Get(field::kCloseDelay, s, i));
            out.Be16(at + 4, w1 & 0x3FF);
            out.Be16(at + 6, c.Get(field::kOpenDelay, s, i));
            out.Be16(at + 8, w2 & 0x3FFF);
            out.Be16(at + 10, w2 >> 14);
        }
    }
}

// The bit masks, the playlist options, the MIDI and control channels and the
// option word.
void WriteOptions(Writer& out, const CardConfig& c) {
    out.Be16(244, (c.Get(field::kAnimationBinaryBitMask) << 8) | c.Get(field::kBinaryBitMask));
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        out.Byte(254 + static_cast<std::size_t>(p), c.Get(field::kPlaylistOptions, p));
    }
    out.Byte(298, c.Get(field::kSerialAddress));
    out.Be16(299, c.Get(field::kPlayerControlChannel));
    out.Byte(301, c.Get(field::kMidiChannel));
    out.Be16(302, c.Get(field::kLevelControlChannelLeft));
    out.Byte(304, c.Get(field::kAnimationFirstNote));
    out.Be16(305, c.Get(field::kLevelControlChannelRight));
    out.Byte(307, c.Get(field::kAnimationInputMaskA));
    out.Be16(308, c.Get(field::kFirstAnimationChannel));
    out.Be16(310, (c.Get(field::kOptionWord) & 0x1FFF) | (c.Get(field::kOptionWord) & 0x8000));
    out.Be16(312, c.Get(field::kAnimationInputMaskB));
    out.Name(314, c, 90);
}

// Each track slot's record, and its name in the table of names.
void WriteTracks(Writer& out, const CardConfig& c) {
    for (int n = 0; n < layout::kTrackSlots; ++n) {
        const std::size_t at = kTrackRecords + 8 * static_cast<std::size_t>(n);
        out.Be16(at, c.TrackRecordWord(n, 0) & 0x3FF);
        out.Be16(at + 2, c.Get(field::kEndDelay, n));
        out.Be16(at + 4, c.TrackRecordWord(n, 1) & 0xFFC3);
        out.Be16(at + 6, c.Get(field::kPlaylistSlot, n));
        out.Name(kTrackNames + 12 * static_cast<std::size_t>(n), c,
                 layout::kTrackNamesWord + 4 * n);
    }
}

void WritePlaylists(Writer& out, const CardConfig& c) {
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        const std::size_t at = kPlaylists + kPlaylistSize * static_cast<std::size_t>(p);
        out.Be16(at, c.RawPlaylistCount(p));
        for (int k = 0; k < 32; ++k) {
            out.Name(at + 2 + 12 * static_cast<std::size_t>(k), c,
                     layout::PlaylistWord(p) + 1 + 4 * k);
        }
    }
}

// The player model and the download stamps close the file.
void WriteModelAndStamps(Writer& out, const CardConfig& c) {
    out.Be16(8598, c.Get(field::kPlayerModelWord) & 0x3F);
    out.Stamp(8602, c.Get(field::kChosenDownloadStamp));
    out.Stamp(8610, c.Get(field::kCurrentDownloadStamp));
}

}  // namespace

std::vector<std::uint8_t> Encode(const CardConfig& c) {
    std::vector<std::uint8_t> buf(kSize, 0);
    Writer out(buf);
    WriteHeaderAndAudio(out, c);
    WriteInputs(out, c);
    WriteOptions(out, c);
    WriteTracks(out, c);
    WritePlaylists(out, c);
    WriteModelAndStamps(out, c);
    return buf;
}

}  // namespace keldafile
