#include "items/monitored_list.h"
#include "items/program_match.h"

#include "base/exception.h"
#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

using tw::TMonitoredItem;
using tw::TMonitoredList;
using Type = tw::TMonitoredItemType;

std::unique_ptr<TMonitoredItem> Item(const std::string& name, Type type = Type::mitApp) {
    auto item = std::make_unique<TMonitoredItem>();
    item->Name = name;
    item->ItemType = type;
    return item;
}

// Builds a list from caption/name pairs, added in the order given.
TMonitoredList List(std::initializer_list<std::pair<const char*, const char*>> entries,
                    Type type = Type::mitApp) {
    TMonitoredList list;
    for (const auto& [caption, name] : entries) {
        list.Add(caption, Item(name, type));
    }
    return list;
}

std::vector<std::string> Keys(const TMonitoredList& list) {
    std::vector<std::string> keys;
    for (int i = 0; i < list.Count(); ++i) {
        keys.push_back(list.Keys(i));
    }
    return keys;
}

TEST(MonitoredListTest, SortsCaseBlindAndPutsANewEqualKeyFirst) {
    TMonitoredList list = List({{"b", "/b"}, {"A", "/A"}});
    EXPECT_EQ(list.Add("a", Item("/a")), 0);
    EXPECT_EQ(Keys(list), (std::vector<std::string>{"a", "A", "b"}));
    list.Delete(0);
    EXPECT_EQ(list.Items(0).Name, "/A");
}

TEST(MonitoredListTest, BrokenPreconditionsThrowNamingTheUnit) {
    TMonitoredList list = List({{"a", "/a"}});
    int index = 0;
    EXPECT_THROW(list.Add("x", nullptr), tw::EAssertionFailed);
    EXPECT_THROW(list.Items(1), tw::EAssertionFailed);
    EXPECT_THROW(list.Keys(-1), tw::EAssertionFailed);
    EXPECT_THROW(list.IndexOfItem(nullptr), tw::EAssertionFailed);
    EXPECT_THROW(list.CheckItem(nullptr, index), tw::EAssertionFailed);
    EXPECT_THROW(list.AssignFiltered(nullptr, Type::mitAll, nullptr), tw::EAssertionFailed);
    EXPECT_THROW(list.AddMissingFrom(nullptr, nullptr), tw::EAssertionFailed);
    try {
        list.Delete(1);
        ADD_FAILURE() << "Delete past the end did not throw";
    } catch (const tw::EAssertionFailed& e) {
        EXPECT_NE(std::string(e.what()).find("MonitoredObjects"), std::string::npos);
    }
    EXPECT_EQ(list.Count(), 1);
}

TEST(MonitoredListTest, FindMatchPrefersTheFirstSiteThenTheLastApplication) {
    // Sorted: Editor 1, Editor 2, Example, Mail; both sites cover mail.example.com.
    TMonitoredList list = List({{"Mail", "mail.example.com"}, {"Example", "example.com"}});
    list.Add("Editor 1", Item("C:\\Apps\\edit.exe"));
    list.Add("Editor 2", Item("C:\\Apps\\edit.exe"));
    list.Add("Nameless", Item(""));
    list.Items(1).Active = false; // a deferred removal still matches
    Type kind = Type::mitAll;

    EXPECT_EQ(list.FindMatch("C:\\Apps\\edit.exe", "https://mail.example.com/", kind), 2);
    EXPECT_EQ(kind, Type::mitWeb);
    // Another letter case is the same file where the system says so (Windows).
    EXPECT_EQ(list.FindMatch("c:\\apps\\EDIT.exe", " \t", kind),
              tw::NativePathCase() == tw::TPathCase::AnyCase ? 1 : -1);
    EXPECT_EQ(kind, Type::mitApp);
    // Host letters in any case: the site wins over the program.
    EXPECT_EQ(list.FindMatch("C:\\Apps\\edit.exe", "http://Example.com", kind), 2);
    EXPECT_EQ(kind, Type::mitWeb);
    EXPECT_EQ(list.FindMatch("C:\\Other.exe", "http://example.org", kind), -1);
    EXPECT_EQ(kind, Type::mitApp);
    // An executable the probe could not name matches no nameless item.
    kind = Type::mitAll;
    EXPECT_EQ(list.FindMatch("", "", kind), -1);
    EXPECT_EQ(kind, Type::mitApp);
}

