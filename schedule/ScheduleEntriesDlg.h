#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

class CCardwrightDoc;
class CScheduleEntryDlg;
class QLineEdit;
class QTreeWidget;

// "Schedule": the name of one schedule and its events. The dialog edits its
// own copy of the events, kept in time order with one event per minute as
// the schedules keep theirs; the caller takes the edited list after OK.
class CScheduleEntriesDlg : public QDialog {
    Q_OBJECT

  public:
    CScheduleEntriesDlg(CCardwrightDoc& doc, std::vector<std::uint32_t> entries,
                        const QString& name, QWidget* parent = nullptr);

    QString Name() const;
    const std::vector<std::uint32_t>& Entries() const { return entries_; }

    // Runs the entry editor; true on OK. The editor is made once per New or
    // Edit and run again after a refused time. Tests drive it here.
    std::function<bool(CScheduleEntryDlg&)> runEditor;

    void OnNewEntry();
    void OnEditEntry();
    void OnDeleteEntry();

  private:
    void AddLine(std::uint32_t entry);
    void RemoveLine(std::uint32_t entry);
    void Tell(const char* text);

    CCardwrightDoc& doc_;
    std::vector<std::uint32_t> entries_;
    QLineEdit* name_ = nullptr;
    QTreeWidget* list_ = nullptr;
};
