#pragma once

#include "model/CardConfig.h"
#include "pages/PropertyPage.h"

// "Input Setup" and "Animation Input Setup": the eight control inputs of one
// input action table.
class CInputSetup : public CPropertyPage {
    Q_OBJECT

  public:
    CInputSetup(CCardwrightDoc& doc, const QString& caption, QWidget* parent = nullptr);

    // Which of the two tables of input action records the page edits.
    void SetTableSelector(InputSet set) { set_ = set; }
    InputSet TableSelector() const { return set_; }

  private:
    InputSet set_ = InputSet::Player;
};
