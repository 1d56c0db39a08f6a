#include "dialogs/delete_confirm_form.h"
#include "dialogs/error_message_form.h"
#include "dialogs/failure_notice_form.h"
#include "dialogs/message_windows.h"
#include "dialogs/warning_form.h"

#include "base/exception.h"
#include "modal_helper.h"
#include "skin/image_button.h"
#include "support/collecting_log.h"
#include "ui/test_look.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using twtest::TModalAnswer;

void Click(QWidget* button) {
    const QPoint at = button->rect().center();
    for (auto [type, which, held] :
         {std::tuple{QEvent::MouseButtonPress, Qt::LeftButton, Qt::MouseButtons(Qt::LeftButton)},
          std::tuple{QEvent::MouseButtonRelease, Qt::LeftButton, Qt::MouseButtons(Qt::NoButton)}}) {
        QMouseEvent event(type, QPointF(at), QPointF(button->mapToGlobal(at)), which, held,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
}

template <typename T> T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(WarningTest, EnterEscapeAndOkAllDismissTheNotice) {
    twtest::TestKit kit;
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
        QString caption, text;
        QSize size;
        TModalAnswer answer([&](QWidget* window) {
            caption = Child<QLabel>(window, "lblCaption")->text();
            text = Child<QLabel>(window, "lblWarning")->text();
            size = window->size();
            if (key != 0) {
                QTest::keyClick(window, Qt::Key(key));
            } else {
                Click(Child<tw::TImageButton>(window, "btnOk"));
            }
        });
        tw::ShowWarning(kit, QString(300, 'x'), "Please Note");
        EXPECT_EQ(caption, "Please Note") << key;
        EXPECT_EQ(text, QString(300, 'x'));
        EXPECT_EQ(size, QSize(363, 140)); // the design size, whatever the message's length
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(WarningTest, BaseWindowNoticesUseTheMessageWindow) {
    twtest::TestKit kit;
    tw::TfrmBase owner(kit);
    QString text;
    TModalAnswer answer([&](QWidget* window) {
        text = Child<QLabel>(window, "lblWarning")->text();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    owner.ShowWarning("Application is already running", "Please Note");
    EXPECT_EQ(text, "Application is already running");
}

// A failure notice carries a path the person may need: however long, and without a blank
// to wrap at, it is shown whole above the button, and can be selected for copying.
TEST(FailureNoticeTest, GrowsWithItsTextSoNoPathIsCutOff) {
    twtest::TestKit kit;
    const QString path = "C:\\Users\\someone\\" + QString(120, 'd') +
                         "\\Tallywick.V3\\actmondb.damaged-2026-12-07_10-00-00.sqlite";
    std::vector<int> heights;
    for (const QString& message :
         {QString("Short."), "Kept as\n" + path + "\n\nCounting goes on."}) {
        TModalAnswer answer([&](QWidget* window) {
            EXPECT_EQ(Child<QLabel>(window, "lblCaption")->text(), "Please Note");
            auto* text = Child<QTextEdit>(window, "mmMessage");
            EXPECT_EQ(text->toPlainText(), message);
            EXPECT_TRUE(text->isReadOnly());
            // Everything is laid out within the visible width and height.
            EXPECT_LE(text->document()->size().width(), text->viewport()->width() + 1);
            EXPECT_LE(text->document()->size().height(), text->viewport()->height() + 1);
            EXPECT_LE(text->geometry().bottom(),
                      Child<tw::TImageButton>(window, "btnOk")->geometry().top());
            heights.push_back(window->height());
            QTest::keyClick(window, Qt::Key_Return);
        });
        tw::ExecuteFailureNotice(kit, message);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // Enter closed it
    }
    ASSERT_EQ(heights.size(), 2u);
    EXPECT_GT(heights[1], heights[0]);
}

TEST(DeleteConfirmTest, EnterAnswersYesAndEscapeNo) {
    twtest::TestKit kit;
    tw::TfrmBase owner(kit);
    const auto ask = [&owner](std::function<void(QWidget*)> act) {
        TModalAnswer answer(std::move(act));
        return tw::ConfirmDelete("news", &owner);
    };
    EXPECT_TRUE(ask([](QWidget* window) { QTest::keyClick(window, Qt::Key_Enter); }));
    EXPECT_FALSE(ask([](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); }));
    EXPECT_TRUE(ask([](QWidget* window) { Click(Child<tw::TImageButton>(window, "btnOk")); }));
    EXPECT_FALSE(ask([](QWidget* window) { Click(Child<tw::TImageButton>(window, "btnCancel")); }));
}

TEST(DeleteConfirmTest, ItemTextIsShownExactlyAsItIs) {
    twtest::TestKit kit;
    tw::TfrmDeleteConfirm window(kit);
    EXPECT_EQ(Child<QLabel>(&window, "lblCaption")->text(), "Confirm Delete");
    window.SetItemText("say \"hi\" %1 %s <b>");
    EXPECT_EQ(Child<QLabel>(&window, "lblDescription")->text(),
              "Are you sure you want to delete \"say \"hi\" %1 %s <b>\" from your time-limit "
              "list?");
}

TEST(ErrorMessageTest, CopiesOnlyTheMessageAndStaysOpen) {
    twtest::TestKit kit;
    QApplication::clipboard()->setText("before");
    bool stillOpen = false;
    QString header;
    TModalAnswer answer([&](QWidget* window) {
        header = Child<QLabel>(window, "lblCaption")->text();
        Click(Child<tw::TImageButton>(window, "btnCopyErrorToClipboard"));
        QApplication::processEvents();
        stillOpen = window->isVisible();
        Click(Child<tw::TImageButton>(window, "btnOk"));
    });
    tw::ShowApplicationError(kit, "disk full");
    EXPECT_EQ(header, "Application Error");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(QApplication::clipboard()->text(), "disk full");
}

// Stands in for the browser.
class TUrlRecorder : public QObject {
    Q_OBJECT
  public slots:
    void Open(const QUrl& url) { opened.append(url.toString()); }

  public:
    QStringList opened;
};

TEST(ErrorMessageTest, ContactUsOpensTheHelpPage) {
    TUrlRecorder browser;
    QDesktopServices::setUrlHandler("https", &browser, "Open");
    twtest::TestKit kit;
    tw::TfrmErrorMessage window(kit);
    QMetaObject::invokeMethod(Child<QLabel>(&window, "lblDescription"), "linkActivated",
                              Q_ARG(QString, "help"));
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(browser.opened, QStringList{"https://tallywick.app/help"});
    EXPECT_TRUE(
        Child<QLabel>(&window, "lblDescription")->text().contains(">contact us</a> with a copy"));
}

TEST(ErrorMessageTest, EscapeAndEnterClose) {
    twtest::TestKit kit;
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        TModalAnswer answer([key](QWidget* window) { QTest::keyClick(window, key); });
        tw::ShowApplicationError(kit, "x");
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(ReportApplicationExceptionTest, LogsAndShowsOneWindowAtATime) {
    twtest::TCollectingLog log;
    twtest::TestKit kit(log);
    const std::vector<std::string>& reports = log.Lines();
    int windows = 0;
    QString errorText;
    TModalAnswer answer([&](QWidget* window) {
        ++windows;
        errorText = static_cast<tw::TfrmErrorMessage*>(window)->ErrorText();
        // A second failure while the window is open is only logged.
        tw::ReportApplicationException(kit, tw::EConvertError("again"));
        QApplication::processEvents();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    tw::ReportApplicationException(kit, tw::EConvertError("'x' is not a valid time"));

    EXPECT_EQ(windows, 1);
    EXPECT_EQ(errorText, "'x' is not a valid time");
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], "ErrorClassName: EConvertError; ReportApplicationException:"
                          "'x' is not a valid time");
    EXPECT_EQ(reports[1], "ErrorClassName: EConvertError; ReportApplicationException:"
                          "again");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace

#include "message_windows_test.moc"
