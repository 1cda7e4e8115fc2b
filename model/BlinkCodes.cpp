#include "model/BlinkCodes.h"

#include <array>
#include <charconv>

namespace {

constexpr const char* kShowDownloadFailed =
    "The Player attempted to download the Show file to the MPU \nand failed.  This may be a "
    "transient problem; try rebooting \nthe player again. If this error persists it may "
    "indicate a \ncorrupt Show file or a problem with the MPU.";

constexpr std::array<BlinkCode, 10> kCodes{{
    {32781, "No Disk\t3", "The SmartMedia card formatting is corrupt.",
     "The disk format is corrupt and the player cannot locate \nsome of the important "
     "directory structures.  This often \nindicates that the card has been formatted by DOS "
     "or    \nWindows rather than the RezuRaruze or ZavaDurozi utility."},
    {32782, "No Config File\t4", "The config file is missing",
     "The player cannot locate the config file.  Either this \nis a blank disk, the "
     "configurator has not been run on the \ndisk, or the disk structures are corrupt.  Open "
     "the disk \nin Windows and see if the config file is present.  If it \nis, you may have "
     "to reformat the disk and start over. \nRemember that formatting the disk will lose all "
     "of your data!"},
    {32783, "Bad Read\t5", "Got an error reading the Config File",
     "The Player was unable to read the Config File or the Schedule\nfile from disk.  This "
     "usually indicates a corrupt file.  Try \nrunning the Configurator and re-saving the "
     "configuration."},
    {32784, "Bad Version\t6", "The Config File is a newer version number than the player firmware",
     "The version number of the Player firmware is less than the \nversion number of the "
     "Configurator.  Older Formware might \nnot correctly interpret a newer version of a "
     "Config File, so\nit refuses to run.  Use an older Configurator to update the\nConfig "
     "File, or update the SmartMedia card to newer Firmware."},
    {32785, "Bad Config Size\t7", "The config file is the wrong size or corrupt data",
     "The Config File is not the correct size.  This is either a\nproblem with the SmartMedia "
     "card, or the wrong version of\nconfig file for this version of the Firmware on the "
     "SmartMedia\ncard.  Make sure the card is readable in Windows and the Config\nFile is "
     "correct, and try updating the Firmware to the correct\nversion for the Config File "
     "used."},
    {32786, "Bad Write\t8", "Unable to update the Config File",
     "The Player needs to update the Config File after doing an \ninitial download of a show "
     "to the MPU.  When the Player \ntried to write the updated config file to the disk it "
     "got a\nfatal write error.  This usually indicates a problem with \nthe SmartMedia "
     "card."},
    {32787, "Bad Initial Auto-Download\t9", "Failed to download the show to the MPU",
     kShowDownloadFailed},
    {32788, "Bad Auto-download\t10", "Unable to download the show to the MPU", kShowDownloadFailed},
    {32789, "Bad Config Update\t11", "Unable to open the Config File for writing",
     "The Player needs to update the Config File after doing an \ninitial download of a show "
     "to the MPU.  When the Player \ntried to open the Config File for writing it got an "
     "error.\nThis usually indicates a problem with the SmartMedia card."},
    {32790, "Bad Schedule Download\t12", "Unable to download the Schedule file to the MPU",
     "The Player attempted to download the Schedule file to the MPU \nand failed.  This may "
     "be a transient problem; try rebooting \nthe player again. If this error persists it may "
     "indicate a \ncorrupt Schedule file or a problem with the MPU."},
}};

}  // namespace

std::span<const BlinkCode> BlinkCodes() {
    return kCodes;
}

std::string_view BlinkName(const BlinkCode& code) {
    const std::string_view text = code.menuText;
    return text.substr(0, text.find('\t'));
}

int BlinkCount(const BlinkCode& code) {
    const std::string_view text = code.menuText;
    const std::string_view digits = text.substr(text.find('\t') + 1);
    int count = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), count);
    return count;
}

const BlinkCode* BlinkCodeFor(int count) {
    for (const BlinkCode& code : kCodes) {
        if (BlinkCount(code) == count) {
            return &code;
        }
    }
    return nullptr;
}
