#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

// The pages at a display scale, on a 1024 x 768 screen without a display.
// The scale comes from CARDWRIGHT_TEST_SCALE and must be set before the
// application exists, so each scale runs this program on its own.
int main(int argc, char** argv) {
    QTemporaryDir settings;
    const QString screen = settings.filePath(QStringLiteral("screen.json"));
    QFile json(screen);
    if (!json.open(QIODevice::WriteOnly) ||
        json.write(R"({"screens": [{"name": "card-screen", "x": 0, "y": 0, "width": 1024,
                       "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0) {
        return 2;
    }
    json.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen).toLocal8Bit());
    const QByteArray scale = qgetenv("CARDWRIGHT_TEST_SCALE");
    qputenv("QT_SCALE_FACTOR", scale.isEmpty() ? QByteArray("1") : scale);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
