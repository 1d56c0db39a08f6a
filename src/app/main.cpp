// The program's entry: one copy per user, the program object with the main window as its
// view and the tray icon, and an orderly end when the uninstaller or the session asks for it.
#include "app/command_line.h"
#include "app/program.h"
#include "app/program_files.h"
#include "app/qt_timers.h"
#include "base/exception.h"
#include "base/scope_exit.h"
#include "dialogs/failure_notice_form.h"
#include "dialogs/message_windows.h"
#include "dialogs/settings_form.h"
#include "dialogs/warning_form.h"
#include "skin/form_controls.h"
#include "skin/pictures.h"
#include "skin/window_kit.h"
#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/seed_data_folder.h"
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

    // The windows' kit, once it is made; what escapes before or after goes unreported.
    void SetKit(tw::TWindowKit* kit) { kit_ = kit; }

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            if (kit_ != nullptr) {
                tw::ReportApplicationException(*kit_, e);
            }
            return false;
        }
    }

  private:
    tw::TWindowKit* kit_ = nullptr;
};

// Ends the message loop, and a modal window's loop too, and notes that the end was asked
// for. Not quit(): that first asks every window to close, and the main window refuses, since
// closing it only puts it away.
void EndLoop(bool& endRequested) {
    endRequested = true;
    QCoreApplication::exit(0);
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
    // Started first: the program's time counts from the start of the process.
    TSystemClockSource clockSource;
    TClock clock(clockSource);
    TApplication application(argc, argv);
    // Named once the data folder is known; what fails before goes nowhere.
    TErrorLog log;
    log.SetClock(&clock);
    UseCommandLine(argc, argv, log);
    // What the windows share; the look joins it once the appearance is known.
    TWindowKit kit(log);
    application.SetKit(&kit);
    const TScopeExit forgetKit([&application] { application.SetKit(nullptr); });
    // Set once the uninstaller or the session asked the program to end; a start-up still in
    // the first-run wizard then goes no further.
    bool endRequested = false;
    const auto endLoop = [&endRequested] { EndLoop(endRequested); };
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
    UseArialStandIns();
    InstallMessageWindows(kit);
    const auto reportFailure = [&kit](const std::exception& e) {
        ReportApplicationException(kit, e);
    };

    // What a timer's handler throws is shown in the error window and the program goes on.
    TQtTimers timers(application, reportFailure);
    TSystemInstanceLocks locks;
    std::unique_ptr<TDesktop> desktop;
    std::unique_ptr<TProgram> program;
    std::unique_ptr<TWindowLook> look;
    try {
        const TPlaces places = SystemPlaces();
        log.SetFilePath(places.LogFilePath());
        desktop = CreateDesktop();
        program = std::make_unique<TProgram>(*desktop, locks, timers, clock, places, log);
        look = std::make_unique<TWindowLook>(program->Data().Appearance());
        kit.SetLook(look.get());
        if (!program->TakeInstanceLock()) {
            // Said on standard error too, for a start from a terminal or a script.
            std::fprintf(stderr, "Please Note: Application is already running\n");
            ShowWarning(kit, QStringLiteral("Application is already running"),
                        QStringLiteral("Please Note"));
            RemoveFlagFile(places);
            return 1;
        }
        program->WatchForTheEnd(endLoop);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        ReportApplicationException(kit, e);
        return 1;
    }
    // Where the end comes as a signal; Windows brings it with the messages Qt's loop handles.
    if (const int descriptor = program->SessionEnd().Descriptor(); descriptor >= 0) {
        auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, &application);
        QObject::connect(notifier, &QSocketNotifier::activated, &application,
                         [&program] { program->SessionEnd().Deliver(); });
    }

    // The window goes before the program whose engine it shows.
    std::unique_ptr<TfrmMain> window;
    int result = 0;
    try {
        program->LoadOptions();
        TOptions& options = program->Options();
        const bool firstStart = ShowFirstRunSettings(kit, options, *desktop);
        if (!endRequested) {
            program->Start();
            window = std::make_unique<TfrmMain>(kit, *desktop, options, *program);
            QObject::connect(window.get(), &TfrmMain::TerminateRequested, &application, endLoop,
                             Qt::QueuedConnection);
            program->ListenToNotices();
            // Without a tray a hidden window could never be found again: then it starts shown
            // and minimizes like any other window.
            const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
            window->ShowAtStart(tray, firstStart);
            if (options.LoadFailed()) {
                // The details went to the error log; the person needs to know that what they
                // stored is neither in force nor lost, and which file it is.
                const QString text = QString::fromStdString(
                    "Your settings could not be read. Tallywick uses its defaults and leaves "
                    "them unchanged.\n\nFile: " +
                    options.SettingsDBPath() + "\nReason: " + options.LoadError());
                QTimer::singleShot(0, [&kit, text] { ExecuteFailureNotice(kit, text); });
            }
            application.exec();
        }
    } catch (const ETemplatesMissing& e) {
        // A broken install: the person is told where the files should be, and no empty
        // databases are made in their place.
        std::fprintf(stderr, "Please Note: %s\n", e.what());
        ShowWarning(kit, QString::fromStdString(e.what()), QStringLiteral("Please Note"));
        result = 1;
    } catch (const std::exception& e) {
        // Start-up failed: the next start takes the lock again.
        std::fprintf(stderr, "%s\n", e.what());
        ReportApplicationException(kit, e);
        result = 1;
    }
    window.reset();
    kit.SetLook(nullptr);
    program->Finish();
    return result;
}
