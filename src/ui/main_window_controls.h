#pragma once

#include <QRect>
#include <QString>

class QAction;
class QLabel;
class QListWidget;
class QObject;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;

// Column widths of the list header strips; the rows draw their grid from them.
inline constexpr int NameColumnWidth = 171;
inline constexpr int TypeColumnWidth = 42;
inline constexpr int TimeColumnWidth = 92;

// The main window's controls as its views build them, each with its object name.
template <class T> T* MakeNamed(QWidget* parent, const char* name) {
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}
// A menu action under the owner, with its object name.
QAction* NamedAction(QObject* owner, const char* name, const QString& text);
TImagePanel* MakePanel(QWidget* parent, const char* name, const QRect& place, const char* picture,
                       int side = 10);
TImageButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                         const QRect& place);
// A small picture button without a frame of its own (header and list buttons).
TImageButton* MakeIconButton(QWidget* parent, const char* name, const char* picture,
                             const QRect& place, const QString& hint);
// A column header strip: a light panel with a dark title.
void MakeColumnHeader(QWidget* parent, const char* panelName, const char* labelName,
                      const QString& title, int left, int top, int width, TImagePanel** panel,
                      QLabel** label);
// A list of items with their time, drawn in the columns above it.
QListWidget* MakeTimeList(QWidget* parent, const char* name, const QRect& place, int rowHeight,
                          QObject* owner);

} // namespace tw
