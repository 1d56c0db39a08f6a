#include "monitor/probe.h"

#include "base/exception.h"
#include "platform/fake/fake_accessible.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "storage/error_log.h"

#include <gtest/gtest.h>

namespace {

using tw::TAccVariant;
using tw::TFakeAccessible;
using tw::TFakeDesktop;
using tw::TFakeProcess;
using tw::TWindowHandle;
using Call = TFakeAccessible::TCall;
using Access = TFakeAccessible::TChildAccess;
using ItemType = tw::TMonitoredItemType;

constexpr const char* Mozilla = "MozillaWindowClass";
constexpr const char* Opera = "OperaWindowClass";

TAccVariant NotAnInteger(std::int32_t number) {
    return {TAccVariant::Other, number, nullptr};
}

tw::TMonitoredList List(std::initializer_list<std::pair<const char*, ItemType>> names) {
    tw::TMonitoredList list;
    for (const auto& [name, type] : names) {
        auto item = std::make_unique<tw::TMonitoredItem>();
        item->Name = name;
        item->ItemType = type;
        const std::string caption = std::string("Caption of ") + name;
        item->Caption = caption;
        list.Add(caption, std::move(item));
    }
    return list;
}

class ProbeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tw::SetErrorLogListener([this](const std::string& text) { errors.push_back(text); });
    }
    void TearDown() override { tw::SetErrorLogListener({}); }

    void ProbeForeground(TWindowHandle window) {
        desk.SetForeground(window);
        probe.Execute(false, nullptr);
    }
    // A browser window whose content window has the given class and accessibility tree.
    TWindowHandle AddTreeWindow(const char* className, std::shared_ptr<TFakeAccessible> root,
                                const std::string& exe = "C:\\Browsers\\b.exe") {
        TWindowHandle frame = desk.AddWindow("BrowserFrame", TFakeProcess::Path(exe));
        desk.SetAccessible(desk.AddChild(frame, className), std::move(root));
        return frame;
    }
    std::string AddressFromTree(const char* className, std::shared_ptr<TFakeAccessible> root) {
        ProbeForeground(AddTreeWindow(className, std::move(root)));
        return probe.Url;
    }

    TFakeDesktop desk;
    tw::TOnlineTimeApplication probe{desk};
    std::vector<std::string> errors;
};

// --- descendant windows ---

struct ClassCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> descendants; // class, text
    const char* kindText;
    const char* url;
};

TEST_F(ProbeTest, DescendantClassesDecideKindAndAddressInOrder) {
    const ClassCase cases[] = {
        {"plain editor", {{"Edit", "notes"}}, "Desktop Application", ""},
        {"address band then edit, raw text",
         {{"ToolbarWindow", ""}, {"Address Band Root", ""}, {"Edit", "www.example.com/a"}},
         "MS Internet Explorer",
         "www.example.com/a"},
        {"address display control",
         {{"AddressDisplay Control", ""}, {"Edit", "http://x.example/"}},
         "MS Internet Explorer",
         "http://x.example/"},
        {"edit before the band is ignored",
         {{"Edit", "draft"}, {"Address Band Root", ""}, {"Edit", "example.com"}},
         "MS Internet Explorer",
         "example.com"},
        {"an empty first edit still stops",
         {{"Address Band Root", ""}, {"Edit", ""}, {"Edit", "late.example.com"}},
         "MS Internet Explorer",
         ""},
        {"omnibox text without scheme",
         {{"Chrome_AutocompleteEditView", "mail.example.com/inbox"}},
         "Google Chrome",
         "mail.example.com/inbox"},
        {"first browser class met wins",
         {{"Chrome_AutocompleteEditView", "a.example"}, {Mozilla, ""}},
         "Google Chrome",
         "a.example"},
        {"mozilla stops even without an address",
         {{Mozilla, ""}, {"Chrome_AutocompleteEditView", "b.example"}},
         "Mozila FireFox",
         ""},
        {"mozilla after a band", {{"Address Band Root", ""}, {Mozilla, ""}}, "Mozila FireFox", ""},
        {"opera", {{Opera, ""}, {"Chrome_AutocompleteEditView", "c.example"}}, "Opera", ""},
        {"class names are case-sensitive",
         {{"mozillawindowclass", ""}, {"address band root", ""}, {"Edit", "x.example"}},
         "Desktop Application",
         ""},
    };
    for (const ClassCase& c : cases) {
        SCOPED_TRACE(c.name);
        TWindowHandle frame = desk.AddWindow("Frame", TFakeProcess::Path("C:\\App\\a.exe"));
        for (const auto& [className, text] : c.descendants) {
            desk.AddChild(frame, className, text);
        }
        ProbeForeground(frame);
        EXPECT_EQ(probe.BrowserName(), c.kindText);
        EXPECT_EQ(probe.Url, c.url);
        EXPECT_EQ(probe.ExeName, "C:\\App\\a.exe");
        EXPECT_EQ(probe.Window, frame);
        desk.RemoveWindow(frame);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProbeTest, DescendantsAreSearchedDepthFirst) {
    TWindowHandle frame = tw::AddInternetExplorerWindow(desk, "C:\\ie.exe", "deep.example");
    desk.AddChild(frame, "Edit", "later sibling");
    ProbeForeground(frame);
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::InternetExplorer);
    EXPECT_EQ(probe.Url, "deep.example");
}

