#include "pages/TrackSetup.h"

CTrackSetup::CTrackSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, QStringLiteral("Track Setup"), parent) {}
