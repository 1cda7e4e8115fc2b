#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class CCardwrightDoc;
class CScheduleEntryDlg;
class QLineEdit;
class QTreeWidget;

// "Schedule": the name of one schedule and its events, edited on the
// document's scratch list and stored into the schedule only on OK.
class CScheduleEntriesDlg : public QDialog {
    Q_OBJECT

  public:
    CScheduleEntriesDlg(CCardwrightDoc& doc, int schedule, const QString& name,
                        QWidget* parent = nullptr);

    QString Name() const;

    // Runs the entry editor; true on OK. The editor is made once per New or
    // Edit and run again after a refused time. Tests drive it here.
    std::function<bool(CScheduleEntryDlg&)> runEditor;

    void OnNewEntry();
    void OnEditEntry();
    void OnDeleteEntry();
    void accept() override;

  private:
    void AddLine(std::uint32_t entry);
    void RemoveLine(std::uint32_t entry);
    void Tell(const char* text);

    CCardwrightDoc& doc_;
    int schedule_;
    QLineEdit* name_ = nullptr;
    QTreeWidget* list_ = nullptr;
};