TEST_F(ProbeTest, BrowserHelpersOfTheFakeAreRecognised) {
    const std::pair<TWindowHandle, tw::TBrowserKind> windows[] = {
        {tw::AddEditorWindow(desk, "C:\\e.exe", "https://not.an.address"),
         tw::TBrowserKind::Desktop},
        {tw::AddInternetExplorerWindow(desk, "C:\\i.exe", "https://i.example/"),
         tw::TBrowserKind::InternetExplorer},
        {tw::AddMozillaWindow(desk, "C:\\m.exe", "https://i.example/"), tw::TBrowserKind::Firefox},
        {tw::AddChromeWindow(desk, "C:\\c.exe", "https://i.example/"), tw::TBrowserKind::Chrome},
        {tw::AddOperaWindow(desk, "C:\\o.exe", "https://i.example/"), tw::TBrowserKind::Opera},
    };
    for (const auto& [window, kind] : windows) {
        ProbeForeground(window);
        EXPECT_EQ(probe.BrowserKind, kind);
        EXPECT_EQ(probe.Url, kind == tw::TBrowserKind::Desktop ? "" : "https://i.example/");
    }
}

// --- accessibility search ---

TEST_F(ProbeTest, AddressSearchStopsAtTheDepthLimit) {
    const struct {
        const char* className;
        int depth;
        bool found;
    } cases[] = {{Mozilla, 0, true},
                 {Mozilla, 4, true},
                 {Mozilla, 5, false},
                 {Opera, 8, true},
                 {Opera, 9, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " at depth " + std::to_string(c.depth));
        auto field = TFakeAccessible::AddressField("https://deep.example/",
                                                   TFakeAccessible::StateFocusableHotTracked);
        auto root = c.depth == 0 ? field : TFakeAccessible::Make();
        auto node = root;
        for (int depth = 1; depth < c.depth; ++depth) {
            node = node->Add(TFakeAccessible::Make());
        }
        if (c.depth > 0) {
            node->Add(field);
        }
        EXPECT_EQ(AddressFromTree(c.className, root), c.found ? "https://deep.example/" : "");
        EXPECT_EQ(field->roleReads, c.found ? 1 : 0); // too deep is never even examined
    }
}

