#pragma once

#include "pages/PropertyPage.h"

// "Animation Control Setup": the animation ports, addresses and channels, and the show file kept in
// flash.
class CMpuSetup : public CPropertyPage {
    Q_OBJECT

  public:
    explicit CMpuSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);
};
