#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;
class TLinkLabel;

// The controls the windows lay over their bodies, in the program's look. Every builder
// names the control (its object name) and gives it an accessible name where its text does
// not already say what it is.

// Places a window in the middle of the work area of the screen its owner is on (or its own).
void CentreOnScreen(QWidget* window);

// The windows' usual font: Arial in pixels, bold or not.
QFont DesignFont(int pixels, bool bold);
// Where the system has no Arial (a fresh Wine prefix, a Linux system without fontconfig's
// alias), a font of Arial's measures stands in, so that texts fit where they were placed.
// Once, after the application object exists.
void UseArialStandIns();

// Text on the window's body: white in the design, so that it takes the user's text colour
// (TfrmBase::ApplyTextColor).
QLabel* BodyLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  const QFont& font = DesignFont(13, true));
// Text and edits on a light panel keep the design's dark colour whatever the text colour.
void MakeDark(QWidget* control);
// Text on the dark body in the design's white.
void MakeLight(QWidget* control);
// A clickable, underlined text on the body; it reads as a link to a screen reader too.
TLinkLabel* LinkLabel(QWidget* parent, const char* name, const QString& text, int left, int top);

// A light rounded panel that controls are laid over.
TImagePanel* LightPanel(QWidget* parent, const char* name, const QRect& place, int side = 10);

// A drop-down list on a light pill, with a clear button over its skinned arrow that drops
// the list down (a click there always opens it, whatever the style does with the arrow).
struct TSkinnedCombo {
    TImagePanel* panel;
    QComboBox* combo;
    TImageButton* arrow;
};
TSkinnedCombo SkinnedCombo(QWidget* parent, const char* panelName, const char* comboName,
                           const char* arrowName, const QRect& place, const QStringList& items,
                           const QString& accessibleName);

// A borderless memo lying on a light panel, with a vertical scroll bar when it needs one.
QPlainTextEdit* MemoBox(QWidget* parent, const char* name, const QRect& place,
                        const QString& accessibleName);
// A borderless one-line edit lying on a light panel.
QLineEdit* PanelEdit(QWidget* parent, const char* name, const QRect& place,
                     const QString& accessibleName);

} // namespace tw
