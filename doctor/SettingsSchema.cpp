#include "doctor/SettingsSchema.h"

#include "doctor/SettingNames.h"
#include "doctor/Settings.h"
#include "model/ScheduleSet.h"

namespace doctor {

namespace {

using Json = nlohmann::ordered_json;
using names::Kind;
using names::Setting;

constexpr const char* kFileName = "^[^\\u0000]{0,255}$";

Json Integer(std::int64_t min, std::int64_t max) {
    return {{"type", "integer"}, {"minimum", min}, {"maximum", max}};
}

Json ValueSchema(const Setting& s) {
    switch (s.kind) {
        case Kind::Bool:
            return {{"type", "boolean"}};
        case Kind::Name:
            return {{"type", "string"}, {"maxLength", layout::kNameLength}};
        case Kind::Stamp:
            // Dumped in quotes; a bare number is read too.
            return {{"anyOf",
                     {{{"type", "string"}, {"pattern", "^[0-9]{1,20}$"}},
                      {{"type", "integer"}, {"minimum", 0}}}}};
        case Kind::Signed:
        case Kind::Unsigned:
            break;
    }
    const auto runs = names::AllowedRuns(s);
    if (runs.size() == 1) {
        return Integer(runs.front().first, runs.front().second);
    }
    Json any = Json::array();
    for (const auto& [low, high] : runs) {
        any.push_back(Integer(low, high));
    }
    return {{"anyOf", any}};
}

Json Object(Json properties, const std::vector<const char*>& required = {}) {
    Json o = {{"type", "object"}, {"additionalProperties", false}};
    if (!required.empty()) {
        o["required"] = required;
    }
    o["properties"] = std::move(properties);
    return o;
}

Json Properties(const std::vector<Setting>& settings) {
    Json p = Json::object();
    for (const Setting& s : settings) {
        p[s.name] = ValueSchema(s);
    }
    return p;
}

Json List(Json items) {
    return {{"type", "array"}, {"items", std::move(items)}};
}

Json Tracks() {
    Json p = {{"track", Integer(1, layout::kMaxTrack)},
              {"file_name", {{"type", "string"}, {"pattern", kFileName}}},
              {"long_name", {{"type", "string"}, {"pattern", kFileName}}}};
    p.update(Properties(names::TrackSettings()));
    return List(Object(std::move(p), {"track"}));
}

Json Playlists() {
    Json entries = List({{"type", "string"}, {"pattern", kFileName}});
    entries["maxItems"] = layout::kPlaylistEntries;
    return List(Object({{"playlist", Integer(1, layout::kPlaylistCount)},
                        {names::PlaylistRemember().name, ValueSchema(names::PlaylistRemember())},
                        {"entries", std::move(entries)}},
                       {"playlist"}));
}

Json Inputs() {
    Json p = {{"input", Integer(0, layout::kInputCount - 1)}};
    p.update(Properties(names::InputSettings()));
    const Json list = List(Object(std::move(p), {"input"}));
    return Object({{"player", list}, {"animation", list}});
}

Json Schedules() {
    const auto cells = [](const char* pattern) {
        return List({{"type", "string"}, {"pattern", pattern}});
    };
    const Json time = {{"type", "string"}, {"pattern", "^([01][0-9]|2[0-3]):[0-5][0-9]$"}};
    const Json entry = {{"oneOf",
                         {Object({{"time", time}, {"track", Integer(1, 255)}}, {"time", "track"}),
                          Object({{"time", time}, {"show", Integer(0, 255)}}, {"time", "show"})}}};
    Json one = Object({{"schedule", Integer(1, ScheduleSet::kMaxSchedule)},
                       {"entries", List(entry)},
                       {"days", cells("^(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])$")},
                       {"weekdays", cells("^(0[1-9]|1[0-2])-(Sun|Mon|Tue|Wed|Thu|Fri|Sat)$")}},
                      {"schedule"});
    return Object(
        {{"clock_reset_time",
          {{"type", "string"}, {"pattern", "^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$"}}},
         {"list", List(std::move(one))}});
}

Json Raw() {
    return {{"type", "object"},
            {"description", "whole configuration words by index, 0 to 2933"},
            {"propertyNames", {{"pattern", "^[0-9]{1,4}$"}}},
            {"additionalProperties", Integer(0, 0xFFFFFF)}};
}

Json Top() {
    Json models = Json::array();
    for (const std::string& name : ModelNames()) {
        models.push_back(name);
    }
    models.push_back(nullptr);
    Json p = {{"$schema", {{"type", "string"}}},
              {"format", {{"const", kSettingsFormat}}},
              {"version", Integer(1, kSettingsVersion)},
              {"model", {{"enum", std::move(models)}}},
              {names::PowerUpTrack().name, ValueSchema(names::PowerUpTrack())}};
    for (const names::Section& section : names::RecordSections()) {
        p[section.name] = Object(Properties(section.settings));
    }
    p["tracks"] = Tracks();
    p["unused_tracks"] = Object(Properties(names::UnusedTrackSettings()));
    p["playlists"] = Playlists();
    p["inputs"] = Inputs();
    p["schedules"] = Schedules();
    p["raw"] = Raw();
    return p;
}

}  // namespace

nlohmann::ordered_json SettingsSchema() {
    Json schema = {{"$schema", "https://json-schema.org/draft/2020-12/schema"},
                   {"title", "Cardwright card settings"},
                   {"description",
                    "A card's settings as cardwright-cli dump --json writes them and "
                    "cardwright-cli apply reads them: a whole dump, or only the keys to change. "
                    "Made by cardwright-cli schema."}};
    schema.update(Object(Top()));
    return schema;
}

}  // namespace doctor
