#include "app/AppIcon.h"

#include <QImageReader>
#include <QPixmap>
#include <QtGlobal>

// The resources live in a static library; nothing else would pull them in.
static void InitResources() {
    Q_INIT_RESOURCE(cardwright);
}

QIcon AppIcon() {
    InitResources();
    // The format is named and not guessed: guessing loads every image plugin
    // installed, at each start, to ask whether it reads PNG.
    QImageReader reader(QStringLiteral(":/cardwright/cardwright.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImageReader(&reader));
}
