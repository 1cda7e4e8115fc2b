#include "pages/Devices.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <optional>
#include <vector>

namespace devices {

namespace {

// Where the modules are: beside an installed program, or in the build tree
// for the program and the tests run from there.
QStringList ModuleFolders() {
    QStringList folders;
    const QString env = qEnvironmentVariable("CARDWRIGHT_MODULE_DIR");
    if (!env.isEmpty()) {
        folders << env;
    }
    folders << QStringLiteral(CARDWRIGHT_MODULE_INSTALL_DIR);
    folders << QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/cardwright");
    folders << QStringLiteral(CARDWRIGHT_MODULE_BUILD_DIR);
    return folders;
}

template <typename Interface>
Interface* Load(const char* name, QString& error) {
    static Interface* loaded = nullptr;
    static QString failure;
    if (loaded == nullptr && failure.isEmpty()) {
        QStringList reasons;
        for (const QString& folder : ModuleFolders()) {
            QPluginLoader loader(QDir(folder).filePath(QString::fromLatin1(name)));
            if (QObject* instance = loader.instance()) {
                loaded = qobject_cast<Interface*>(instance);
                if (loaded != nullptr) {
                    break;
                }
            }
            reasons << loader.errorString();
        }
        if (loaded == nullptr) {
            failure = QStringLiteral("The module %1 could not be loaded.\n\n%2")
                          .arg(QString::fromLatin1(name), reasons.join(QLatin1Char('\n')));
        }
    }
    error = failure;
    return loaded;
}

// How long after the first page asks the sound outputs are looked at.
constexpr int kSoundLookDelayMs = 300;

struct Waiting {
    QPointer<QObject> context;
    std::function<void(const QString&)> known;
};

struct SoundState {
    std::optional<QString> unavailable;
    bool looking = false;
    std::vector<Waiting> waiting;
};

SoundState& State() {
    static SoundState state;
    return state;
}

void Look() {
    SoundState& state = State();
    QString error;
    SoundOutputs* sound = Sound(error);
    state.unavailable = sound != nullptr ? sound->Unavailable() : error;
    std::vector<Waiting> waiting = std::move(state.waiting);
    state.waiting.clear();
    for (Waiting& w : waiting) {
        if (w.context == nullptr) {
            continue;
        }
        w.known(*state.unavailable);
        if (sound != nullptr) {
            auto known = w.known;
            sound->WatchOutputs(w.context, [sound, known] { known(sound->Unavailable()); });
        }
    }
}

}  // namespace

SoundOutputs* Sound(QString& error) {
    return Load<SoundOutputs>("cardwright-sound", error);
}

ReportPrinter* Printer(QString& error) {
    return Load<ReportPrinter>("cardwright-print", error);
}

bool SoundLookedAt() {
    return State().unavailable.has_value();
}

void WhenSoundKnown(QObject* context, std::function<void(const QString&)> known) {
    SoundState& state = State();
    state.waiting.push_back({context, std::move(known)});
    if (state.unavailable) {
        QTimer::singleShot(0, context, Look);
    } else if (!state.looking) {
        state.looking = true;
        QTimer::singleShot(kSoundLookDelayMs, qApp, Look);
    }
}

}  // namespace devices
