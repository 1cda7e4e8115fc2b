#include "model/CardwrightDoc.h"

#include "BuildInfo.h"

namespace {
CCardwrightDoc* g_document = nullptr;
}

CCardwrightDoc::CCardwrightDoc(Prompter& prompter, BusyIndicator* busy)
    : prompter_(prompter),
      busy_(busy),
      lister_([](const std::filesystem::path& dir, std::error_code& ec) {
          return platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
      }) {
    g_document = this;
    DeleteContents();
}

CCardwrightDoc::~CCardwrightDoc() {
    if (g_document == this) {
        g_document = nullptr;
    }
}

CCardwrightDoc* CCardwrightDoc::Current() {
    return g_document;
}

std::uint32_t CCardwrightDoc::ConfiguratorVersion() {
    return static_cast<std::uint32_t>(buildinfo::kVersionRelease);
}

void CCardwrightDoc::DeleteContents() {
    title_ = "TUNBOX";
    config_.SetDefaults();
    config_.SetConfigVersion(ConfiguratorVersion());
    schedules_.Clear();
    scheduleNames_.resize(ScheduleSet::kMaxSchedule + 1);
    for (std::string& name : scheduleNames_) {
        name.clear();
    }
    // The loaded flag and the caches of the last card scan survive.
}

void CCardwrightDoc::OnNewDocument() {
    DeleteContents();
    path_.clear();
    title_ = "TUNBOX";
    modified_ = false;
}

void CCardwrightDoc::SetPathName(const std::filesystem::path& path) {
    path_ = path;
    title_ = path.filename().string();
}

std::filesystem::path CCardwrightDoc::CardDirectory() const {
    if (path_.empty()) {
        std::error_code ec;
        return std::filesystem::current_path(ec);
    }
    return path_.parent_path();
}

CCardwrightDoc::UserEdit::UserEdit(CCardwrightDoc& doc)
    : doc_(doc), config_(doc.config_), schedules_(doc.schedules_) {}

CCardwrightDoc::UserEdit::~UserEdit() {
    if (doc_.config_ != config_ || !doc_.schedules_.SameFileContent(schedules_)) {
        doc_.SetModifiedFlag(true);
    }
}
