// Today's browsers under the system (or Wine): stand-in processes under the browsers'
// program names, whose windows answer with hand-written accessibility trees across the
// process boundary, read by the Windows backend as real browsers are.
#include "monitor/probe.h"
#include "platform/win32/browser_walk.h"
#include "platform/win32/win32_desktop.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <chrono>

using tw::TAddressProblem;
using tw::TBrowserKind;
using twtest::TTestProcess;

namespace {

class Win32BrowserTest : public ::testing::Test {
  protected:
    // Describes the stand-in's window as the next scan would.
    tw::TWindowFacts DescribeOnce(TTestProcess& process) {
        HWND window = twtest::WaitForProcessWindow(process.Id());
        EXPECT_NE(window, nullptr);
        return tw::DescribeWin32Window(desktop, reinterpret_cast<UINT_PTR>(window));
    }
    // The same, as the scans after it would while the browser has not answered in time: on a
    // busy machine a stand-in may well miss a read's time.
    tw::TWindowFacts Describe(TTestProcess& process) {
        tw::TWindowFacts facts;
        twtest::WaitUntil(
            [&] {
                facts = DescribeOnce(process);
                return facts.addressProblem != TAddressProblem::NotAnswering;
            },
            20000);
        return facts;
    }
    // Closes its window as the limit does; its exit code says whether the page's document
    // was reached into (3) or not (0).
    long Close(TTestProcess& process) {
        desktop.PostCloseRequest(
            reinterpret_cast<UINT_PTR>(twtest::WaitForProcessWindow(process.Id())));
        return process.ExitCodeWithin(10000);
    }

    tw::TWin32Desktop desktop;
    twtest::TBrowserStandIns standIns;
};

TEST_F(Win32BrowserTest, EachBrowserIsKnownByItsProgramAndReadWithoutReachingIntoThePage) {
    const struct {
        const char* program;
        const char* arguments;
        TBrowserKind kind;
        const char* address;
    } cases[] = {
        {"chrome.exe", "chromium news.example/today", TBrowserKind::Chrome, "news.example/today"},
        // The bar's name in the person's language is no key.
        {"msedge.exe", "chromium news.example/today \"name=Adress- und Suchleiste\"",
         TBrowserKind::Edge, "news.example/today"},
        {"brave.exe", "chromium news.example/today depth=6", TBrowserKind::Brave,
         "news.example/today"},
        {"opera.exe", "own news.example/today", TBrowserKind::Opera, "news.example/today"},
        {"vivaldi.exe", "own news.example/today", TBrowserKind::Vivaldi, "news.example/today"},
        {"firefox.exe", "firefox https://news.example/today", TBrowserKind::Firefox,
         "https://news.example/today"},
        // The same window class serves programs built on the browsers' toolkit.
        {"editor.exe", "chromium news.example/today", TBrowserKind::Desktop, ""},
        // A bar deeper than any browser's is not looked for.
        {"chrome.exe", "chromium news.example/today depth=40", TBrowserKind::Chrome, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments);
        auto process = standIns.Start(c.program, c.arguments);
        const tw::TWindowFacts facts = Describe(*process);
        EXPECT_EQ(facts.browser, c.kind);
        EXPECT_EQ(facts.address, c.address) << "problem " << static_cast<int>(facts.addressProblem);
        EXPECT_TRUE(facts.executablePath.ends_with(std::string("\\") + c.program))
            << facts.executablePath;
        EXPECT_EQ(Close(*process), 0) << "the page's document was reached into";
    }
}

TEST_F(Win32BrowserTest, WhatIsTypedIntoTheBarIsNoAddress) {
    auto browser = standIns.Start("chrome.exe", "chromium news.example/today");
    EXPECT_EQ(Describe(*browser).address, "news.example/today");
    HWND window = twtest::WaitForProcessWindow(browser->Id());
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"type:listed.example"));
    EXPECT_EQ(Describe(*browser).address, "news.example/today");
    EXPECT_EQ(Close(*browser), 0);

    // A new tab, typed into before any address was read.
    auto newTab = standIns.Start("msedge.exe", "chromium listed.example focused");
    const tw::TWindowFacts facts = Describe(*newTab);
    EXPECT_EQ(facts.address, "");
    EXPECT_EQ(facts.addressProblem, TAddressProblem::NoProblem);
    EXPECT_EQ(Close(*newTab), 0);
}

TEST_F(Win32BrowserTest, FirefoxIsAskedAgainAfterAFailureAndSaidToBeOffWhenItKeepsFailing) {
    auto starting =
        standIns.Start("firefox.exe", "firefox https://news.example/ embeds=fail-first");
    EXPECT_EQ(Describe(*starting).address, "");
    EXPECT_EQ(Describe(*starting).address, "https://news.example/");
    Close(*starting);

    auto off = standIns.Start("firefox.exe", "firefox https://news.example/ embeds=always-fail");
    std::vector<TAddressProblem> problems;
    for (int scan = 0; scan < tw::TWin32BrowserAddresses::FailuresMeaningOff; ++scan) {
        const tw::TWindowFacts facts = Describe(*off);
        EXPECT_EQ(facts.address, "");
        problems.push_back(facts.addressProblem);
    }
    EXPECT_EQ(problems.front(), TAddressProblem::NotFound);
    EXPECT_EQ(problems.back(), TAddressProblem::BrowserAccessibilityOff);
    EXPECT_TRUE(tw::AddressProblemNeedsThePerson(problems.back()));
    Close(*off);
}

TEST_F(Win32BrowserTest, ASlowBrowserIsLeftAloneForAMoment) {
    // Each call waits 40 ms: the search cannot be done within one read's time.
    auto slow = standIns.Start("chrome.exe", "chromium news.example/ delay=40 depth=8");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(DescribeOnce(*slow).addressProblem, TAddressProblem::NotAnswering);
    const auto first = std::chrono::steady_clock::now() - started;
    EXPECT_GE(first, tw::TWin32BrowserAddresses::ReadBudget);
    EXPECT_LT(first, tw::TWin32BrowserAddresses::ReadBudget * 3);
    // Asked again at once, it is not asked at all.
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(DescribeOnce(*slow).addressProblem, TAddressProblem::NotAnswering);
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(40));
    EXPECT_EQ(Close(*slow), 0);
}

} // namespace