TEST_F(ProbeTest, AddressFieldRulesOfRoleValueAndState) {
    const int focusable = 0x100000;
    const int wanted = TFakeAccessible::StateFocusableHotTracked;
    const struct {
        const char* name;
        const char* className;
        TAccVariant role;
        const char* value;
        TAccVariant state;
        bool taken;
    } cases[] = {
        {"https", Mozilla, TAccVariant::Number(42), "https://a.example/", {}, true},
        {"http", Mozilla, TAccVariant::Number(42), "http://a.example/", {}, true},
        {"ftp", Mozilla, TAccVariant::Number(42), "ftp://files.example/", {}, true},
        {"ftps", Mozilla, TAccVariant::Number(42), "ftps://files.example/", {}, true},
        {"about:blank", Mozilla, TAccVariant::Number(42), "about:blank", {}, false},
        {"scheme case", Mozilla, TAccVariant::Number(42), "HTTP://A.EXAMPLE/", {}, false},
        {"prefix not at start", Mozilla, TAccVariant::Number(42), " http://a.example/", {}, false},
        {"not editable text", Mozilla, TAccVariant::Number(41), "http://a.example/", {}, false},
        {"role not an integer", Mozilla, NotAnInteger(42), "http://a.example/", {}, false},
        {"opera exact state", Opera, TAccVariant::Number(42), "http://a.example/",
         TAccVariant::Number(wanted), true},
        {"opera focusable only", Opera, TAccVariant::Number(42), "http://a.example/",
         TAccVariant::Number(focusable), false},
        {"opera extra state bit", Opera, TAccVariant::Number(42), "http://a.example/",
         TAccVariant::Number(wanted | 0x4), false},
        {"opera state not an integer", Opera, TAccVariant::Number(42), "http://a.example/",
         NotAnInteger(wanted), false},
        {"opera state unreadable", Opera, TAccVariant::Number(42), "http://a.example/", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto root = TFakeAccessible::Make();
        root->Add(TFakeAccessible::Make(c.role, c.value, c.state));
        EXPECT_EQ(AddressFromTree(c.className, root), c.taken ? c.value : "");
    }
}

TEST_F(ProbeTest, FailingCallsFindNothingAndTheWalkGoesOn) {
    // root -> [container -> child id 7 -> field "a", sibling field "b"]
    const struct {
        const char* name;
        bool onContainer;
        Call call;
        const char* url;
    } cases[] = {
        {"child count", true, Call::ChildCount, "http://b.example/"},
        {"child object of an id", true, Call::Child, "http://b.example/"},
        {"children list: enumeration takes over", true, Call::Children, "http://a.example/"},
        {"role of the field", false, Call::Role, "http://b.example/"},
        {"value of the field", false, Call::Value, "http://b.example/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto root = TFakeAccessible::Make();
        auto container = root->Add(TFakeAccessible::Make());
        auto field = TFakeAccessible::AddressField("http://a.example/");
        container->AddId(7, field);
        root->Add(TFakeAccessible::AddressField("http://b.example/"));
        (c.onContainer ? *container : *field).Fail(c.call);
        EXPECT_EQ(AddressFromTree(Mozilla, root), c.url);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProbeTest, ChildVariantsWithoutAnObjectAreSkippedAndTheFirstAddressWins) {
    auto root = TFakeAccessible::Make();
    root->AddId(1);                                // a simple element
    root->AddVariant(TAccVariant::Of(nullptr));    // an object without the interface
    root->AddVariant({TAccVariant::Other, 3, {}}); // neither id nor object
    root->AddVariant({});                          // empty
    root->AddId(2, TFakeAccessible::AddressField("http://two.example/"));
    auto later = root->Add(TFakeAccessible::AddressField("http://later.example/"));
    EXPECT_EQ(AddressFromTree(Mozilla, root), "http://two.example/");
    EXPECT_EQ(later->roleReads, 0);
}

TEST_F(ProbeTest, WindowsWithoutAnAccessibleObjectFindNothing) {
    EXPECT_EQ(AddressFromTree(Mozilla, nullptr), "");
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Firefox);
}

TEST_F(ProbeTest, EnumerationReachesChildrenWhenTheListFails) {
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::EnumerationOnly;
    root->Add(TFakeAccessible::Make());
    root->Add(TFakeAccessible::AddressField("http://enum.example/"));
    EXPECT_EQ(AddressFromTree(Mozilla, root), "http://enum.example/");
    // each search starts a fresh enumeration
    probe.Execute(false, nullptr);
    EXPECT_EQ(probe.Url, "http://enum.example/");
}

TEST_F(ProbeTest, AFailingEnumerationIsReportedAndKeepsWhatWasFound) {
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::EnumerationOnly;
    root->enumerationFailsAt = 1;
    root->enumerationError = "Catastrophic failure";
    root->Add(TFakeAccessible::Make());
    root->Add(TFakeAccessible::AddressField("http://never.example/"));
    ProbeForeground(AddTreeWindow(Mozilla, root, "C:\\Browsers\\moz.exe"));
    EXPECT_EQ(errors, std::vector<std::string>{"ErrorClassName: Exception; "
                                               "TOnlineTimeApplication.Execute: "
                                               "Catastrophic failure"});
    EXPECT_EQ(probe.Url, "");
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Firefox);
    EXPECT_EQ(probe.ExeName, "C:\\Browsers\\moz.exe");
}

TEST_F(ProbeTest, NavigationReachesChildrenWhenListAndEnumerationFail) {
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::NavigationOnly;
    root->Add(TFakeAccessible::Make());
    root->AddId(4, TFakeAccessible::AddressField("http://nav.example/"));
    EXPECT_EQ(AddressFromTree(Mozilla, root), "http://nav.example/");
}

TEST_F(ProbeTest, NavigationStopsWhenAChildComesAgain) {
    // Navigation answering "next" with the same child, or cycling back to an earlier one.
    const std::vector<int> loops[] = {{0, 0}, {0, 1, 0}, {0, 1, 2, 1}};
    for (const auto& loop : loops) {
        auto root = TFakeAccessible::Make();
        std::vector<std::shared_ptr<TFakeAccessible>> children;
        for (int i = 0; i < 3; ++i) {
            children.push_back(TFakeAccessible::Make());
        }
        root->childAccess = Access::NavigationOnly;
        root->AddId(1); // a child count to walk
        std::size_t calls = 0;
        root->navigation = [&](int, const TAccVariant&) {
            ++calls;
            return calls <= loop.size() ? TAccVariant::Of(children[loop[calls - 1]])
                                        : TAccVariant{};
        };
        EXPECT_EQ(AddressFromTree(Mozilla, root), "");
        EXPECT_EQ(calls, loop.size());
        for (const auto& child : children) {
            EXPECT_LE(child->roleReads, 1);
        }
    }
}

// --- executable paths ---

TEST_F(ProbeTest, ExecutablePathForms) {
    desk.SetDosDevice('C', "\\Device\\HarddiskVolume1");
    desk.SetDosDevice('D', "\\Device\\HarddiskVolume10");
    const struct {
        TFakeProcess process;
        const char* exeName;
    } cases[] = {
        {TFakeProcess::Path("C:\\Apps\\edit.exe"), "C:\\Apps\\edit.exe"},
        {TFakeProcess::Unopenable("Access is denied."), "Error: Access is denied."},
        {TFakeProcess::DevicePath("\\Device\\HarddiskVolume1\\Apps\\x.exe"), "C:\\Apps\\x.exe"},
        {TFakeProcess::DevicePath("\\Device\\HarddiskVolume10\\Apps\\x.exe"), "D:\\Apps\\x.exe"},
        {TFakeProcess::DevicePath("\\Device\\HarddiskVolume7\\Apps\\x.exe"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exeName);
        TWindowHandle window = desk.AddWindow("Frame", c.process);
        desk.AddChild(window, "Chrome_AutocompleteEditView", "still.read.example");
        ProbeForeground(window);
        EXPECT_EQ(probe.ExeName, c.exeName);
        EXPECT_EQ(probe.Url, "still.read.example"); // detection runs whatever the path
    }
}

// --- foreground and refresh ---

TEST_F(ProbeTest, OnlyTheForegroundWindowIsExaminedAndEachRunStartsAfresh) {
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "a.example");
    TWindowHandle editor = tw::AddEditorWindow(desk, "C:\\e.exe");
    ProbeForeground(chrome);
    EXPECT_TRUE(probe.Visited);
    ProbeForeground(editor);
    EXPECT_EQ(probe.Window, editor);
    EXPECT_EQ(probe.ExeName, "C:\\e.exe");
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Desktop);
    EXPECT_EQ(probe.Url, "");

    ProbeForeground(chrome);
    ProbeForeground(0);
    EXPECT_EQ(probe.Window, 0u);
    EXPECT_EQ(probe.ExeName, "");
    EXPECT_EQ(probe.Url, "");
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Desktop);
    EXPECT_FALSE(probe.Visited);
    EXPECT_TRUE(desk.CloseRequests().empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProbeTest, AWindowVanishingWhileExaminedIsNoFailure) {
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "a.example");
    desk.SetVisitHook([&](TWindowHandle w) {
        if (w != chrome && desk.Exists(chrome)) {
            desk.RemoveWindow(chrome); // gone just as its edit view is reached
        }
    });
    ProbeForeground(chrome);
    EXPECT_EQ(probe.ExeName, "C:\\c.exe");
    EXPECT_EQ(probe.BrowserKind, tw::TBrowserKind::Desktop);
    EXPECT_EQ(probe.Url, "");
    EXPECT_TRUE(errors.empty());
}

