#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/AppIcon.h"
#include "app/VersionInfo.h"

namespace {

QLabel* Named(QLabel* label, const char* name) {
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Cardwright"));

    QString product;
    QString release;
    QString legal;
    VersionInfo info;
    if (ReadVersionInfo(info)) {
        product = info.productName;
        release =
            QStringLiteral("Release %1.%2.%3").arg(info.major).arg(info.minor).arg(info.release);
        legal = info.legalNotice;
    }

    auto* icon = Named(new QLabel(this), "programIcon");
    icon->setPixmap(AppIcon().pixmap(48, 48));
    auto* picture = Named(new QLabel(this), "aboutPicture");
    picture->setPixmap(AppIcon().pixmap(96, 96));
    auto* hidden = Named(new QLabel(this), "spareText");
    hidden->hide();

    auto* texts = new QVBoxLayout;
    texts->addWidget(Named(new QLabel(product, this), "productName"));
    texts->addWidget(Named(new QLabel(release, this), "releaseText"));
    texts->addWidget(Named(new QLabel(legal, this), "legalNotice"));
    texts->addWidget(hidden);
    texts->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, Qt::AlignTop);
    grid->addLayout(texts, 0, 1);
    grid->addWidget(picture, 0, 2, Qt::AlignTop);
    grid->addWidget(buttons, 1, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutDialog::ProductNameText() const {
    return findChild<QLabel*>(QStringLiteral("productName"))->text();
}

QString AboutDialog::ReleaseText() const {
    return findChild<QLabel*>(QStringLiteral("releaseText"))->text();
}

QString AboutDialog::LegalNoticeText() const {
    return findChild<QLabel*>(QStringLiteral("legalNotice"))->text();
}
