#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Naming the card's audio files in a settings file. The 8.3 aliases depend on
// the order the files were copied in, so one settings file fits many cards
// only when it can name a file by its long name; and FAT ignores letter case,
// so neither kind of name is matched by case.
namespace doctor {

// The long name of each audio file on the card by its 8.3 alias.
using AliasList = std::vector<std::pair<std::string, std::string>>;

// The alias of the file `name` names on this card: its alias or its long
// name, in any letter case. An exact match goes before one by case (a folder
// off a card may hold "a.wav" beside "A.WAV"), an alias before a long name.
std::optional<std::string> ResolveAudioName(const AliasList& aliases, const std::string& name);

// For a name that names no file: the files it most resembles, or when none
// does, the first few the card holds, as a phrase to end a message with.
std::string AudioCandidates(const AliasList& aliases, const std::string& name);

}  // namespace doctor
