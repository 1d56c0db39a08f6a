#pragma once

namespace tw {

class TScanEngine;
class TScanHost;

// What a view does with the desktop's notices the program hands on, after the engine has
// taken its share.
class TNoticeView {
  public:
    virtual ~TNoticeView() = default;
    // The session or the power paused or restarted the count (a suspend, resume, lock or
    // unlock): whatever it was, the window is put away.
    virtual void PutAway() = 0;
    // The screen's work area moved (a panel or taskbar changed).
    virtual void WorkAreaChanged() = 0;
    // One press of the Alt hot key.
    virtual void HotKeyPressed() = 0;
};

// What the main window may ask of the program that runs it. The program owns the engine,
// the options and the timers; the window is its view and shows what they hold.
class TProgramControl {
  public:
    virtual ~TProgramControl() = default;

    virtual TScanEngine& Engine() = 0;
    // From now on the engine's questions and notices go to this view (null: to none, which
    // is how the program runs without windows).
    virtual void AttachView(TScanHost* view) = 0;
    // From now on the desktop's notices that are a view's go to this one (null: to none).
    virtual void AttachNoticeView(TNoticeView* view) = 0;
    // The settings wizard writes the options itself, piece by piece: the regular save waits
    // meanwhile, so that no half-applied set reaches the database.
    virtual void HoldSaving(bool hold) = 0;
};

} // namespace tw
