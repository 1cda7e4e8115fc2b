#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "pages/PageFields.h"
#include "pages/PropertyPage.h"

class LevelChannels;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QWidget;

// "Audio Setup": levels, equalisation, realtime level control and the power
// amplifiers. The page loads every value when it comes to the front and
// writes them back when it is left or saved from; a value outside its range
// is refused and the page stays.
class CAudioSetup : public CPropertyPage {
    Q_OBJECT

  public:
    explicit CAudioSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);

    // 1 on the audio-only models, where the animation controls stay covered.
    void SetCoverFlag(int cover) { cover_ = cover; }
    int CoverFlag() const { return cover_; }

    bool OnSetActive() override;

  protected:
    bool StoreControls() override;

  private:
    // A number field, and what the page showed in it, which is kept even
    // when out of range.
    struct NumberField : pagefields::NumberEdit {
        int loaded = 0;
    };
    enum Field {
        kMainLeft,
        kMainRight,
        kHalfMuteLeft,
        kHalfMuteRight,
        kChannelLeft,
        kChannelRight,
        kBassFrequency,
        kBassGain,
        kTrebleFrequency,
        kTrebleGain,
        kFieldCount
    };

    NumberField MakeField(const char* objectName, int low, int high);
    void AddLevelRows(QGridLayout* grid);
    QWidget* BuildRealtimeRows();
    void AddToneRows(QGridLayout* grid);
    void Show(Field f, int value);
    // Reads a field; nothing, after the range prompt, when it is refused.
    std::optional<int> Read(Field f, int low, int high);
    std::optional<int> ReadChannel(Field f, const LevelChannels& channels);
    void UpdateEnabling();

    std::array<NumberField, kFieldCount> fields_{};
    std::array<QCheckBox*, 2> realtime_{};
    QCheckBox* amplifiers_ = nullptr;
    QWidget* realtimeRows_ = nullptr;
    int cover_ = 0;
};
