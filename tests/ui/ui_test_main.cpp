// The window tests run on Qt's offscreen platform with a data folder and configuration
// folders of their own, so no window opens on the desktop and no setting of the person
// running them is touched.
#include "platform/native_path.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The offscreen platform says, for every window, that it cannot shape, raise or fade it.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith("This plugin does not support")) {
        return;
    }
    fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) {
        abort();
    }
}

#ifdef _WIN32
// The offscreen platform of a Windows Qt knows only the fonts it is given (it looks for them
// in a folder Qt does not ship): without them every text is measured in no font at all. The
// system's registered fonts are what the windows meet on the Windows platform.
void AddSystemFonts() {
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::FontsLocation));
    const QSettings registered(
        QStringLiteral(
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"),
        QSettings::NativeFormat);
    for (const QString& name : registered.childKeys()) {
        const QString file = registered.value(name).toString();
        if (file.endsWith(QLatin1String(".ttf"), Qt::CaseInsensitive) ||
            file.endsWith(QLatin1String(".otf"), Qt::CaseInsensitive)) {
            QFontDatabase::addApplicationFont(folder.absoluteFilePath(file));
        }
    }
}
#endif

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// On a real X server the platform plugin asks the session bus about the accessibility bus and
// the tray; what the desktop's own libraries keep from that until the process ends is theirs,
// as for the program itself.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libglib-2.0.so\n";
}
#endif

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
#ifdef _WIN32
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        AddSystemFonts();
    }
#endif
    twtest::TempDir dataFolder;
    // Qt's own settings (the file dialogs' recent folders) too, which on Windows would go
    // into the person's registry.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(tw::Utf8Path(dataFolder.Path() / "qt")));
#ifndef _WIN32
    // The autostart entries, the person's and the system's, are the test's own too.
    setenv("XDG_CONFIG_HOME", (dataFolder.Path() / "config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (dataFolder.Path() / "xdg").c_str(), 1);
#endif
    return RUN_ALL_TESTS();
}
