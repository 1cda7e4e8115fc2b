#pragma once

#include <QDialog>

class QLabel;

// "TUNBOX Configurator Help": one text, chosen by the mode its caller sets.
class HelpDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kScheduleHelp = 1;
    static const char* const kUnknownHelpText;

    // `scheduleText` is what the schedule mode shows; its owner supplies it.
    HelpDialog(int mode, const QString& scheduleText, QWidget* parent = nullptr);

    QString HelpText() const;

  private:
    QLabel* text_;
};
