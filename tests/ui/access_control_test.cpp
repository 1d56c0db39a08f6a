// Who may change the strict settings, in the edition this build is: the self-managed one asks
// nobody; the administrator-managed one guards every change with the password.
#include "base/text.h"
#include "dialogs/access_gate.h"
#include "dialogs/password_change_form.h"
#include "dialogs/settings_form.h"
#include "dialogs/warning_form.h"
#include "platform/fake/fake_desktop.h"
#include "skin/image_button.h"
#include "storage/access.h"
#include "storage/date_format.h"
#include "storage/md5.h"
#include "storage/options.h"
#include "storage/password_digest.h"
#include "support/test_data_folder.h"
#include "ui/modal_helper.h"
#include "ui/test_look.h"
#include "ui/window_helpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using twtest::Child;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

// Answers every notice, remembering what it said.
class TNotices {
  public:
    TNotices() {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* notice = qobject_cast<TfrmWarning*>(QApplication::activeModalWidget());
            if (notice && notice->isVisible()) {
                said_.push_back(Child<QLabel>(*notice, "lblWarning")->text() + " / " +
                                notice->windowTitle());
                notice->accept();
            }
        });
        poll_.start(5);
    }
    std::vector<QString> Said() const { return said_; }

  private:
    QTimer poll_;
    std::vector<QString> said_;
};

class AccessControlTest : public ::testing::Test {
  protected:
    twtest::TestDataFolder folder_{Now};
    twtest::TestKit kit_;
    // What the guarded changes are asked from.
    TfrmBase owner_{kit_};
};

#if TALLYWICK_EDITION_VALUE == 2

TEST_F(AccessControlTest, TheSelfManagedEditionAsksNobodyAndLetsEveryChangeBegin) {
    TOptions options(folder_.Data());
    options.Edit().AllowUserToChangeSettings = false;
    options.Edit().Password = MD5Hex("secret");
    bool asked = false;
    twtest::TModalAnswer anyWindow([&](QWidget* window) {
        asked = true;
        static_cast<QDialog*>(window)->reject();
    });
    EXPECT_TRUE(MayBeginChange(options, &owner_));
    EXPECT_TRUE(AskAdminPassword(options, &owner_));
    QTest::qWait(20);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(options.Policy().AdminSessionOpen());
}

#else

