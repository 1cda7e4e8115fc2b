#include "app/AppIcon.h"

#include <QImageReader>
#include <QPixmap>
#include <QtGlobal>

// The resources live in a static library; nothing else would pull them in.
static void InitResources() {
    Q_INIT_RESOURCE(cardwright);
}

QIcon AppIcon() {
    // Read once, for the application and each window that shows it. It is
    // never freed: as a static object it would be destroyed after the
    // application object, which a pixmap must not outlive.
    static const QIcon* const icon = [] {
        InitResources();
        // The format is named and not guessed: guessing loads every image
        // plugin installed to ask whether it reads PNG.
        QImageReader reader(QStringLiteral(":/cardwright/cardwright.png"), "png");
        reader.setAutoDetectImageFormat(false);
        return new QIcon(QPixmap::fromImageReader(&reader));
    }();
    return *icon;
}
