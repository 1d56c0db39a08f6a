#include "skin/image_button_accessible.h"

#include "skin/image_button.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tw {

namespace {

class TImageButtonAccessible : public QAccessibleWidget {
  public:
    explicit TImageButtonAccessible(TImageButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? Button()->Caption() : name;
        }
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled() && widget()->isVisible()) {
            emit Button()->clicked();
        }
    }

  private:
    TImageButton* Button() const { return static_cast<TImageButton*>(widget()); }
};

QAccessibleInterface* ImageButtonFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(TImageButton::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new TImageButtonAccessible(static_cast<TImageButton*>(object));
    }
    return nullptr;
}

} // namespace

void InstallImageButtonAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ImageButtonFactory);
        return true;
    }();
    (void)installed;
}

} // namespace tw
