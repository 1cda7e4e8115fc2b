#pragma once

#include "pages/PropertyPage.h"

// "Audio Setup": levels, equalisation, realtime level control and the power
// amplifiers.
class CAudioSetup : public CPropertyPage {
    Q_OBJECT

  public:
    explicit CAudioSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);

    // 1 on the audio-only models, where the animation controls stay covered.
    void SetCoverFlag(int cover) { cover_ = cover; }
    int CoverFlag() const { return cover_; }

  private:
    int cover_ = 0;
};
