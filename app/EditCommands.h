#pragma once

class QWidget;

// Undo, Redo, Cut, Copy and Paste of the Edit menu, applied to the text field
// that has the keyboard focus (a line edit, the edit of a spin or combo box,
// or a multi-line text).
namespace editcommands {

enum class Command { Undo, Redo, Cut, Copy, Paste };

// Whether `command` can act on `focus` now.
bool CanRun(Command command, QWidget* focus);
// Runs `command` on `focus`; false when it is no text field.
bool Run(Command command, QWidget* focus);

}  // namespace editcommands
