#include "skin/accessible_controls.h"

#include "skin/image_button.h"
#include "skin/image_panel.h"
#include "skin/link_label.h"

#include <QAccessibleWidget>

namespace tw {

namespace {

class TAccessibleImageButton : public QAccessibleWidget {
  public:
    explicit TAccessibleImageButton(TImageButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        const auto* button = static_cast<const TImageButton*>(widget());
        if (kind == QAccessible::Name) {
            for (const QString& name :
                 {button->accessibleName(), button->Caption(), button->toolTip()}) {
                if (!name.isEmpty()) {
                    return name;
                }
            }
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled() && widget()->isVisible()) {
            static_cast<TImageButton*>(widget())->Click();
        }
    }
};

class TAccessibleLink : public QAccessibleWidget {
  public:
    explicit TAccessibleLink(TLinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return static_cast<const TLinkLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled() && widget()->isVisible()) {
            static_cast<TLinkLabel*>(widget())->Click();
        }
    }
};

template <class T> bool Is(const QString& className) {
    return className == QLatin1String(T::staticMetaObject.className());
}

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object->isWidgetType()) {
        return nullptr;
    }
    if (Is<TImageButton>(className)) {
        return new TAccessibleImageButton(static_cast<TImageButton*>(object));
    }
    if (Is<TLinkLabel>(className)) {
        return new TAccessibleLink(static_cast<TLinkLabel*>(object));
    }
    if (Is<TImagePanel>(className)) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Pane);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

} // namespace tw
