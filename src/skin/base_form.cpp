#include "skin/base_form.h"

#include "skin/accessible_controls.h"
#include "skin/form_controls.h"
#include "skin/geometry.h"
#include "skin/image_panel.h"
#include "skin/pictures.h"
#include "skin/window_placement.h"
#include "storage/appearance.h"
#include "storage/error_log.h"
#include "storage/time_limit_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace tw {

namespace {

// Set on labels that keep the design's dark text colour, decided on their first colouring.
const char KeepsDesignColour[] = "twKeepsDesignColour";
const char TextColourDecided[] = "twTextColourDecided";

constexpr int CornerEllipse = 20;
// Width of the skinned arrow that stands at the right end of a combo box.
constexpr int ComboArrowWidth = 26;

} // namespace

const QColor TfrmBase::DesignFontColor(0x36, 0x36, 0x36);

TfrmBase::TfrmBase(TWindowKit& kit, QWidget* parent) : QDialog(parent), kit_(kit) {
    InstallAccessibleControls();
    setWindowFlag(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont design("Arial");
    design.setPixelSize(13);
    design.setBold(true);
    setFont(design);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, DesignFontColor);
    setPalette(colours);

    pnlHeader = new TImagePanel(this);
    pnlHeader->setObjectName("pnlHeader");
    pnlHeader->SetBackground(TPicture::FromResource("header"));
    pnlHeader->SetSideWidth(8);
    pnlHeader->SetSideHeight(8);

    pnlBody = new TImagePanel(this);
    pnlBody->setObjectName("pnlBody");
    pnlBody->SetBackground(TPicture::FromResource("body"));

    imgIcon = new QLabel(this);
    imgIcon->setObjectName("imgIcon");
    imgIcon->setAccessibleName(QStringLiteral("Tallywick"));
    const QPixmap icon = QPixmap::fromImage(TPicture::FromResource("window_icon").image);
    imgIcon->setPixmap(icon);
    imgIcon->setGeometry(3, 3, icon.width(), icon.height());

    lblCaption = new QLabel(this);
    lblCaption->setObjectName("lblCaption");
    lblCaption->move(32, 7);
    MakeLight(lblCaption);
    lblCaption->setAttribute(Qt::WA_TranslucentBackground);

    pnlHeader->installEventFilter(this);
    lblCaption->installEventFilter(this);
    windowColour_ = ColorFromSetting(0);
    LayoutPanels();
}

TfrmBase::~TfrmBase() = default;

void TfrmBase::FinishCreation() {
    created_ = true;
    // A window resized before it is first shown hears of it only when shown.
    LayoutPanels();
    ApplyRoundRegion();
    ClipComboArrows();
    lblCaption->setText(windowTitle());
    lblCaption->adjustSize();
    TAppearance* appearance = Look() ? &Look()->Appearance() : nullptr;
    SetWindowColor(
        ColorFromSetting(appearance ? appearance->GetColor() : TAppearance::DefaultColor));
    SetTransparency(appearance ? appearance->GetTransparency() : TAppearance::DefaultTransparency);
    ApplyTextColor(this, ColorFromSetting(appearance ? appearance->GetTextColor()
                                                     : TAppearance::DefaultTextColor));
}

bool TfrmBase::CanMoveTo(int, int) {
    return true;
}

void TfrmBase::ApplyRoundRegion() {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width() + 1, height() + 1), CornerEllipse / 2.0,
                        CornerEllipse / 2.0);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
    update();
}

void TfrmBase::ClipComboArrows() {
    for (QComboBox* combo : findChildren<QComboBox*>(Qt::FindDirectChildrenOnly)) {
        ClipComboArrow(combo);
    }
}

void TfrmBase::ClipComboArrow(QComboBox* combo) {
    EnsurePictureResources();
    // Qt draws the arrow in its own sub-control, so the skinned arrow replaces it there
    // instead of a separate button laid over a clipped box.
    const QString sheet =
        QString("QComboBox::drop-down { width: %1px; border: none; "
                "image: url(:/pictures/combo_arrow.png); }"
                "QComboBox::drop-down:hover { image: url(:/pictures/combo_arrow_selected.png); }"
                "QComboBox::down-arrow { image: none; width: 0px; height: 0px; }")
            .arg(ComboArrowWidth);
    combo->setStyleSheet(sheet);
}

void TfrmBase::ApplyTextColor(QWidget* control, const QColor& colour) {
    if (control == nullptr) {
        return;
    }
    // Labels, and the check boxes' own texts, which read as labels beside them.
    auto isText = [](QWidget* widget) {
        return qobject_cast<QLabel*>(widget) != nullptr ||
               qobject_cast<QCheckBox*>(widget) != nullptr;
    };
    QList<QWidget*> labels;
    if (isText(control)) {
        labels.append(control);
    }
    for (QWidget* child : control->findChildren<QWidget*>()) {
        if (isText(child)) {
            labels.append(child);
        }
    }
    for (QWidget* label : labels) {
        if (!label->property(TextColourDecided).toBool()) {
            label->setProperty(TextColourDecided, true);
            label->setProperty(KeepsDesignColour,
                               label->palette().color(QPalette::WindowText) == DesignFontColor);
        }
        if (label->property(KeepsDesignColour).toBool()) {
            continue;
        }
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, colour);
        label->setPalette(colours);
    }
}

void TfrmBase::SetTransparency(int percent) {
    setWindowOpacity(AlphaFromTransparency(percent) / 255.0);
}

