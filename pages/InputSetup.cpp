#include "pages/InputSetup.h"

CInputSetup::CInputSetup(CCardwrightDoc& doc, const QString& caption, QWidget* parent)
    : CPropertyPage(doc, caption, parent) {}
