#pragma once

#include "ui/dock_geometry.h"

class QTimer;

namespace tw {

class TAppearance;
class TScanEngine;
class TfrmMain;

// Keeps the main window docked at a screen edge: its place and height as the view wants
// them, the edge a drag chooses, and auto-hide, which slides the window off its edge when
// the person leaves it and back when they touch the strip it leaves.
class TDockController {
  public:
    // slideState is the window's (TSlideState), which the desktop's notices also reset.
    TDockController(TfrmMain& window, TAppearance& appearance, int& slideState,
                    const TScanEngine& engine);

    int Align() const { return align_; }
    int AlignVertical() const { return alignVertical_; }
    void SetAlign(int value);
    void SetAlignVertical(int value);
    // Docks at the edges the appearance holds, whatever the window stood at before.
    void DockAsStored();
    void DockPosition();
    TWorkArea CurrentWorkArea() const;
    // The work area the window was last docked in.
    const TWorkArea& DockedArea() const { return workArea_; }
    // The screen's work area moved: a window docked in another one comes out and docks
    // afresh.
    void WorkAreaChanged();
    // A header drag to (left, top) only chooses the edge and corner; the window never
    // stands free.
    bool DragTo(int left, int top);
    // Whether the user is with the window: it is in front, or the mouse is over it.
    bool ApplicationInFocus();
    void SetAutohide(bool on);
    // The person touched the window or its strip: a window slid out comes back.
    void Touched();
    bool IsSlidOut() const;
    // Slides the window back in from its edge.
    void SlideIn();

  private:
    void DeactivationTick();
    void AutohideTick();
    void SlideStep();

    TfrmMain& window_;
    TAppearance& appearance_;
    int& slideState_;
    const TScanEngine& engine_;
    int align_ = daRight;
    int alignVertical_ = dvNone;
    TWorkArea workArea_;
    QTimer* tmrAutohide;
    QTimer* tmrAutohideSlide;
    QTimer* tmrDeactivation;
};

} // namespace tw
