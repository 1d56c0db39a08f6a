// Sheet switching: a page's controls shown on the window itself, so that they lie over the
// window's panels and pictures, and put back on their page when another page is shown.
#include "skin/base_form.h"

#include <QComboBox>
#include <QVariant>

namespace tw {

namespace {

// The sheet a control was moved from while its sheet is shown on the window.
const char SheetProperty[] = "twSheet";

} // namespace

void TfrmBase::ShowSheetControls(QWidget* sheet) {
    QWidget* pageControl = sheet->parentWidget();
    QWidget* surface = pageControl != nullptr ? pageControl->parentWidget() : nullptr;
    if (surface == nullptr) {
        return;
    }
    sheetPageControl_ = pageControl;
    // The sheet's focus chain is its tab order; children that take no focus follow.
    QList<QWidget*> ordered;
    for (QWidget* next = sheet->nextInFocusChain(); next != sheet && next != nullptr;
         next = next->nextInFocusChain()) {
        if (next->parentWidget() == sheet && !ordered.contains(next)) {
            ordered.append(next);
        }
        if (ordered.size() > sheet->children().size()) {
            break;
        }
    }
    for (QWidget* child : sheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!ordered.contains(child)) {
            ordered.append(child);
        }
    }
    const QPoint offset = pageControl->pos();
    for (QWidget* child : ordered) {
        const bool hidden = child->isHidden();
        const QPoint at = child->pos() + offset;
        child->setParent(surface);
        child->move(at);
        child->setProperty(SheetProperty, QVariant::fromValue<QObject*>(sheet));
        if (auto* combo = qobject_cast<QComboBox*>(child)) {
            ClipComboArrow(combo);
        }
        if (!hidden) {
            child->show();
        }
        child->raise();
    }
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    QWidget* previous = nullptr;
    QWidget* first = nullptr;
    for (QWidget* child : ordered) {
        if (previous != nullptr) {
            setTabOrder(previous, child);
        }
        previous = child;
        if (first == nullptr && child->focusPolicy() & Qt::TabFocus && child->isEnabled() &&
            !child->isHidden()) {
            first = child;
        }
    }
    if (first != nullptr) {
        first->setFocus();
    }
}

void TfrmBase::HideSheetControls() {
    if (sheetPageControl_ == nullptr) {
        return;
    }
    const QPoint offset = sheetPageControl_->pos();
    QWidget* surface = sheetPageControl_->parentWidget();
    // The window's focus chain gives the shown controls' current tab order.
    QList<QWidget*> ordered;
    const auto children = surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* next = surface->nextInFocusChain(); next != surface && next != nullptr;
         next = next->nextInFocusChain()) {
        if (children.contains(next) && next->property(SheetProperty).isValid() &&
            !ordered.contains(next)) {
            ordered.append(next);
        }
        if (ordered.size() >= children.size()) {
            break;
        }
    }
    for (QWidget* child : children) {
        if (child->property(SheetProperty).isValid() && !ordered.contains(child)) {
            ordered.append(child);
        }
    }
    QWidget* previous = nullptr;
    for (QWidget* child : ordered) {
        auto* sheet = qobject_cast<QWidget*>(child->property(SheetProperty).value<QObject*>());
        const bool hidden = child->isHidden();
        const QPoint at = child->pos() - offset;
        child->setProperty(SheetProperty, QVariant());
        if (sheet == nullptr) {
            continue;
        }
        child->setParent(sheet);
        child->move(at);
        if (!hidden) {
            child->show();
        }
        if (previous != nullptr && previous->window() == child->window()) {
            setTabOrder(previous, child);
        }
        previous = child;
    }
}

} // namespace tw
