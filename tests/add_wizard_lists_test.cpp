// The add wizard's rules on a real options object over a data folder of the test's own:
// what typing, checking and unchecking do, and how the result reaches the list.
#include "items/list_changes.h"
#include "monitor/add_wizard_lists.h"
#include "platform/program_paths.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/settings_file.h"
#include "support/test_data_folder.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace tw;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

void Listed(TMonitoredList& list, TMonitoredItemType type, const std::string& name,
            const std::string& caption, bool active = true) {
    auto item = std::make_unique<TMonitoredItem>();
    item->Name = name;
    item->Caption = caption;
    item->ItemType = type;
    item->Active = active;
    list.Add(caption, std::move(item));
}

const TMonitoredItem* Find(const TMonitoredList& list, const std::string& name) {
    return list.Find(name);
}

class AddWizardListsTest : public ::testing::Test {
  protected:
    AddWizardListsTest() {
        options_.Edit().AllowUserToChangeSettings = true;
        Listed(options_.Edit().MonitoredList, TMonitoredItemType::mitWeb, "news.example.com",
               "News");
        Listed(options_.Edit().MonitoredList, TMonitoredItemType::mitApp, "/usr/games/chess",
               "Chess");
        Listed(options_.Edit().MonitoredList, TMonitoredItemType::mitApp, "/usr/games/old", "Old",
               false);
        lists_.emplace(options_.Policy(), options_.Places().ProgramBaseName(),
                       options_.Values().MonitoredList, [this] {
                           ++passwordAsked_;
                           return false;
                       });
    }

    twtest::TestDataFolder folder_{Now};
    TOptions options_{folder_.Data()};
    int passwordAsked_ = 0;
    // Made once the list above is in place.
    std::optional<TAddWizardLists> lists_;
};

TEST_F(AddWizardListsTest, TypedNamesGetTheirStatusOrTheirWarning) {
    const std::string siteTwice =
        "You have already added a site with the same URL to the list. Please choose another URL.";
    const std::string appAsSite = "You have already added an application with the same filename. "
                                  "Please choose another URL.";
    const std::string siteAsApp = "You have already added a site with the same URL to the list. "
                                  "Please choose another filename.";
    const std::string appTwice = "You have already added an application with the same filename. "
                                 "Please choose another filename.";
    auto warning = [&](TMonitoredItemType type, const std::string& tag, const std::string& name) {
        const TAddOutcome outcome = lists_->AddTypedItem(type, tag, name);
        EXPECT_FALSE(outcome.added) << name;
        return outcome.warning + "|" + outcome.warningCaption;
    };
    const auto web = TMonitoredItemType::mitWeb;
    const auto app = TMonitoredItemType::mitApp;

    EXPECT_EQ(warning(web, "tag", ""), "|"); // an empty name does nothing
    EXPECT_EQ(warning(web, "News", "news.example.com"), siteTwice + "|Please Note");
    EXPECT_EQ(warning(web, "", "NEWS.Example.com"), siteTwice + "|Please Note");
    // The same site by the address rules: scheme and "www." at the start, host in any case.
    EXPECT_EQ(warning(web, "", "https://www.News.example.com"), siteTwice + "|Please Note");
    EXPECT_EQ(warning(web, "Chess", "/usr/games/CHESS"), appAsSite + "|Please Note");
    EXPECT_EQ(warning(app, "Other tag", "news.example.com"), siteAsApp + "|Please Note");
    EXPECT_EQ(warning(app, "", "/usr/games/Chess"), appTwice + "|Please Note");
    EXPECT_EQ(warning(app, "", ProgramPath()),
              "\"" + folder_.Places().ProgramBaseName() +
                  "\" could not be added to time-limit list|Please Note");

    // Another tag only renames, and the list keeps its order by caption.
    EXPECT_TRUE(lists_->AddTypedItem(web, " Headlines ", "news.example.com").added);
    EXPECT_EQ(Find(lists_->SiteItems, "news.example.com")->Caption, "Headlines");
    // A listed but inactive item is wanted again.
    EXPECT_TRUE(lists_->AddTypedItem(app, "", "/usr/games/old").added);
    EXPECT_TRUE(Find(lists_->ExistingApps, "/usr/games/old")->Active);
    EXPECT_TRUE(Find(lists_->ExistingApps, "/usr/games/old")->Checked);
    // New names; a tag of blanks gives the name as caption.
    EXPECT_TRUE(lists_->AddTypedItem(app, "  ", "/usr/bin/editor").added);
    EXPECT_EQ(Find(lists_->NamedApps, "/usr/bin/editor")->Caption, "/usr/bin/editor");
    EXPECT_TRUE(lists_->NamedFirst);
    EXPECT_TRUE(lists_->AddTypedItem(web, "", "https://www.example.org/news").added);
    EXPECT_NE(Find(lists_->SiteItems, "https://www.example.org/news"), nullptr);
    // A path is not a host: another path, or a longer host, is another site.
    EXPECT_TRUE(lists_->AddTypedItem(web, "", "example.org/News2").added);
    EXPECT_TRUE(lists_->AddTypedItem(web, "", "example.org").added);
    EXPECT_TRUE(lists_->AddTypedItem(web, "", "mail.news.example.com").added);
    // A listed item unchecked here and typed again is checked again.
    options_.Policy().SetPassword("secret"); // the administrator's session opens
    lists_->SetAppChecked("/usr/games/chess", false);
    EXPECT_FALSE(Find(lists_->ExistingApps, "/usr/games/chess")->Checked);
    EXPECT_TRUE(lists_->AddTypedItem(app, "", "/usr/games/chess").added);
    EXPECT_TRUE(Find(lists_->ExistingApps, "/usr/games/chess")->Checked);
    // Nothing of it touched the list the wizard was given.
    EXPECT_EQ(options_.Edit().MonitoredList.Count(), 3);
    EXPECT_EQ(Find(options_.Edit().MonitoredList, "news.example.com")->Caption, "News");
}

