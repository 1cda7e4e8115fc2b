#include "ScriptedPrompter.h"

Prompter::Answer ScriptedPrompter::Ask(const std::string& text, Buttons buttons, Icon icon) {
    shown.push_back({text, buttons, icon});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}
