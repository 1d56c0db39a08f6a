#pragma once

namespace tw {

class TScanEngine;
class TScanHost;

// What the main window may ask of the program that runs it. The program owns the engine,
// the options and the timers; the window is its view and shows what they hold.
class TProgramControl {
  public:
    virtual ~TProgramControl() = default;

    virtual TScanEngine& Engine() = 0;
    // From now on the engine's questions and notices go to this view (null: to none, which
    // is how the program runs without windows).
    virtual void AttachView(TScanHost* view) = 0;
    // The settings wizard writes the options itself, piece by piece: the regular save waits
    // meanwhile, so that no half-applied set reaches the database.
    virtual void HoldSaving(bool hold) = 0;
};

} // namespace tw
