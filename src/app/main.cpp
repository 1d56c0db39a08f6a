// The program's entry: one copy per user, the main window with its timers and tray icon,
// and an orderly end when the uninstaller or the session asks for it.
#include "app/command_line.h"
#include "app/program_files.h"
#include "base/exception.h"
#include "dialogs/failure_notice_form.h"
#include "dialogs/message_windows.h"
#include "dialogs/settings_form.h"
#include "dialogs/warning_form.h"
#include "platform/session_end.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_file.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

// What escapes an event handler is shown in the error window and the program goes on.
class TApplication : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            tw::ReportApplicationException(e);
            return false;
        }
    }
};

// Set once the uninstaller or the session asked the program to end; a start-up still in the
// first-run wizard then goes no further.
bool endRequested = false;

// Ends the message loop, and a modal window's loop too. Not quit(): that first asks every
// window to close, and the main window refuses, since closing it only puts it away.
void EndLoop() {
    endRequested = true;
    QCoreApplication::exit(0);
}

// The first-run wizard comes before the main window and its uninstall watch: a package
// removed meanwhile must end this copy all the same, within about a second.
bool ShowFirstRunSettingsUnlessEnded(tw::TOptions& options) {
    QTimer uninstallWatch;
    QObject::connect(&uninstallWatch, &QTimer::timeout, [] {
        if (tw::UninstallRequested()) {
            EndLoop();
        }
    });
    uninstallWatch.start(1000);
    tw::ShowFirstRunSettings(options);
    return !endRequested;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// Under the leak checker, what the desktop's own libraries keep until the process ends is
// theirs, not ours: the session bus connection Qt opens for the tray and the fonts.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libglib-2.0.so\n";
}
#endif

int main(int argc, char** argv) {
    using namespace tw;
    TApplication application(argc, argv);
    UseCommandLine(argc, argv);
#ifdef SIGXFSZ
    // A file-size limit is a full disk by another name: the write fails and is reported,
    // instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication::setApplicationName(QStringLiteral("Tallywick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tallywick"));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.tallywick.Tallywick"));
    // The window only hides when closed; the program ends by its uninstaller or the session.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallMessageWindows();

    TOptions* options = nullptr; // once loaded
    std::unique_ptr<TDesktop> desktop;
    std::unique_ptr<TSessionEndWatch> sessionEnd;
    try {
        desktop = CreateDesktop();
        if (!InstanceLockAcquire(*desktop)) {
            // Said on standard error too, for a start from a terminal or a script.
            std::fprintf(stderr, "Please Note: Application is already running\n");
            ShowWarning(QStringLiteral("Application is already running"),
                        QStringLiteral("Please Note"));
            RemoveFlagFile();
            return 1;
        }
        // Browsers started from now on expose their addresses; nothing else about how the
        // person starts them changes.
        desktop->SwitchOnAccessibility();
        sessionEnd = std::make_unique<TSessionEndWatch>([&options] {
            SecureForSessionEnd(options);
            EndLoop();
        });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        ReportApplicationException(e);
        return 1;
    }
    // Where the end comes as a signal; Windows brings it with the messages Qt's loop handles.
    if (sessionEnd->Descriptor() >= 0) {
        auto* notifier =
            new QSocketNotifier(sessionEnd->Descriptor(), QSocketNotifier::Read, &application);
        QObject::connect(notifier, &QSocketNotifier::activated, &application,
                         [&sessionEnd] { sessionEnd->Deliver(); });
    }

    // Declared out here so that the window, which owns the engine, goes last.
    std::unique_ptr<TfrmMain> window;
    int result = 0;
    try {
        SeedDataFolder();
        options = &GOptions_Local();
        if (ShowFirstRunSettingsUnlessEnded(*options)) {
            window = std::make_unique<TfrmMain>(*desktop, *options);
            window->UninstallRequested = [] { return tw::UninstallRequested(); };
            QObject::connect(window.get(), &TfrmMain::TerminateRequested, &application, EndLoop,
                             Qt::QueuedConnection);
            window->ConnectNotices();
            // Without a tray a hidden window could never be found again: then it starts shown
            // and minimizes like any other window.
            const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
            if (tray) {
                // Its tray icon is its face: no taskbar button, as with the hidden window's.
                desktop->RemoveTaskbarButton(static_cast<TWindowHandle>(window->winId()));
            }
            window->ShowAtStart(tray);
            if (options->LoadFailed()) {
                // The details went to the error log; the person needs to know that what they
                // stored is neither in force nor lost, and which file it is.
                const QString text = QString::fromStdString(
                    "Your settings could not be read. Tallywick uses its defaults and leaves "
                    "them unchanged.\n\nFile: " +
                    TOptions::SettingsDBPath() + "\nReason: " + options->LoadError());
                QTimer::singleShot(0, [text] { ExecuteFailureNotice(text); });
            }
            application.exec();
        }
        InstanceLockRelease();
    } catch (const ETemplatesMissing& e) {
        // A broken install: the person is told where the files should be, and no empty
        // databases are made in their place.
        std::fprintf(stderr, "Please Note: %s\n", e.what());
        ShowWarning(QString::fromStdString(e.what()), QStringLiteral("Please Note"));
        InstanceLockRelease();
        result = 1;
    } catch (const std::exception& e) {
        // Start-up failed: the lock file stays, unlocked; the next start takes it.
        std::fprintf(stderr, "%s\n", e.what());
        ReportApplicationException(e);
        result = 1;
    }
    sessionEnd.reset();
    options = nullptr;
    FinishProgram();
    window.reset(); // the engine, its probe and its logger go with it
    return result;
}
