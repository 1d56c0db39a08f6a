// A browser window for the Windows tests, with a hand-written accessibility tree shaped as
// today's browsers shape theirs. Copied under a browser's program name (chrome.exe, ...).
//   win32_browser_standin SHAPE ADDRESS [OPTION...]
// SHAPE:
//   chromium  Chrome_WidgetWin_1: a page's document first (holding a text field that looks
//             like the address bar), then a toolbar with the bar (text, shortcut Ctrl+L)
//   own       the same, but a toolbar without the shortcut: a read-only text, an empty field,
//             then the bar, an editable focusable text
//   firefox   MozillaWindowClass: a root that embeds the page's document, whose value is ADDRESS
// OPTIONS: focused (the person is typing ADDRESS into the bar), name=TEXT (the bar's name),
//   delay=MS (every call waits), depth=N (levels between the toolbar and the bar),
//   embeds=fail-first|always-fail.
// Says "window" once shown. Sending it WM_SETTEXT "type:TEXT" focuses the bar with TEXT in
// it. Ends when closed, with exit code 3 when the chromium shapes' document was reached into
// (anything but its role read) and 0 otherwise.
#include "platform/win32/com_ids.h"
#include "win32_support/test_accessible.h"
#include "win32_support/test_program.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using twtest::TTestAccessible;

constexpr long RoleClient = 10;
constexpr long RoleDocument = 15;
constexpr long RoleGrouping = 20;
constexpr long RoleToolbar = 22;
constexpr long RoleText = 42;
constexpr long StateFocused = 0x4;
constexpr long StateReadOnly = 0x40;
constexpr long StateFocusable = 0x100000;

struct TStandIn {
    TTestAccessible* root = nullptr;
    TTestAccessible* bar = nullptr;
    TTestAccessible* document = nullptr;
    bool documentTouched = false;
};

TStandIn standIn;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT && standIn.root) {
            return LresultFromObject(tw::IidAccessible, wParam,
                                     static_cast<IAccessible*>(standIn.root));
        }
        break;
    case WM_SETTEXT: {
        const std::wstring text = reinterpret_cast<const wchar_t*>(lParam);
        if (text.rfind(L"type:", 0) == 0 && standIn.bar) {
            standIn.bar->SetValue(text.substr(5));
            standIn.bar->SetState(StateFocusable | StateFocused);
        }
        break;
    }
    case WM_DESTROY:
        PostQuitMessage(standIn.documentTouched ? 3 : 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring Option(const std::vector<std::wstring>& arguments, const std::wstring& name) {
    for (const std::wstring& each : arguments) {
        if (each == name) {
            return L"1";
        }
        if (each.rfind(name + L"=", 0) == 0) {
            return each.substr(name.size() + 1);
        }
    }
    return {};
}

void BuildChromium(const std::vector<std::wstring>& arguments, const std::wstring& address,
                   bool ownToolbar) {
    const bool focused = !Option(arguments, L"focused").empty();
    const std::wstring name = Option(arguments, L"name");
    const int depth = _wtoi(Option(arguments, L"depth").c_str());
    standIn.root = new TTestAccessible(RoleClient, L"");
    standIn.document = standIn.root->Add(new TTestAccessible(RoleDocument, L"page"));
    standIn.document->onTouch = [] { standIn.documentTouched = true; };
    TTestAccessible* pageField = standIn.document->Add(
        new TTestAccessible(RoleText, L"in.the.page.example", StateFocusable));
    pageField->SetShortcut(L"Ctrl+L");
    TTestAccessible* parent = standIn.root->Add(new TTestAccessible(RoleToolbar, L""));
    for (int level = 0; level < depth; ++level) {
        parent = parent->Add(new TTestAccessible(RoleGrouping, L""));
    }
    const long state = StateFocusable | (focused ? StateFocused : 0);
    if (ownToolbar) {
        parent->Add(new TTestAccessible(RoleText, L"Speed dial", StateFocusable | StateReadOnly));
        parent->Add(new TTestAccessible(RoleText, L"", StateFocusable));
    }
    standIn.bar = parent->Add(new TTestAccessible(RoleText, address, state));
    standIn.bar->SetName(name.empty() ? L"Address and search bar" : name);
    if (!ownToolbar) {
        standIn.bar->SetShortcut(L"Ctrl+L");
    }
}

void BuildFirefox(const std::vector<std::wstring>& arguments, const std::wstring& address) {
    standIn.root = new TTestAccessible(RoleClient, L"");
    standIn.document = new TTestAccessible(RoleDocument, address);
    standIn.root->embeds = standIn.document;
    const std::wstring embeds = Option(arguments, L"embeds");
    standIn.root->failFirstEmbeds = embeds == L"fail-first" ? 1 : embeds == L"always-fail" ? -1 : 0;
    // The address bar holds what is typed, which is no page.
    standIn.bar =
        standIn.root->Add(new TTestAccessible(RoleText, L"typed.example", StateFocusable));
}

} // namespace

int main() {
    const std::vector<std::wstring> arguments = twtest::CommandLineArguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: win32_browser_standin chromium|own|firefox ADDRESS "
                             "[focused] [name=TEXT] [delay=MS] [depth=N] [embeds=MODE]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring& shape = arguments[1];
    TTestAccessible::callDelayMs = _wtoi(Option(arguments, L"delay").c_str());
    if (shape == L"firefox") {
        BuildFirefox(arguments, arguments[2]);
    } else {
        BuildChromium(arguments, arguments[2], shape == L"own");
    }
    const wchar_t* className = shape == L"firefox" ? L"MozillaWindowClass" : L"Chrome_WidgetWin_1";
    twtest::RegisterWindowClass(className, Procedure);
    HWND window =
        CreateWindowExW(0, className, L"Stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400,
                        300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        return 4;
    }
    std::printf("window\n");
    std::fflush(stdout);
    const int code = twtest::RunMessageLoop();
    // What a browser's clients still hold of its tree goes when the process ends.
    CoUninitialize();
    return code;
}
