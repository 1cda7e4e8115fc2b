#include "schedule/SchedulePage.h"

SchedulePage::SchedulePage(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, QStringLiteral("Schedule"), parent) {}
