#pragma once

#include "skin/slide_state.h"
#include "skin/window_kit.h"

#include <QColor>
#include <QDialog>
#include <QElapsedTimer>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace tw {

class TErrorLog;
class TImagePanel;

// The skinned window every window of the program derives from: no system frame, rounded
// corners, a picture header by which it is dragged, a picture body, and the user's window
// colour or tiled background picture, text colour and transparency.
//
// A derived window builds its controls as children of the window itself (created after the
// base, so they lie over the panels) and calls FinishCreation() at the end of its
// constructor; showing a window that has not done so finishes it then. Modal windows are
// run with exec() by whoever creates them; a modeless window that should free itself on
// closing sets Qt::WA_DeleteOnClose.
class TfrmBase : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmBase(TWindowKit& kit, QWidget* parent = nullptr);
    ~TfrmBase() override;

    static constexpr int HeaderHeight = 32;
    // The design colour of dark text on light panels; labels in it keep it (ApplyTextColor).
    static const QColor DesignFontColor;

    // Whether a header drag may move the window to (left, top); the main window docks
    // instead of moving and answers false.
    virtual bool CanMoveTo(int left, int top);

    // Clips the window to a rounded rectangle (20 x 20 corner ellipse).
    void ApplyRoundRegion();
    // Puts the skinned arrow on every combo box lying directly on the window.
    void ClipComboArrows();
    static void ClipComboArrow(QComboBox* combo);
    // Gives every label and check box below `control` the colour, except those that keep
    // the design's dark text colour; which ones those are is decided the first time.
    static void ApplyTextColor(QWidget* control, const QColor& colour);
    // Window opacity from a transparency percentage.
    void SetTransparency(int percent);
    QColor WindowColor() const { return windowColour_; }
    void SetWindowColor(const QColor& colour);

    // Checks a time-limit edit holding "hh:nn": a notice ("Please Note") and the focus
    // back in the edit when it is unreadable, 00:00 or beyond 23:59. Never throws.
    bool ValidateTimeLimit(QLineEdit* edit);

    // Shows one of the program's notices (the message window) and waits for OK.
    void ShowWarning(const QString& text, const QString& caption) {
        kit_.ShowWarning(text, caption);
    }
    // Opens a web address in the default browser; one written without a scheme ("host/path")
    // is opened with https.
    static void OpenUrl(const QString& address);

    // Sheet switching: a sheet is a page widget whose parent (the page control) is a hidden
    // child of this window. Its controls are moved onto the window, offset by the page
    // control's position, keeping their tab order; HideSheetControls moves them back.
    void ShowSheetControls(QWidget* sheet);
    void HideSheetControls();

    // Appends empty rows (no text, no data) so the list shows whole rows to its bottom.
    static void PadListRows(QListWidget* list);

    // What the window shares with the program's other windows; dialogs it opens get it too.
    TWindowKit& Kit() const { return kit_; }
    TWindowLook* Look() const { return kit_.Look(); }
    TErrorLog& Log() const { return kit_.Log(); }

    // A window first shown without a place of its own stands in the middle of the screen's
    // work area (not over its owner, as dialogs otherwise do).
    void setVisible(bool visible) override;

  protected:
    // Where the window is in sliding off its screen edge (TSlideState); a window is dragged
    // only while shown.
    int SlideState = ssShown;

    TImagePanel* pnlHeader = nullptr; // top, 32 high: the header picture, a dragging area
    QLabel* imgIcon = nullptr;        // 32 x 32 at 3, 3; hidden unless a window uses it
    QLabel* lblCaption = nullptr;     // the window title, also a dragging area
    TImagePanel* pnlBody = nullptr;   // the rest of the window

    // Applies the appearance once the derived window's controls exist.
    void FinishCreation();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LayoutPanels();

    TWindowKit& kit_;

    // Where a header drag took hold, and where the window was put for this showing and
    // when (see moveEvent).
    struct TPlacement {
        QPoint grabPoint;
        std::optional<QPoint> placedAt;
        QElapsedTimer placedSince;
    };

    QColor windowColour_;
    TPlacement placement_;
    bool created_ = false;
    QWidget* sheetPageControl_ = nullptr;
};

// The kit of the window `inWindow` lies in (the object itself, or one of its parents); a part
// of a window that is not a window itself reaches it so. Null outside every window.
TWindowKit* FindKit(const QObject* inWindow);
// The same where a window is certain; throws std::logic_error outside every window.
TWindowKit& KitOf(const QObject* inWindow);

} // namespace tw
