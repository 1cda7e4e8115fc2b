#pragma once

#include "pages/PropertyPage.h"

// "Track Setup": each track's end behaviour, the power-up track and the order of tracks.
class CTrackSetup : public CPropertyPage {
    Q_OBJECT

  public:
    explicit CTrackSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);
};
