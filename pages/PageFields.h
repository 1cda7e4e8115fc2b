#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Up and down arrows without a text of their own, beside an edit that shows
// the value and may hold values the arrows cannot reach.
class ArrowSpin : public QSpinBox {
    Q_OBJECT

  public:
    explicit ArrowSpin(QWidget* parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The edit the arrows step.
    QLineEdit* Edit() const { return edit_; }
    void SetEdit(QLineEdit* edit) { edit_ = edit; }
    // The user's steps, as against a value set by the program.
    void stepBy(int steps) override;

  signals:
    void Stepped();

  protected:
    // Only the keys that step; typing would go to the hidden text.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLineEdit* edit_ = nullptr;
};

// A drop-down list of names that may be long: track and show files,
// schedules. Every entry carries its whole text as its tooltip, and so does
// the closed box for the entry it shows. The open list is as wide as its
// longest entry needs but no wider than the window it drops from (nor the
// screen); an entry that still does not fit loses the middle of its text,
// so the number in front and the file's ending stay readable.
class NameCombo : public QComboBox {
  public:
    explicit NameCombo(QWidget* parent);

    void showPopup() override;

  private:
    void ShowWholeAsTip(int first, int last);
};

// What the pages share for the numbers the user types and the lists they
// show. The model holds every rule of the card; these only read, show and
// refuse text.
namespace pagefields {

// A number as typed, in the program's own notation or the user's; nothing
// when the text is not a number.
std::optional<double> ParseNumber(const QString& text);
std::optional<int> ParseWholeNumber(const QString& text);

// Seconds as typed, in the tenths a field holds: truncated, never wrapped,
// and kept within 0 to `maxTenths`. Every one-decimal value times ten lands
// on its whole number or just above it, so truncating loses no tenth.
int TenthsOf(double seconds, int maxTenths);
// Tenths as the pages show them: "12.5", "3", "0.1".
QString SecondsText(std::uint32_t tenths);

// The standard prompts for a refused field: "Please enter a number for the
// delay in seconds." (or "a whole number"), and "Please enter a number
// between 0 and 63." naming the field's limits.
QString NumberPrompt(const QString& forWhat, bool whole);
QString RangePrompt(double low, double high);

// A label's text as the user reads it, without the '&' that marks its Alt
// key ("&&" is a plain '&').
QString WithoutMnemonic(const QString& text);

// Tab enters the group's radio buttons at the checked one, however it came
// to be checked; the arrow keys go on to the others.
void TabToChecked(QButtonGroup* group);

// A push button of a page: named for the tests, and never the default button
// (Return belongs to the field being typed in).
QPushButton* MakeButton(QWidget* parent, const QString& text, const char* objectName);

// A list in report form, a row per item and the item's number in
// Qt::UserRole: no tree decoration, whole rows selected, fixed columns.
QTreeWidget* MakeReportList(QWidget* parent, const QString& objectName, const QStringList& headers,
                            QAbstractItemView::SelectionMode selection);

// A number the user types, with arrows beside it that step it within
// `low` to `high`; the text may hold what the arrows cannot reach. The two
// are named `name` + "Edit" and `name` + "Spin".
struct NumberEdit {
    QLineEdit* edit = nullptr;
    ArrowSpin* spin = nullptr;
    // Shows `value`, and the arrows at the nearest value they reach.
    void Show(int value) const;
    void SetRange(int low, int high) const;
};
NumberEdit MakeNumberEdit(QWidget* parent, const QString& name, int low, int high);

}  // namespace pagefields
