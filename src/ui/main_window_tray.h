#pragma once

#include "base/date_time.h"

class QMenu;
class QSystemTrayIcon;

namespace tw {

class TClock;
class TDockController;
class TfrmMain;

// The main window's icon in the desktop's tray, its menu, and what brings the window out
// or puts it away: a click on the icon or a double press of Alt.
class TTray {
  public:
    // The clock times the double press of Alt.
    TTray(TfrmMain& window, TDockController& dock, const TClock& clock);
    ~TTray();

    void Show();
    // Where the desktop offers no tray, the window stays reachable: set before showing.
    void SetAvailable(bool available) { available_ = available; }
    // Puts the window away: hides it to the tray, or, without a tray, minimizes it like any
    // window so it can still be found.
    void Minimize();
    void Restore();
    // The window comes out, or is put away; while one of its dialogs is open the dialog is
    // brought forward instead.
    void Toggle();
    // One press of Alt; two within half a second toggle the window.
    void AltPressed();

  private:
    TfrmMain& window_;
    const TClock& clock_;
    TDockController& dock_;
    QMenu* pmnTray;
    QSystemTrayIcon* trayIcon;
    TDateTime lastAltPress_;
    bool available_ = true;
};

} // namespace tw
