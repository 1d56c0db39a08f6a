// The search for the address field in a Firefox or Opera window's accessibility tree, and
// what the reader of today's browsers keeps from one scan to the next, on scripted trees whose
// calls fail at will.
#include "base/exception.h"
#include "platform/win32/address_search.h"
#include "platform/win32/browser_addresses.h"
#include "win32_support/fake_accessible.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using tw::TAccVariant;
using tw::TBrowserKind;
using twtest::TFakeAccessible;
using Call = TFakeAccessible::TCall;
using Access = TFakeAccessible::TChildAccess;

constexpr TBrowserKind Mozilla = TBrowserKind::Firefox;
constexpr TBrowserKind Opera = TBrowserKind::Opera;

TAccVariant NotAnInteger(std::int32_t number) {
    return {TAccVariant::Other, number, nullptr};
}

const char* Name(TBrowserKind kind) {
    return kind == Opera ? "opera" : "mozilla";
}

std::string AddressFromTree(TBrowserKind kind, std::shared_ptr<TFakeAccessible> root) {
    return tw::FindAddressField(root, kind).value_or("");
}

class AddressSearchTest : public ::testing::Test {};

TEST_F(AddressSearchTest, AddressSearchStopsAtTheDepthLimit) {
    const struct {
        TBrowserKind kind;
        int depth;
        bool found;
    } cases[] = {{Mozilla, 0, true},
                 {Mozilla, 4, true},
                 {Mozilla, 5, false},
                 {Opera, 8, true},
                 {Opera, 9, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(Name(c.kind)) + " at depth " + std::to_string(c.depth));
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
        EXPECT_EQ(AddressFromTree(c.kind, root), c.found ? "https://deep.example/" : "");
        EXPECT_EQ(field->roleReads, c.found ? 1 : 0); // too deep is never even examined
    }
}

TEST_F(AddressSearchTest, AddressFieldRulesOfRoleValueAndState) {
    const int focusable = 0x100000;
    const int wanted = TFakeAccessible::StateFocusableHotTracked;
    const struct {
        const char* name;
        TBrowserKind kind;
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
        EXPECT_EQ(AddressFromTree(c.kind, root), c.taken ? c.value : "");
    }
}

TEST_F(AddressSearchTest, FailingCallsFindNothingAndTheWalkGoesOn) {
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
}

TEST_F(AddressSearchTest, ChildVariantsWithoutAnObjectAreSkippedAndTheFirstAddressWins) {
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

TEST_F(AddressSearchTest, NoObjectFindsNothing) {
    EXPECT_EQ(AddressFromTree(Mozilla, nullptr), "");
}

TEST_F(AddressSearchTest, EnumerationReachesChildrenWhenTheListFails) {
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::EnumerationOnly;
    root->Add(TFakeAccessible::Make());
    root->Add(TFakeAccessible::AddressField("http://enum.example/"));
    EXPECT_EQ(AddressFromTree(Mozilla, root), "http://enum.example/");
    // each search starts a fresh enumeration
    EXPECT_EQ(AddressFromTree(Mozilla, root), "http://enum.example/");
}

TEST_F(AddressSearchTest, AFailingEnumerationThrowsItsError) {
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::EnumerationOnly;
    root->enumerationFailsAt = 1;
    root->enumerationError = "Catastrophic failure";
    root->Add(TFakeAccessible::Make());
    root->Add(TFakeAccessible::AddressField("http://never.example/"));
    try {
        tw::FindAddressField(root, TBrowserKind::Firefox);
        ADD_FAILURE() << "no exception";
    } catch (const tw::Exception& e) {
        EXPECT_STREQ(e.what(), "Catastrophic failure");
    }
}

TEST_F(AddressSearchTest, NavigationReachesChildrenWhenListAndEnumerationFail) {
    auto root = TFakeAccessible::Make();
    root->childAccess = Access::NavigationOnly;
    root->Add(TFakeAccessible::Make());
    root->AddId(4, TFakeAccessible::AddressField("http://nav.example/"));
    EXPECT_EQ(AddressFromTree(Mozilla, root), "http://nav.example/");
}

TEST_F(AddressSearchTest, NavigationStopsWhenAChildComesAgain) {
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

TEST_F(AddressSearchTest, TheBarFoundIsKeptAndABrowserThatDidNotAnswerIsLeftAloneForAMoment) {
    auto root = TFakeAccessible::Make();
    auto document = root->Add(TFakeAccessible::Make(TAccVariant::Number(15)));
    document->Add(TFakeAccessible::AddressField("in.the.page.example"))->shortcut = "Ctrl+L";
    auto toolbar = root->Add(TFakeAccessible::Make(TAccVariant::Number(22)));
    auto bar = toolbar->Add(TFakeAccessible::AddressField("news.example"));
    bar->shortcut = "Ctrl+L";

    auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    int asked = 0;
    bool answers = true;
    tw::TWin32BrowserAddresses reader(
        [&](tw::TWindowHandle, unsigned, bool&) {
            ++asked;
            return answers ? std::shared_ptr<tw::TAccessible>(root) : nullptr;
        },
        [&] { return now; });
    auto read = [&](tw::TWindowHandle window) {
        return reader.ReadChromium(window, 10, TBrowserKind::Chrome);
    };

    EXPECT_EQ(read(1).address, "news.example");
    const int rootReads = root->roleReads;
    bar->value = "news.example/later";
    EXPECT_EQ(read(1).address, "news.example/later");
    EXPECT_EQ(root->roleReads, rootReads) << "the kept bar was searched for again";
    EXPECT_EQ(asked, 1);

    // The toolbar rebuilt: the kept bar is gone, and the new one is found at once.
    bar->Fail(Call::Role);
    toolbar->Add(TFakeAccessible::AddressField("news.example/rebuilt"))->shortcut = "Ctrl+L";
    EXPECT_EQ(read(1).address, "news.example/rebuilt");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(document->otherCalls, 0) << "the page's document was reached into";

    // Another window of the browser does not answer: none of its windows is asked for a moment.
    answers = false;
    EXPECT_EQ(read(2).problem, tw::TAddressProblem::NotAnswering);
    answers = true;
    EXPECT_EQ(read(2).problem, tw::TAddressProblem::NotAnswering);
    EXPECT_EQ(read(1).problem, tw::TAddressProblem::NotAnswering);
    EXPECT_EQ(asked, 3);
    now += tw::TWin32BrowserAddresses::SilencePause;
    EXPECT_EQ(read(2).address, "news.example/rebuilt");
    EXPECT_EQ(asked, 4);
}

} // namespace
