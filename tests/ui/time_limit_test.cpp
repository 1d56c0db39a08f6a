#include "base/exception.h"
#include "dialogs/message_windows.h"
#include "skin/base_form.h"
#include "skin/base_form_time_limit.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using tw::TimeLimitProblem;

TEST(TimeLimitTest, UsableLimitsPass) {
    EXPECT_EQ(TimeLimitProblem("23:59"), "");
    EXPECT_EQ(TimeLimitProblem("00:01"), "");
    EXPECT_EQ(TimeLimitProblem("1:5"), "");
    EXPECT_EQ(TimeLimitProblem(" 2:30"), ""); // a half-filled mask
    EXPECT_DOUBLE_EQ(tw::TextToTimeLimit("01:30"), 90 / 1440.0);
}

TEST(TimeLimitTest, EmptyAndTooLargeLimitsAreNamed) {
    EXPECT_EQ(TimeLimitProblem("00:00"), "Limit can't be empty");
    EXPECT_EQ(TimeLimitProblem("24:00"), "Limit can't be greater than 23:59");
    EXPECT_EQ(TimeLimitProblem("99:59"), "Limit can't be greater than 23:59");
}

TEST(TimeLimitTest, UnreadableTextGivesTheConversionMessage) {
    EXPECT_EQ(TimeLimitProblem("ab:cd"), "'ab:cd' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("  :  "), "'  :  ' is not a valid time");
    EXPECT_EQ(TimeLimitProblem(":"), "':' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("12:60"), "'12:60' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("123:00"), "'123:00' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("1200"), "'1200' is not a valid time");
    EXPECT_EQ(TimeLimitProblem("-1:30"), "'-1:30' is not a valid time");
    EXPECT_THROW(tw::TextToTimeLimit("x"), tw::EConvertError);
}

class ValidateTimeLimitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tw::TfrmBase::SetWarningPresenter([this](const QString& text, const QString& caption) {
            notices_.emplace_back(text.toStdString(), caption.toStdString());
        });
    }
    void TearDown() override { tw::InstallMessageWindows(); }

    std::vector<std::pair<std::string, std::string>> notices_;
};

TEST_F(ValidateTimeLimitTest, RefusalShowsANoticeAndKeepsTheFocusInTheEdit) {
    tw::TfrmBase window;
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
