#pragma once

#include "pages/PropertyPage.h"

// "Schedule": the clock models' calendar of schedules and the clock reset
// options.
class SchedulePage : public CPropertyPage {
    Q_OBJECT

  public:
    explicit SchedulePage(CCardwrightDoc& doc, QWidget* parent = nullptr);
};