TEST(MonitoredListTest, CopiesBetweenListsHonourTheFilters) {
    TMonitoredList source =
        List({{"News Site", "news.example.com"}, {"Shop", "shop.example.com"}}, Type::mitWeb);
    source.Add("Newsreader", Item("/usr/bin/reader"));
    source.Items(0).Duration = 90;

    TMonitoredList target = List({{"Old", "/old"}});
    const std::string news = "NEWS";
    target.AssignFiltered(&source, Type::mitWeb, &news);
    ASSERT_EQ(Keys(target), (std::vector<std::string>{"News Site"}));
    EXPECT_NE(&target.Items(0), &source.Items(0));
    EXPECT_EQ(target.Items(0).Duration, 90);

    TMonitoredList apps = List({{"My reader", "/USR/bin/reader"}});
    const std::string s = "s";
    apps.AddMissingFrom(&source, &s);
    EXPECT_EQ(Keys(apps), (std::vector<std::string>{"My reader", "News Site", "Shop"}));

    // Filtering a list into itself keeps what passes instead of emptying it.
    source.AssignFiltered(&source, Type::mitApp, nullptr);
    EXPECT_EQ(Keys(source), (std::vector<std::string>{"Newsreader"}));
}

TEST(MonitoredListTest, CheckItemReportsWhatAnAddWouldMeet) {
    TMonitoredList list =
        List({{"Checked", "/checked"}, {"Inactive", "/off"}, {"Plain", "/plain"}});
    list.Items(0).Checked = true;
    list.Items(1).Active = false;
    list.Items(1).Checked = true;
    const struct {
        const char* name;
        tw::TCandidateStatus status;
        int index;
    } cases[] = {{"/new", tw::TCandidateStatus::New, -1},
                 {"/CHECKED", tw::TCandidateStatus::Listed, 0},
                 {"/off", tw::TCandidateStatus::Inactive, 1},
                 {"/plain", tw::TCandidateStatus::ListedUnchecked, 2}};
    for (const auto& c : cases) {
        int index = 99;
        EXPECT_EQ(list.CheckItem(Item(c.name).get(), index), c.status) << c.name;
        EXPECT_EQ(index, c.index) << c.name;
    }

    // The running program itself, its path in other letters.
    std::string self = tw::ProgramPath();
    std::transform(self.begin(), self.end(), self.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    int index = 99;
    const tw::TCandidateStatus status = TMonitoredList().CheckItem(Item(self).get(), index);
    EXPECT_EQ(status, tw::TCandidateStatus::ProgramItself);
    EXPECT_EQ(index, 99);
}

TEST(MonitoredListTest, FillFromNameValueListAddsEachPathOnce) {
    TMonitoredList list = List({{"Listed", "/usr/bin/listed"}});
    tw::FillFromNameValueList({"/usr/bin/edit=Editor", "/usr/bin/edit=Other", "/usr/bin/listed=X",
                               "/usr/bin/calc=Calc=Plus", "No path", "=Empty path"},
                              list);
    ASSERT_EQ(Keys(list), (std::vector<std::string>{"Calc=Plus", "Editor", "Listed"}));
    const TMonitoredItem& editor = list.Items(1);
    EXPECT_EQ(editor.Name, "/usr/bin/edit");
    EXPECT_EQ(editor.Caption, "Editor");
    EXPECT_EQ(editor.ItemType, Type::mitApp);
    EXPECT_TRUE(editor.Active);
}

} // namespace
