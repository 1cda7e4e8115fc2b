#include "app/HelpDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

const char* const HelpDialog::kUnknownHelpText = "Sorry, don't know what you need help doing!";

HelpDialog::HelpDialog(int mode, const QString& scheduleText, QWidget* parent)
    : QDialog(parent),
      text_(new QLabel(mode == kScheduleHelp ? scheduleText : QString::fromUtf8(kUnknownHelpText),
                       this)) {
    setWindowTitle(QStringLiteral("TUNBOX Configurator Help"));
    text_->setObjectName(QStringLiteral("helpText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}

QString HelpDialog::HelpText() const {
    return text_->text();
}
