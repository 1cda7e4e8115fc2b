#pragma once

#include <QStringList>
#include <filesystem>
#include <vector>

#include "model/AddAudio.h"

class CPropertyPage;
class QWidget;

// What adding audio asks of the user: the files, and which of them to write
// in what order. The program asks with a file dialog and CAddAudioDialog;
// tests answer for the user.
class AudioChoices {
  public:
    virtual ~AudioChoices() = default;
    virtual QStringList PickFiles(QWidget* parent) = 0;
    // The files to write, in order; empty when the user cancelled.
    virtual std::vector<addaudio::Source> Confirm(QWidget* parent,
                                                  const std::filesystem::path& cardDir,
                                                  const DirectoryLister& lister,
                                                  std::vector<addaudio::Source> sources) = 0;
};

// The program's own choices, through its dialogs.
AudioChoices& DialogAudioChoices();

// The flows behind "Add Audio…" and "Put in Track Order" on the Track and
// Track Warning pages. Each is one step of the user's for undo, made on the
// page that started it.
namespace audioflows {

// Probes `files` (asking for some when there are none), lets the user
// confirm and order them, writes them with a progress dialog and makes the
// files written the next tracks. True when the track list changed.
bool AddAudio(CPropertyPage& page, AudioChoices& choices, QStringList files = {});

// Puts the files of SOUNDS in the order of their track numbers, the files
// without a track after them, and the settings follow their files. True
// when the document changed.
bool PutInTrackOrder(CPropertyPage& page);

// Whether the card's files lie in another order than their tracks say.
bool OutOfTrackOrder(const CPropertyPage& page);

// Writes the plan off the window's thread, with a progress dialog whose
// Cancel stops it; the window keeps answering meanwhile.
addaudio::AddResult WriteWithProgress(QWidget* parent, const addaudio::Plan& plan,
                                      addaudio::AudioTool& tool, const DirectoryLister& lister);

}  // namespace audioflows
