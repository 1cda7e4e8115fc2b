#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "model/Prompter.h"

// Shows the program's messages and questions as modal message boxes over
// the given window (or the active one), titled with the application title.
class MessageBoxPrompter : public Prompter {
  public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    Answer Ask(const std::string& text, Buttons buttons, Icon icon) override;

  private:
    QPointer<QWidget> parent_;
};

// The wait cursor of long operations; nests.
class OverrideCursorBusy : public BusyIndicator {
  public:
    void Begin() override;
    void End() override;
};
