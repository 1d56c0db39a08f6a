#include "ui/main_window_tray.h"

#include "storage/clock.h"
#include "ui/dock_controller.h"
#include "ui/guarded.h"
#include "ui/main_window.h"
#include "ui/main_window_glyphs.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cmath>

namespace tw {

TTray::TTray(TfrmMain& window, TDockController& dock, const TClock& clock)
    : window_(window), clock_(clock), dock_(dock), lastAltPress_(clock.UtcNow()) {
    pmnTray = new QMenu(&window);
    pmnTray->setObjectName(QStringLiteral("pmnTray"));
    auto* actExit = new QAction(QObject::tr("&Exit"), &window);
    actExit->setObjectName(QStringLiteral("actExit"));
    actExit->setVisible(false); // the program is ended by its uninstaller or the session
    pmnTray->addAction(actExit);
    QObject::connect(actExit, &QAction::triggered, &window,
                     [&window] { emit window.TerminateRequested(); });

    trayIcon = new QSystemTrayIcon(&window);
    trayIcon->setObjectName(QStringLiteral("trayIcon"));
    trayIcon->setIcon(QIcon(QPixmap::fromImage(MainWindowPicture("tray").image)));
    trayIcon->setToolTip(QStringLiteral("Tallywick"));
    trayIcon->setContextMenu(pmnTray);
    QObject::connect(trayIcon, &QSystemTrayIcon::activated, &window,
                     [this](QSystemTrayIcon::ActivationReason r) {
                         if (r == QSystemTrayIcon::Trigger) {
                             Guarded(&window_, [this] { Toggle(); });
                         }
                     });
}

TTray::~TTray() {
    trayIcon->hide();
}

void TTray::Show() {
    trayIcon->show();
}

void TTray::Minimize() {
    if (available_) {
        window_.hide();
    } else {
        window_.showMinimized();
    }
}

void TTray::Restore() {
    if (window_.isMinimized()) {
        window_.showNormal();
    }
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void TTray::Toggle() {
    // Hiding the window under one of its dialogs would strand the dialog, and acting on the
    // window would go behind the dialog's back: the person is shown the dialog instead.
    if (QWidget* dialog = QApplication::activeModalWidget();
        dialog != nullptr && dialog != &window_) {
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    if (dock_.IsSlidOut()) {
        Restore();
        dock_.SlideIn();
    } else if (window_.isVisible() && !window_.isMinimized()) {
        if (window_.isEnabled()) {
            Minimize();
        }
    } else {
        Restore();
    }
}

void TTray::AltPressed() {
    const TDateTime now = clock_.UtcNow();
    if (std::abs(now - lastAltPress_) <= 0.5 * OneSecond) {
        Toggle();
        lastAltPress_ = 0;
    } else {
        lastAltPress_ = now;
    }
}

} // namespace tw
