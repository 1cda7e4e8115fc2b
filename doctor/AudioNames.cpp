#include "doctor/AudioNames.h"

#include <algorithm>

#include "model/Text.h"

namespace doctor {

namespace {

constexpr std::size_t kCandidatesShown = 3;
constexpr std::size_t kFilesShown = 5;

std::string Lower(const std::string& s) {
    std::string out = s;
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

// The edits that turn one name into the other, letter case aside.
std::size_t Distance(const std::string& a, const std::string& b) {
    const std::string x = Lower(a), y = Lower(b);
    std::vector<std::size_t> row(y.size() + 1);
    for (std::size_t j = 0; j <= y.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= x.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0u : 1u)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

std::string Shown(const std::pair<std::string, std::string>& file) {
    return file.first == file.second ? text::Concat({"\"", file.second, "\""})
                                     : text::Concat({"\"", file.second, "\" (", file.first, ")"});
}

// "a", "a or b", "a, b or c": `last` joins the last two.
std::string Listed(const std::vector<std::string>& names, const char* last) {
    std::string out;
    for (std::size_t k = 0; k < names.size(); ++k) {
        out += text::Concat({k == 0 ? "" : k + 1 == names.size() ? last : ", ", names[k]});
    }
    return out;
}

}  // namespace

std::optional<std::string> ResolveAudioName(const AliasList& aliases, const std::string& name) {
    using Match = bool (*)(const std::pair<std::string, std::string>&, const std::string&);
    const Match matches[] = {
        [](const auto& f, const std::string& n) { return f.first == n; },
        [](const auto& f, const std::string& n) { return f.second == n; },
        [](const auto& f, const std::string& n) { return text::EqualIgnoringCase(f.first, n); },
        [](const auto& f, const std::string& n) { return text::EqualIgnoringCase(f.second, n); },
    };
    for (const Match match : matches) {
        for (const auto& file : aliases) {
            if (match(file, name)) {
                return file.first;
            }
        }
    }
    return std::nullopt;
}

std::string AudioCandidates(const AliasList& aliases, const std::string& name) {
    if (aliases.empty()) {
        return "the card's SOUNDS folder holds no audio files";
    }
    // Near enough to be a slip of the keyboard or a copy's other alias.
    const std::size_t near = std::max<std::size_t>(2, name.size() / 3);
    std::vector<std::pair<std::size_t, std::size_t>> ranked;  // distance, index
    for (std::size_t k = 0; k < aliases.size(); ++k) {
        const std::size_t d =
            std::min(Distance(name, aliases[k].first), Distance(name, aliases[k].second));
        if (d <= near) {
            ranked.emplace_back(d, k);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end());
    std::vector<std::string> shown;
    for (std::size_t k = 0; k < ranked.size() && k < kCandidatesShown; ++k) {
        shown.push_back(Shown(aliases[ranked[k].second]));
    }
    if (!shown.empty()) {
        return text::Concat({"did you mean ", Listed(shown, " or "), "?"});
    }
    for (std::size_t k = 0; k < aliases.size() && k < kFilesShown; ++k) {
        shown.push_back(Shown(aliases[k]));
    }
    const std::size_t more = aliases.size() - shown.size();
    if (more > 0) {
        shown.push_back(text::Concat({std::to_string(more), " more"}));
    }
    return text::Concat({"the card holds ", Listed(shown, " and ")});
}

}  // namespace doctor
