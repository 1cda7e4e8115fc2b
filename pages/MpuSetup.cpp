#include "pages/MpuSetup.h"

CMpuSetup::CMpuSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, QStringLiteral("Animation Control Setup"), parent) {}