void TfrmBase::SetWindowColor(const QColor& colour) {
    windowColour_ = colour;
    update();
}

bool TfrmBase::ValidateTimeLimit(QLineEdit* edit) {
    const std::string problem = TimeLimitProblem(edit->text().toStdString());
    if (problem.empty()) {
        return true;
    }
    try {
        ShowWarning(QString::fromStdString(problem), "Please Note");
    } catch (const std::exception& e) {
        // The check itself must not fail; the notice's failure is only recorded.
        Log().Report(ErrorReportText(e, "; TfrmBase.ValidateTimeLimit: "));
    }
    edit->setFocus();
    return false;
}

TWindowKit* FindKit(const QObject* inWindow) {
    for (const QObject* at = inWindow; at != nullptr; at = at->parent()) {
        if (const auto* window = qobject_cast<const TfrmBase*>(at)) {
            return &window->Kit();
        }
    }
    return nullptr;
}

TWindowKit& KitOf(const QObject* inWindow) {
    if (TWindowKit* kit = FindKit(inWindow)) {
        return *kit;
    }
    throw std::logic_error("No window to report through");
}

void TfrmBase::OpenUrl(const QString& address) {
    // The program's addresses are written without a scheme; its own site is served securely.
    const QString url = address.contains("://") ? address : "https://" + address;
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

void TfrmBase::PadListRows(QListWidget* list) {
    int rowHeight = list->sizeHintForRow(0);
    if (rowHeight <= 0) {
        // An empty list has no row to measure; a temporary one gives the delegate's height.
        list->addItem(QString());
        rowHeight = list->sizeHintForRow(0);
        delete list->takeItem(0);
    }
    int filled = 0;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->text().isEmpty()) {
            ++filled;
        }
    }
    const int padding = PadRowCount(list->height(), rowHeight, filled);
    if (padding > 0) {
        list->addItems(QStringList(padding, QString()));
    }
}

void TfrmBase::LayoutPanels() {
    pnlHeader->setGeometry(0, 0, width(), HeaderHeight);
    pnlBody->setGeometry(0, HeaderHeight, width(), std::max(height() - HeaderHeight, 0));
}

void TfrmBase::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), windowColour_);
    if (!Look()) {
        return;
    }
    try {
        const QImage& tile = Look()->BackgroundPicture();
        for (const TPointI& at : TileOrigins(width(), height(), tile.width(), tile.height())) {
            painter.drawImage(at.x, at.y, tile);
        }
    } catch (...) {
        // Painting cannot report; the failure goes to the application's handler from the
        // event loop, once (the picture stays empty afterwards).
        QTimer::singleShot(
            0, this, [failure = std::current_exception()] { std::rethrow_exception(failure); });
    }
}

void TfrmBase::resizeEvent(QResizeEvent* event) {
    LayoutPanels();
    if (created_) {
        ApplyRoundRegion();
    }
    QDialog::resizeEvent(event);
}

void TfrmBase::setVisible(bool visible) {
    if (visible && !isVisible()) {
        if (!testAttribute(Qt::WA_Moved)) {
            CentreOnScreen(this);
        }
        placement_.placedAt = pos();
        placement_.placedSince.start();
    } else if (!visible) {
        placement_.placedAt.reset();
    }
    QDialog::setVisible(visible);
}

void TfrmBase::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    // A window manager that reparents a newly mapped frameless window (openbox does) may
    // leave Qt believing the window stands at its place inside the frame, (0, 0), while it
    // stands where it was put: its combo lists then open far from their boxes. Asking once
    // more for that place makes the manager confirm it. Only the first move right after
    // showing is taken so; later ones are the person's or the program's own.
    if (!placement_.placedAt || !isVisible()) {
        return;
    }
    const QPoint wanted = *placement_.placedAt;
    placement_.placedAt.reset();
    if (event->pos() != wanted && placement_.placedSince.elapsed() < 2000) {
        QTimer::singleShot(0, this, [this, wanted] { move(wanted); });
    }
}

void TfrmBase::showEvent(QShowEvent* event) {
    if (!created_) {
        FinishCreation();
    }
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void TfrmBase::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && lblCaption != nullptr) {
        lblCaption->setText(windowTitle());
        lblCaption->adjustSize();
    }
    QDialog::changeEvent(event);
}

bool TfrmBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched != pnlHeader && watched != lblCaption) {
        return QDialog::eventFilter(watched, event);
    }
    const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
    if (event->type() == QEvent::MouseButtonPress && normal && !CanPlaceOwnWindows()) {
        // The compositor moves the window for us, wherever the person drops it.
        if (windowHandle() != nullptr &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            windowHandle()->startSystemMove();
        }
    } else if (event->type() == QEvent::MouseButtonPress && normal) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        placement_.grabPoint = mouse->position().toPoint() + static_cast<QWidget*>(watched)->pos();
    } else if (event->type() == QEvent::MouseMove) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->buttons() & Qt::LeftButton) && normal && SlideState == ssShown &&
            CanPlaceOwnWindows()) {
            const QPoint wanted = mouse->globalPosition().toPoint() - placement_.grabPoint;
            if (!CanMoveTo(wanted.x(), wanted.y())) {
                return false;
            }
            const QRect area = screen()->availableGeometry();
            const TPointI at = ClampToWorkArea(
                {wanted.x(), wanted.y()}, width(), height(),
                {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
            move(at.x, at.y);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tw
