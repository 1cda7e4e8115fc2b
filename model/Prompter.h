#pragma once

#include <string>

// Every message and question the model shows the user goes through this
// interface: the program answers with real message boxes, tests with a script.
class Prompter {
  public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;
    virtual Answer Ask(const std::string& text, Buttons buttons, Icon icon) = 0;

    void Tell(const std::string& text, Icon icon = Icon::None) { Ask(text, Buttons::Ok, icon); }
};

// Shows the busy cursor for as long as a long operation runs.
class BusyIndicator {
  public:
    virtual ~BusyIndicator() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

// Holds the busy indicator (if any) for the lifetime of a scope.
class BusyScope {
  public:
    explicit BusyScope(BusyIndicator* busy) : busy_(busy) {
        if (busy_) {
            busy_->Begin();
        }
    }
    ~BusyScope() {
        if (busy_) {
            busy_->End();
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    BusyIndicator* busy_;
};
