#pragma once

#include "skin/form_controls.h"

#include <QRect>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;

// The controls the configuration windows are built from. Each gets its object name, and an
// accessible name (its text, or the label that stands for it) so that it can be found by a
// screen reader and by the desktop's accessibility tools.

// A label in the window's text colour (ApplyTextColor recolours it).
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top);
// A label whose text wraps within the rectangle.
QLabel* MakeText(QWidget* parent, const char* name, const QString& text, const QRect& place);
// An underlined label that acts when clicked; a link, for the accessibility tools.
QLabel* MakeLink(QWidget* parent, const char* name, const QString& text, int left, int top,
                 std::function<void()> onClick);
// A borderless text box on a light pill; for a password, the characters show as "*".
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& accessibleName,
                    const QRect& place, bool password = false);
// A drop-down list on a light pill with the skinned arrow.
QComboBox* MakeCombo(QWidget* parent, const char* name, const QString& accessibleName,
                     const QRect& place, const QStringList& items);
// A list box on a white panel.
QListWidget* MakeListBox(QWidget* parent, const char* name, const QString& accessibleName,
                         const QRect& place);
// A small picture button with a hint, in the standard pictures.
TImageButton* MakeSmallButton(QWidget* parent, const char* name, const QString& caption,
                              const QString& hint, const QRect& place);

} // namespace tw
