#pragma once

#include <QDialog>

// "About Cardwright": the program's name, release and legal notice.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QString ProductNameText() const;
    QString ReleaseText() const;
    QString LegalNoticeText() const;
};
