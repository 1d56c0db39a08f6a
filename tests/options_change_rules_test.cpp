#include "storage/access.h"
#include "storage/date_format.h"
#include "storage/day_choice.h"
#include "storage/options.h"
#include "storage/settings_file.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

namespace {

using tw::TMonitoredItemType;

class OptionsChangeRulesTest : public testing::Test {
  protected:
    OptionsChangeRulesTest() : folder_(tw::EncodeDate(2026, 12, 7) + 10 * tw::OneHour) {}

    tw::TMonitoredItem& Add(const std::string& name, TMonitoredItemType type) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->Caption = name;
        item->ItemType = type;
        int index = options_->Edit().MonitoredList.Add(name, std::move(item));
        return options_->Edit().MonitoredList.Items(index);
    }
    static tw::TMonitoredItem Probe(const std::string& name) {
        tw::TMonitoredItem item;
        item.Name = name;
        return item;
    }
    tw::TSettingsFile& File() { return folder_.Settings(); }

    twtest::TestDataFolder folder_;
    std::unique_ptr<tw::TOptions> options_ = std::make_unique<tw::TOptions>(folder_.Data());
};

TEST_F(OptionsChangeRulesTest, UserRaisesTheLimitOnceADayAndLowersItAnyTime) {
    tw::TOptions& o = *options_;
    ASSERT_EQ(o.Policy().AccessLevel(), tw::TAccessLevel::User);
    o.Policy().SetTimeLimitSeconds(30000); // first raise: at once
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 30000);
    EXPECT_TRUE(File().ReadBool("Common", "TimeLimitSecondsChanged", false));

    o.Policy().SetTimeLimitSeconds(36000); // second raise: waits for the reset
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 30000);
    EXPECT_EQ(File().ReadInteger("Common", "TimeLimitSeconds", -1), 36000);

    o.Policy().ResetChangeFlags(); // the pending raise applies at the reset
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 36000);
    EXPECT_FALSE(o.Policy().TimeLimitSecondsChanged());
    EXPECT_FALSE(File().SectionExists("Common"));

    o.Policy().SetTimeLimitSeconds(40000); // the new day has its own raise
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 40000);
    o.Policy().SetTimeLimitSeconds(50000);
    EXPECT_EQ(File().ReadInteger("Common", "TimeLimitSeconds", -1), 50000);

    o.Policy().SetTimeLimitSeconds(
        1800); // lowering is always immediate and drops the pending raise
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 1800);
    EXPECT_EQ(File().ReadInteger("Common", "TimeLimitSeconds", -1), -1);
    o.Policy().ResetChangeFlags();
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 1800);
}

TEST_F(OptionsChangeRulesTest, FirstLoweringDoesNotUseUpTheDaysRaise) {
    tw::TOptions& o = *options_;
    o.Policy().SetTimeLimitSeconds(3600);
    EXPECT_FALSE(o.Policy().TimeLimitSecondsChanged());
    o.Policy().SetTimeLimitSeconds(7200);
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 7200);
    EXPECT_TRUE(o.Policy().TimeLimitSecondsChanged());
}

TEST_F(OptionsChangeRulesTest, ActionChangesOnceADayThenWaits) {
    tw::TOptions& o = *options_;
    o.Policy().SetExpirationAction(tw::TExpirationAction::CloseListed);
    EXPECT_EQ(o.Edit().ExpirationAction, tw::TExpirationAction::CloseListed);
    o.Policy().SetExpirationAction(tw::TExpirationAction::ShutdownComputer);
    EXPECT_EQ(o.Edit().ExpirationAction, tw::TExpirationAction::CloseListed);
    EXPECT_EQ(File().ReadInteger("Common", "ExpirationAction", -1), 2);

    // The markers live in the settings file: a restart the same day keeps them.
    options_.reset();
    options_ = std::make_unique<tw::TOptions>(folder_.Data());
    EXPECT_TRUE(options_->Policy().ExpirationActionChanged());
    EXPECT_EQ(options_->Edit().ExpirationAction, tw::TExpirationAction::CloseListed);
    options_->Policy().ResetChangeFlags();
    EXPECT_EQ(options_->Edit().ExpirationAction, tw::TExpirationAction::ShutdownComputer);
}

TEST_F(OptionsChangeRulesTest, AdministratorChangesApplyAtOnceAndDropPendingValues) {
    tw::TOptions& o = *options_;
    o.Policy().SetExpirationAction(tw::TExpirationAction::CloseListed);
    o.Policy().SetExpirationAction(tw::TExpirationAction::ShutdownComputer); // pending
    o.Policy().SetPassword("admin");
    o.Policy().SetExpirationAction(tw::TExpirationAction::ReminderOnly);
    EXPECT_EQ(o.Edit().ExpirationAction, tw::TExpirationAction::ReminderOnly);
    EXPECT_EQ(File().ReadInteger("Common", "ExpirationAction", -1), -1);
    o.Policy().SetTimeLimitSeconds(50000);
    o.Policy().SetTimeLimitSeconds(60000);
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 60000);
}

