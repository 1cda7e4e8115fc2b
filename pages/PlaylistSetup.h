#pragma once

#include <string>
#include <vector>

#include "pages/PropertyPage.h"

class QButtonGroup;
class QGroupBox;
class QCheckBox;
class PreviewButton;
class QPushButton;
class QTreeWidget;

// "Playlists": the eight playlists the inputs play from. The card's tracks
// are listed on the left, the chosen playlist's entries on the right. The
// page keeps no copy of the playlists: every action writes the document at
// once, and the slot values the player reads are derived again from the
// entry names whenever the page is left or saved from.
class CPlaylistSetup : public CPropertyPage {
    Q_OBJECT

  public:
    static const char* const kPlaylistFullText;

    explicit CPlaylistSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);
    ~CPlaylistSetup() override;

    void BeforeShow() override;
    bool OnSetActive() override;
    bool OnKillActive() override;

    // The playlist shown, 0 to 7, or -1 when no radio button is set.
    int SelectedPlaylist() const { return playlist_; }

  protected:
    void BeforeSave() override;
    void AfterSave(SaveKind kind, bool saved) override;

  private:
    // The row of playlist radio buttons.
    QGroupBox* BuildPlaylistChoice();
    void ConnectControls();
    // Reads the radio buttons into the selected playlist.
    void ReadControls();
    void FillAvailableTracks();
    void ShowPlaylist();
    void AddSelectedTracks();
    void DeleteSelectedEntries();
    // Moves the selected entries one place up (-1) or down (+1) as a block.
    void MoveSelected(int step);
    void OnRememberClicked();

    // Rows of the playlist list that are selected, top to bottom.
    std::vector<int> SelectedEntryRows() const;
    QString LongName(const std::string& shortName);

    QButtonGroup* playlistRadios_;
    QTreeWidget* availableTracks_;
    QTreeWidget* playlistTracks_;
    QPushButton* addTracksButton_;
    QPushButton* moveUpButton_;
    QPushButton* moveDownButton_;
    QPushButton* deleteButton_;
    QCheckBox* rememberCheck_;
    PreviewButton* preview_;

    int playlist_ = 0;
};
