#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/Prompter.h"

// Records every message and question, and answers from a script; once the
// script has run out, with the first button (OK, or Yes).
class ScriptedPrompter : public Prompter {
  public:
    struct Shown {
        std::string text;
        Buttons buttons;
        Icon icon;
    };

    Answer Ask(const std::string& text, Buttons buttons, Icon icon) override;
    void Script(std::initializer_list<Answer> next) { answers.insert(answers.end(), next); }

    std::deque<Answer> answers;
    std::vector<Shown> shown;
};
