#pragma once

#include "pages/PropertyPage.h"

// The document's own Save and Save As, as the pages end their save with them:
// Save writes to the current path (asking for one if there is none), Save As
// always asks. True when the files were written.
class SaveCommands {
  public:
    virtual ~SaveCommands() = default;
    virtual bool SaveDocument(SaveKind kind) = 0;
};
