#include "app/AppIcon.h"

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/cardwright/cardwright.png"));
}
