#pragma once

#include <QHash>
#include <QString>
#include <array>

#include "model/CardConfig.h"
#include "model/InputAction.h"
#include "model/InputTable.h"
#include "pages/PropertyPage.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;

// "Input Setup" and "Animation Input Setup": the eight control inputs of one
// input action table. The page shows one input at a time, the current input,
// and stores every change into the document as it is made; the modes and
// the "All" buttons write the table at once.
class CInputSetup : public CPropertyPage {
    Q_OBJECT

  public:
    // The arrows reach what the fields hold: 999.9 s of delay, 9.9 s of fade.
    static constexpr int kDelayMaxTenths = 9999;
    static constexpr int kFadeTimeMaxTenths = 99;

    CInputSetup(CCardwrightDoc& doc, PageId id, QWidget* parent = nullptr);
    ~CInputSetup() override;

    // Which of the two tables of input action records the page edits.
    void SetTableSelector(InputSet set) { set_ = set; }
    InputSet TableSelector() const { return set_; }

    bool OnSetActive() override;

    // The input whose settings the controls show.
    int CurrentInput() const { return current_; }

  protected:
    bool StoreControls() override;

  private:
    // The controls of one side, close or open.
    struct SideControls {
        inputs::Side side;
        QGroupBox* box;
        QButtonGroup* kinds;
        QComboBox* choice;
        QComboBox* scope;
        QLineEdit* delayEdit;
        QSpinBox* delaySpin;
        QComboBox* stop;
        QComboBox* fade;
        QLineEdit* fadeTimeEdit;
        QSpinBox* fadeTimeSpin;
        InputAction action;  // what the controls show
    };

    class SideMaker;

    void BuildControls();
    QLayout* BuildChooseArea();
    QWidget* BuildActionArea();
    QWidget* BuildBinaryDisplay();
    // The controls of one side in a group box of their own; made in the order
    // the user meets them, which is also the Tab order.
    void BuildSide(SideControls& s, QWidget* parent, const QString& title, const QString& prefix);
    void ConnectControls();
    void ConnectSide(SideControls& s);

    CardConfig& Config() const;
    std::uint32_t ModeOf(int input) const;
    bool HasActions(std::uint32_t mode) const;

    // Loads the current input into the controls; nothing is stored.
    void LoadCurrentInput();
    // Reads both sides and writes the current input, then the masks the
    // player reads. False when a typed number was refused (the user has been
    // told, the stored value stays). `typing` is the field the user is typing
    // into, whose text is left alone.
    bool Commit(const QLineEdit* typing = nullptr);
    // The binary bit masks, and on the animation page masks A and B.
    void StoreMasks();
    bool ReadSide(SideControls& s);
    void WriteSide(SideControls& s, const QLineEdit* typing);
    void FillChoices(SideControls& s);
    void UpdateEnabling(SideControls& s);
    // The input list, the mode list, the binary group and the covers, from
    // the table.
    void ShowModes();
    void TellRefused(const QString& text);

    void OnInputChosen(int index);
    void OnModeChosen(int mode);
    void OnScopeChosen(SideControls& s);
    void OnNumberEdited(SideControls& s, const QLineEdit* edit);
    void OnNumberFinished(SideControls& s, QLineEdit* edit);
    void OnSpin(SideControls& s, QSpinBox* spin);
    // Commits what is shown, lets `rule` set every mode, and shows the
    // current input afresh.
    void OnAll(void (*rule)(CardConfig&, InputSet));

    InputSet set_ = InputSet::Player;
    int current_ = 0;

    QComboBox* input_;
    QComboBox* mode_;
    QWidget* binaryArea_;
    QLabel* binaryDisplay_;
    QPushButton* allUnused_;
    QPushButton* allIndependent_;
    QPushButton* allBinary_;
    QStackedWidget* actionCover_;
    std::array<SideControls, 2> sides_{};
    // What each field being typed into held before the typing began: every
    // number is stored as it is typed, and a refusal goes back to this.
    QHash<const QLineEdit*, int> typedFrom_;
    // Set while a message is up, so that the focus leaving an edit for the
    // message box does not report the same text again.
    bool telling_ = false;
};
