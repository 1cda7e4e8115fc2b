#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Prompter.h"

// A prompter that records every text and answers from a script (OK, or Yes,
// when the script has run out).
class ScriptedPrompter : public Prompter {
  public:
    struct Shown {
        std::string text;
        Buttons buttons;
        Icon icon;
    };

    Answer Ask(const std::string& text, Buttons buttons, Icon icon) override;
    void Script(std::initializer_list<Answer> answers) { answers_.insert(answers_.end(), answers); }

    std::vector<Shown> shown;

  private:
    std::deque<Answer> answers_;
};

// A fresh directory under the system's temporary folder, removed on
// destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void Touch(const std::filesystem::path& path, const std::string& content = "x");