TEST_F(OptionsChangeRulesTest, NobodyWithoutRightsChangesAnything) {
    tw::TOptions& o = *options_;
    o.Edit().AllowUserToChangeSettings = false;
    File().WriteBool("Common", "ExpirationActionChanged", true);
    File().WriteBool("Common", "TimeLimitSecondsChanged", true);
    o.Policy().LoadMarkers();
    o.Policy().SetExpirationAction(tw::TExpirationAction::ShutdownComputer);
    o.Policy().SetTimeLimitSeconds(1);
    Add("/usr/bin/game", TMonitoredItemType::mitApp);
    auto probe = Probe("/usr/bin/game");
    EXPECT_EQ(o.Policy().MonitoredItemDelete(&probe), tw::TItemDeletion::Nothing);
    EXPECT_EQ(o.Edit().ExpirationAction, tw::TExpirationAction::ReminderOnly);
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 28800);
    EXPECT_EQ(o.Edit().MonitoredList.Count(), 1);
    // Nothing waits for the reset either: only the two markers are in the file.
    EXPECT_EQ(File().ReadSectionValues("Common"),
              (std::vector<std::pair<std::string, std::string>>{{"ExpirationActionChanged", "1"},
                                                                {"TimeLimitSecondsChanged", "1"}}));
}

TEST_F(OptionsChangeRulesTest, SecondRemovalOfTheDayOnlyDeactivates) {
    tw::TOptions& o = *options_;
    Add("/usr/bin/game", TMonitoredItemType::mitApp);
    Add("/usr/bin/chat", TMonitoredItemType::mitApp);
    tw::TMonitoredItem& site = Add("example.com/news", TMonitoredItemType::mitWeb);

    auto game = Probe("/USR/bin/game"); // found without regard to case
    EXPECT_EQ(o.Policy().MonitoredItemDelete(&game), tw::TItemDeletion::Removed);
    EXPECT_EQ(o.Edit().MonitoredList.IndexOfName("/usr/bin/game"), -1);

    auto chat = Probe("/usr/bin/chat");
    EXPECT_EQ(o.Policy().MonitoredItemDelete(&chat), tw::TItemDeletion::Deactivated);
    EXPECT_FALSE(
        o.Edit().MonitoredList.Items(o.Edit().MonitoredList.IndexOfName("/usr/bin/chat")).Active);
    EXPECT_EQ(File().ReadString("Applications", "/usr/bin/chat", ""), "/usr/bin/chat");

    EXPECT_EQ(o.Policy().MonitoredItemDelete(&site), tw::TItemDeletion::Deactivated);
    EXPECT_EQ(File().ReadString("WebSites", "example.com/news", ""), "example.com/news");

    auto unknown = Probe("/usr/bin/other");
    EXPECT_EQ(o.Policy().MonitoredItemDelete(&unknown), tw::TItemDeletion::Deactivated);

    // Deactivated items are saved as such and come back inactive.
    ASSERT_TRUE(o.Save());
    options_.reset();
    options_ = std::make_unique<tw::TOptions>(folder_.Data());
    ASSERT_EQ(options_->Edit().MonitoredList.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(options_->Edit().MonitoredList.Items(i).Active);
    }
}

TEST_F(OptionsChangeRulesTest, ResetClearsMarkersAndIgnoresPendingNonsense) {
    tw::TOptions& o = *options_;
    File().WriteInteger("Common", "TimeLimitSeconds", 0);
    File().WriteInteger("Common", "ExpirationAction", 7);
    File().WriteBool("Common", "Show5MinButton", false);
    File().WriteString("Common", "HandEdited", "x");
    for (const char* marker : {"ExpirationActionChanged", "TimeLimitSecondsChanged",
                               "MonitoredItemDeleteActionProcessed"}) {
        File().WriteBool("Common", marker, true);
    }
    o.Policy().LoadMarkers();
    tw::MakeDayChoice(o.Settings(), tw::TDayChoice::ListClosed);
    tw::MakeDayChoice(o.Settings(), tw::TDayChoice::FiveMinutesTaken);
    o.Policy().ResetChangeFlags();
    EXPECT_EQ(o.Edit().TimeLimitSeconds, 28800);
    EXPECT_EQ(o.Edit().ExpirationAction, tw::TExpirationAction::ReminderOnly);
    EXPECT_FALSE(o.Policy().ExpirationActionChanged() || o.Policy().TimeLimitSecondsChanged() ||
                 o.Policy().MonitoredItemDeleteActionProcessed());
    EXPECT_FALSE(tw::DayChoiceMade(o.Settings(), tw::TDayChoice::ListClosed) ||
                 tw::DayChoiceMade(o.Settings(), tw::TDayChoice::FiveMinutesTaken));
    // Only the administrator's standing choice outlasts the day.
    EXPECT_EQ(File().ReadSectionValues("Common"),
              (std::vector<std::pair<std::string, std::string>>{{"Show5MinButton", "0"}}));
}

TEST_F(OptionsChangeRulesTest, TheDaysFreeRemovalIsNotGrantedAgainByARestart) {
    Add("/usr/bin/game", TMonitoredItemType::mitApp);
    Add("/usr/bin/other", TMonitoredItemType::mitApp);
    auto game = Probe("/usr/bin/game");
    auto other = Probe("/usr/bin/other");
    EXPECT_EQ(options_->Policy().MonitoredItemDelete(&game), tw::TItemDeletion::Removed);
    options_.reset(); // the program ends and starts again
    options_ = std::make_unique<tw::TOptions>(folder_.Data());
    EXPECT_EQ(options_->Policy().MonitoredItemDelete(&other), tw::TItemDeletion::Deactivated);

    options_->Policy().ResetChangeFlags(); // a new day grants a new one, also after a restart
    options_.reset();
    options_ = std::make_unique<tw::TOptions>(folder_.Data());
    EXPECT_EQ(options_->Policy().MonitoredItemDelete(&other), tw::TItemDeletion::Removed);
}

} // namespace
