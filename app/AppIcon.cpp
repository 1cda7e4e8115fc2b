#include "app/AppIcon.h"

#include <QtGlobal>

// The resources live in a static library; nothing else would pull them in.
static void InitResources() {
    Q_INIT_RESOURCE(cardwright);
}

QIcon AppIcon() {
    InitResources();
    return QIcon(QStringLiteral(":/cardwright/cardwright.png"));
}
