#include "dialogs/message_windows.h"
#include "skin/base_form.h"
#include "ui/test_look.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class ValidateTimeLimitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        kit_.Kit().SetWarningPresenter([this](const QString& text, const QString& caption) {
            notices_.emplace_back(text.toStdString(), caption.toStdString());
        });
    }

    twtest::TestKit kit_;
    std::vector<std::pair<std::string, std::string>> notices_;
};

TEST_F(ValidateTimeLimitTest, RefusalShowsANoticeAndKeepsTheFocusInTheEdit) {
    tw::TfrmBase window(kit_);
    auto* edit = new QLineEdit(&window);
    edit->setInputMask("99:99");
    auto* other = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    other->setFocus();

    edit->setText("00:00");
    EXPECT_FALSE(window.ValidateTimeLimit(edit));
    ASSERT_EQ(notices_.size(), 1u);
    EXPECT_EQ(notices_[0],
              (std::pair<std::string, std::string>{"Limit can't be empty", "Please Note"}));
    EXPECT_EQ(window.focusWidget(), edit);

    edit->setText("23:59");
    EXPECT_TRUE(window.ValidateTimeLimit(edit));
    EXPECT_EQ(notices_.size(), 1u);

    edit->setText("");
    EXPECT_FALSE(window.ValidateTimeLimit(edit));
    ASSERT_EQ(notices_.size(), 2u);
    EXPECT_EQ(notices_[1].second, "Please Note");
    EXPECT_NE(notices_[1].first.find("is not a valid time"), std::string::npos);
}

} // namespace
