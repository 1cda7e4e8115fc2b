#pragma once

#include <array>
#include <filesystem>
#include <optional>

#include "model/AnimationControl.h"
#include "model/ShowFiles.h"
#include "pages/PageFields.h"
#include "pages/PropertyPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

// "Animation Control Setup": what the animation outputs listen to (or that
// they transmit DMX-512), the addresses, channels and notes of that mode, the
// options of the show in flash, and the show file the player loads at boot.
// The page loads when it comes to the front and stores when it is left or
// saved from; switching the mode keeps the numbers shown under the old one.
class CMpuSetup : public CPropertyPage {
    Q_OBJECT

  public:
    explicit CMpuSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);

    bool OnSetActive() override;

  protected:
    bool StoreControls() override;

  private:
    // The three numbers: the two whose meaning follows the mode, and the
    // player's control channel (or first note) between them.
    enum Number { kAddressOrChannel, kPlayerControl, kFirstChannelOrNote, kNumberCount };

    QWidget* BuildModeGroup();
    QLayout* BuildNumberRows();
    QWidget* BuildShowFileGroups();
    // Labels, arrow ranges and numbers for `mode`.
    void ShowMode(animation::Reception mode);
    // A mode button clicked: the old mode keeps what it showed.
    void OnModeClicked(int mode);
    // The number typed in a field; nothing (after telling the user, when
    // asked to) when the text is no number.
    std::optional<int> Read(Number n, bool tell);
    // Stores the two mode numbers for the mode shown; false when one is
    // refused.
    bool KeepModeNumbers();
    void ShowShowFiles();

    QButtonGroup* modes_ = nullptr;
    animation::Reception shownMode_ = animation::Reception::DmxTransmit;
    QCheckBox* dmxChecksum_ = nullptr;
    QCheckBox* midiNotes_ = nullptr;
    std::array<QLabel*, kNumberCount> labels_{};
    std::array<pagefields::NumberEdit, kNumberCount> numbers_{};
    QCheckBox* fromFlash_ = nullptr;
    QCheckBox* outputsOff_ = nullptr;
    QCheckBox* writeProtect_ = nullptr;

    QComboBox* showFiles_ = nullptr;
    QCheckBox* nextBoot_ = nullptr;
    QGroupBox* currentGroup_ = nullptr;
    QLabel* currentName_ = nullptr;
    QCheckBox* alwaysLoad_ = nullptr;
    showfiles::Scan scan_;
    // The folder whose failed listing the user was last told of.
    std::optional<std::filesystem::path> unreadableTold_;
};
