#pragma once

// The document's own Save and Save As, as the pages end their save with them:
// Save writes to the current path (asking for one if there is none), Save As
// always asks. True when the file was written.
class SaveCommands {
  public:
    virtual ~SaveCommands() = default;
    virtual bool FileSave() = 0;
    virtual bool FileSaveAs() = 0;
};