// No password set: the prompt refuses every entry, the empty one too, and the guarded
// change does not begin.
TEST_F(AccessControlTest, WithoutAPasswordEveryEntryIsRefused) {
    TOptions options(folder_.Data());
    options.Edit().AllowUserToChangeSettings = false;
    ASSERT_TRUE(options.Edit().Password.empty());
    TNotices notices;
    int prompts = 0;
    twtest::TModalAnswer prompt(QStringLiteral("frmPasswordCheck"), [&](QWidget* window) {
        ++prompts;
        auto* password = Child<QLineEdit>(*window, "edPassword");
        password->setText("admin");
        EXPECT_EQ(password->displayText(), "*****");
        for (const char* typed : {"", "admin", " "}) {
            password->setText(typed);
            QTest::keyClick(window, Qt::Key_Return);
            EXPECT_TRUE(window->isVisible());
            EXPECT_TRUE(password->hasFocus() || !window->isActiveWindow());
        }
        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_FALSE(MayBeginChange(options, &owner_));
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(notices.Said(), std::vector<QString>(3, "Invalid password / Please Note"));
    EXPECT_FALSE(options.Policy().AdminSessionOpen());
    // Handed to the user, the change begins without a word.
    options.Edit().AllowUserToChangeSettings = true;
    EXPECT_TRUE(MayBeginChange(options, &owner_));
}

// Setting the password on the Logon page the two entries must match exactly; changing it,
// letter case is forgiven and the New box's text is what counts.
TEST_F(AccessControlTest, TheLogonPageIsCaseStrictTheChangeWindowIsNot) {
    TNotices notices;
    {
        TOptions options(folder_.Data());
        twtest::TModalAnswer wizard(QStringLiteral("frmSettings"), [&](QWidget* window) {
            auto& w = *static_cast<TfrmSettings*>(window);
            QTest::keyClick(&w, Qt::Key_Return);
            ASSERT_EQ(w.CurrentSheet()->objectName(), "tsLogon");
            const auto attempt = [&](const char* password, const char* confirm) {
                Child<QLineEdit>(w, "edtStart_Password")->setText(password);
                Child<QLineEdit>(w, "edtStart_ConfirmPassword")->setText(confirm);
                QTest::keyClick(&w, Qt::Key_Return);
                return w.CurrentSheet()->objectName() != "tsLogon";
            };
            EXPECT_FALSE(attempt("Secret", "secret"));
            EXPECT_FALSE(attempt("   ", "   "));
            EXPECT_FALSE(options.Policy().AdminSessionOpen());
            EXPECT_TRUE(attempt(" Secret", " Secret"));
            EXPECT_TRUE(options.Policy().AdminSessionOpen());
            for (int page = 0; page < 3; ++page) {
                QTest::keyClick(&w, Qt::Key_Return);
            }
        });
        TFakeDesktop desktop;
        ShowFirstRunSettings(kit_, options, desktop);
        EXPECT_FALSE(options.Policy().AdminSessionOpen());
    }
    EXPECT_EQ(notices.Said(),
              (std::vector<QString>{"The passwords entered are not the same / Please Note",
                                    "A password is required / Please Note"}));
    TOptions stored(folder_.Data());
    // The blanks belong to it.
    EXPECT_EQ(MatchPassword(" Secret", stored.Values().Password), TPasswordMatch::Right);
    EXPECT_FALSE(stored.Policy().CheckPassword("Secret"));

    // An earlier version's digest, written in lower case, matches all the same.
    stored.Edit().Password = LowerAscii(MD5Hex(" Secret"));
    twtest::TModalAnswer change(QStringLiteral("frmPasswordChange"), [&](QWidget* window) {
        Child<QLineEdit>(*window, "edOldPassword")->setText(" Secret");
        Child<QLineEdit>(*window, "edNewPassword")->setText("NewWord");
        Child<QLineEdit>(*window, "edConfirmPassword")->setText("newWORD");
        QTest::mouseClick(Child<TImageButton>(*window, "btnOk"), Qt::LeftButton);
    });
    TfrmPasswordChange dialog(kit_, stored);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(notices.Said().back(), "Password was successfully changed / Information");
    TOptions changed(folder_.Data());
    EXPECT_EQ(MatchPassword("NewWord", changed.Values().Password), TPasswordMatch::Right);
}

#endif

// Switching the start at login off is a loosening like a longer limit: where the settings
// are the administrator's it needs the password; switching it on never does.
TEST_F(AccessControlTest, StartAtLoginGoesOffOnlyWhereTheSettingsMayBeLoosened) {
    TOptions options(folder_.Data());
    const TChangeDecision guarded = TChangePolicy::PasswordGuardsSettings()
                                        ? TChangeDecision::NeedsPassword
                                        : TChangeDecision::Allowed;
    options.Edit().AllowUserToChangeSettings = false;
    options.Policy().SetPassword("secret");
    options.Policy().EndAdminSession();
    EXPECT_EQ(options.Policy().DecideStartAtLogin(true), TChangeDecision::Allowed);
    EXPECT_EQ(options.Policy().DecideStartAtLogin(false), guarded);
    ASSERT_TRUE(options.Policy().CheckPassword("secret"));
    EXPECT_EQ(options.Policy().DecideStartAtLogin(false), TChangeDecision::Allowed);
    options.Policy().EndAdminSession();
    options.Edit().AllowUserToChangeSettings = true; // handed to the user
    EXPECT_EQ(options.Policy().DecideStartAtLogin(false), TChangeDecision::Allowed);
}

} // namespace
