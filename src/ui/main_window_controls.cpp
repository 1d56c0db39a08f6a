#include "ui/main_window_controls.h"

#include "monitor/scan_engine.h"
#include "skin/form_controls.h"
#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "ui/guarded.h"
#include "ui/main_window_glyphs.h"
#include "ui/main_window_list_rows.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

namespace tw {

QAction* NamedAction(QObject* owner, const char* name, const QString& text) {
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

TImagePanel* MakePanel(QWidget* parent, const char* name, const QRect& place, const char* picture,
                       int side) {
    auto* panel = MakeNamed<TImagePanel>(parent, name);
    panel->setGeometry(place);
    panel->SetBackground(MainWindowPicture(picture));
    panel->SetSideWidth(side);
    panel->SetSideHeight(side);
    return panel;
}

TImageButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                         const QRect& place) {
    auto* button = MakeNamed<TImageButton>(parent, name);
    button->UseStandardPictures();
    button->SetSideWidth(8);
    button->SetSideHeight(8);
    button->SetCaption(caption);
    button->setFont(DesignFont(13, true));
    button->setGeometry(place);
    return button;
}

TImageButton* MakeIconButton(QWidget* parent, const char* name, const char* picture,
                             const QRect& place, const QString& hint) {
    auto* button = MakeNamed<TImageButton>(parent, name);
    button->SetPicture(MainWindowPicture(picture));
    button->setGeometry(place);
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void MakeColumnHeader(QWidget* parent, const char* panelName, const char* labelName,
                      const QString& title, int left, int top, int width, TImagePanel** panel,
                      QLabel** label) {
    *panel = MakePanel(parent, panelName, QRect(left, top, width, 24), "column", 4);
    *label = BodyLabel(parent, labelName, title, left + 7, top + 5, DesignFont(11, true));
    MakeDark(*label);
}

QListWidget* MakeTimeList(QWidget* parent, const char* name, const QRect& place, int rowHeight,
                          QObject* owner) {
    auto* box = MakeNamed<QListWidget>(parent, name);
    box->setGeometry(place);
    box->setFont(DesignFont(11, true));
    box->setFrameShape(QFrame::NoFrame);
    box->setUniformItemSizes(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    box->setItemDelegate(new TTimeListDelegate(rowHeight, NameColumnWidth, TypeColumnWidth, owner));
    MakeDark(box);
    return box;
}

void OnTimerUnlessPaused(QTimer* timer, QObject* context, const TScanEngine& engine,
                         std::function<void()> handler) {
    QObject::connect(timer, &QTimer::timeout, context,
                     [context, &engine, handler = std::move(handler)] {
                         if (!engine.IsPaused()) {
                             Guarded(context, handler);
                         }
                     });
}

} // namespace tw