// A user gets one removal a day; a second one in the same wizard only deactivates, and the
// merged result removes the first, keeps the second deactivated until the next daily reset,
// adds what was typed and renames what was retagged, in both lists.
TEST_F(AddWizardListsTest, OneRemovalADayAndTheResultMergedIntoBothLists) {
    EXPECT_FALSE(lists_->SetAppChecked("/usr/games/chess", false)); // removed
    EXPECT_TRUE(lists_->FreeRemovalUsed);
    EXPECT_TRUE(lists_->SetSiteChecked("news.example.com", false)); // only deactivated
    EXPECT_FALSE(Find(lists_->SiteItems, "news.example.com")->Active);
    // Checking the removed one again gives the day's removal back.
    lists_->SetAppChecked("/usr/games/chess", true);
    EXPECT_FALSE(lists_->FreeRemovalUsed);
    lists_->SetAppChecked("/usr/games/chess", false);
    ASSERT_TRUE(lists_->AddTypedItem(TMonitoredItemType::mitWeb, "", "video.example.net").added);
    ASSERT_TRUE(
        lists_->AddTypedItem(TMonitoredItemType::mitApp, "Old one", "/usr/games/old").added);
    EXPECT_EQ(passwordAsked_, 0);

    TMonitoredList result;
    lists_->BuildResultList(result);
    lists_->Finish();
    EXPECT_TRUE(options_.Policy().MonitoredItemDeleteActionProcessed());
    EXPECT_TRUE(folder_.Settings().ReadBool("Common", "MonitoredItemDeleteActionProcessed", false));

    TMonitoredList today;
    Listed(today, TMonitoredItemType::mitApp, "/usr/games/chess", "Chess");
    Listed(today, TMonitoredItemType::mitWeb, "news.example.com", "News");
    const TListChangeReport report =
        MergeListChanges(result, options_.Edit().MonitoredList, &today);
    for (TMonitoredList* list : {&options_.Edit().MonitoredList, &today}) {
        EXPECT_EQ(Find(*list, "/usr/games/chess"), nullptr);
        ASSERT_NE(Find(*list, "news.example.com"), nullptr);
        EXPECT_FALSE(Find(*list, "news.example.com")->Active);
        ASSERT_NE(Find(*list, "video.example.net"), nullptr);
    }
    EXPECT_TRUE(Find(options_.Edit().MonitoredList, "/usr/games/old")->Active);
    EXPECT_EQ(Find(options_.Edit().MonitoredList, "/usr/games/old")->Caption, "Old one");
    EXPECT_EQ(options_.Edit().MonitoredList.Keys(
                  options_.Edit().MonitoredList.IndexOfName("/usr/games/old")),
              "Old one");
    ASSERT_EQ(report.deactivated.size(), 1u);
    EXPECT_EQ(report.deactivated[0]->Name, "news.example.com");
    ASSERT_EQ(report.reactivated.size(), 1u);
    EXPECT_EQ(report.reactivated[0]->Name, "/usr/games/old");
}

// Without the right to change settings, a removal asks for the password and, refused,
// changes nothing.
TEST_F(AddWizardListsTest, RemovalWithoutTheRightAsksAndChangesNothing) {
    options_.Edit().AllowUserToChangeSettings = false;
    EXPECT_FALSE(lists_->SetAppChecked("/usr/games/chess", false));
    EXPECT_FALSE(lists_->SetSiteChecked("news.example.com", false));
    EXPECT_EQ(passwordAsked_, 2);
    EXPECT_TRUE(Find(lists_->ExistingApps, "/usr/games/chess")->Checked);
    EXPECT_TRUE(Find(lists_->SiteItems, "news.example.com")->Checked);
    EXPECT_FALSE(lists_->FreeRemovalUsed);
}

TEST_F(AddWizardListsTest, TheScanViewFiltersCaptionsRegardlessOfCase) {
    lists_->StartScan();
    lists_->AddScanLines({"/usr/bin/firefox=Firefox Web Browser", "/usr/bin/gimp=Image Editor",
                          "/usr/games/chess=Chess from the menu"});
    lists_->BuildScanView("WEB");
    ASSERT_EQ(lists_->ScanView.Count(), 1);
    EXPECT_EQ(lists_->ScanView.Items(0).Name, "/usr/bin/firefox");
    lists_->BuildScanView("");
    // The listed copy wins over the scan's, with its own caption and check mark.
    EXPECT_EQ(lists_->ScanView.Count(), 4);
    EXPECT_EQ(Find(lists_->ScanView, "/usr/games/chess")->Caption, "Chess");
    EXPECT_TRUE(Find(lists_->ScanView, "/usr/games/chess")->Checked);
    EXPECT_TRUE(lists_->ScannedFirst);
    // Checking a find moves it to the chosen ones, which the result carries.
    lists_->SetAppChecked("/usr/bin/gimp", true);
    TMonitoredList result;
    lists_->BuildResultList(result);
    ASSERT_NE(Find(result, "/usr/bin/gimp"), nullptr);
    EXPECT_TRUE(Find(result, "/usr/bin/gimp")->Checked);
    EXPECT_EQ(Find(result, "/usr/bin/firefox"), nullptr);
}

} // namespace
