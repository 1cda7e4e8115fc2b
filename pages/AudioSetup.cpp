#include "pages/AudioSetup.h"

CAudioSetup::CAudioSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, QStringLiteral("Audio Setup"), parent) {}
