#pragma once

#include <nlohmann/json.hpp>

// A JSON Schema (2020-12) of the settings files apply reads, made from the
// same setting table apply checks them against, so that an editor's
// completion and checks agree with the program's.
namespace doctor {

nlohmann::ordered_json SettingsSchema();

}  // namespace doctor