// --- close-all pass ---

TEST_F(ProbeTest, CloseAllAsksExactlyTheListedWindowsToClose) {
    const auto list = List({{"video.example.com", ItemType::mitWeb},
                            {"news.example.org", ItemType::mitWeb},
                            {"C:\\Tools\\game.exe", ItemType::mitApp}});
    TWindowHandle mozilla =
        tw::AddMozillaWindow(desk, "C:\\m.exe", "https://video.example.com/watch");
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "news.example.org/today");
    TWindowHandle editor = tw::AddEditorWindow(desk, "C:\\Apps\\edit.exe", "video.example.com");
    TWindowHandle game = tw::AddEditorWindow(desk, "c:\\tools\\GAME.exe");
    tw::AddChromeWindow(desk, "C:\\c.exe", "other.example.net");
    desk.SetForeground(editor);

    probe.Execute(true, &list);
    EXPECT_EQ(desk.CloseRequests(), (std::vector<TWindowHandle>{mozilla, chrome, game}));
    EXPECT_FALSE(probe.CloseAll);
    EXPECT_EQ(probe.CloseList, nullptr);
    EXPECT_FALSE(probe.Visited);

    desk.ClearRecords();
    desk.SetForeground(mozilla);
    probe.Execute(false, &list);
    EXPECT_TRUE(desk.CloseRequests().empty()); // a single look closes nothing
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProbeTest, CloseAllGoesOnPastABrokenEnumerationAndAVanishedWindow) {
    const auto list =
        List({{"C:\\Browsers\\moz.exe", ItemType::mitApp}, {"news.example.org", ItemType::mitWeb}});
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::EnumerationOnly;
    root->enumerationFailsAt = 0;
    root->Add(TFakeAccessible::Make());
    TWindowHandle broken = AddTreeWindow(Mozilla, root, "C:\\Browsers\\moz.exe");
    TWindowHandle vanishing = tw::AddChromeWindow(desk, "C:\\c.exe", "news.example.org/a");
    TWindowHandle chrome = tw::AddChromeWindow(desk, "C:\\c.exe", "news.example.org/b");
    desk.SetVisitHook([&](TWindowHandle w) {
        if (w == vanishing) {
            desk.RemoveWindow(vanishing);
        }
    });
    probe.Execute(true, &list);
    EXPECT_EQ(desk.CloseRequests(), (std::vector<TWindowHandle>{broken, chrome}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("TOnlineTimeApplication.Execute: Unspecified error"),
              std::string::npos);
}

TEST_F(ProbeTest, CloseAllWithoutAListIsReportedNotThrown) {
    tw::AddEditorWindow(desk, "C:\\e.exe");
    probe.Execute(true, nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(
        errors[0].rfind("ErrorClassName: EAssertionFailed; TOnlineTimeApplication.Execute: ", 0),
        0u);
    EXPECT_NE(errors[0].find("OnlineTimeApplicationObjects"), std::string::npos);
    EXPECT_FALSE(probe.CloseAll);
    EXPECT_EQ(probe.ExeName, "C:\\e.exe"); // what was filled before the failure stays
}

// --- IsListed ---

TEST_F(ProbeTest, IsListedDescribesTheMatchAndClearsTheCaptionFirst) {
    const auto list =
        List({{"C:\\Apps\\edit.exe", ItemType::mitApp}, {"example.com", ItemType::mitWeb}});
    const struct {
        const char* exe;
        const char* url;
        int index;
        ItemType kind;
        const char* caption;
    } cases[] = {
        {"C:\\Apps\\edit.exe", "https://www.example.com/", 1, ItemType::mitWeb,
         "Caption of example.com"},
        {"C:\\Apps\\edit.exe", "", 0, ItemType::mitApp, "Caption of C:\\Apps\\edit.exe"},
        {"Error: Access is denied.", "https://other.example.org/", -1, ItemType::mitApp, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe + std::string(" ") + c.url);
        probe.ExeName = c.exe;
        probe.Url = c.url;
        int index = 99;
        ItemType kind = ItemType::mitAll;
        std::string caption = "left over";
        EXPECT_EQ(tw::IsListed(probe, &list, index, kind, caption), c.index != -1);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(caption, c.caption);
    }
    int index = 0;
    ItemType kind = ItemType::mitAll;
    std::string caption = "left over";
    EXPECT_THROW(tw::IsListed(probe, nullptr, index, kind, caption), tw::EAssertionFailed);
    EXPECT_EQ(caption, "");
}

} // namespace
