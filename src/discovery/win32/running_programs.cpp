#include "discovery/win32/running_programs.h"

#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/win32/file_caption.h"
#include "platform/win32/com_ids.h"
#include "platform/win32/process_image_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"
#include "storage/error_log.h"

#include <wbemcli.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <vector>

namespace tw {

namespace {

constexpr CLSID ClsidWbemLocator = {
    0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID IidWbemLocator = {
    0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

// An owned BSTR.
class TBstr {
  public:
    explicit TBstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    TBstr() = default;
    ~TBstr() { SysFreeString(text_); }
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    BSTR Get() const { return text_; }
    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }

  private:
    BSTR text_ = nullptr;
};

struct TVariant {
    VARIANT value;
    TVariant() { VariantInit(&value); }
    ~TVariant() { VariantClear(&value); }
};

// A variant's value as text, as the scripting interface would convert it.
std::string VariantText(VARIANT& value) {
    if (value.vt == VT_NULL || value.vt == VT_EMPTY) {
        return {};
    }
    TVariant text;
    if (FAILED(VariantChangeType(&text.value, &value, 0, VT_BSTR)) || !text.value.bstrVal) {
        return {};
    }
    return Utf8Text(std::wstring_view(text.value.bstrVal, SysStringLen(text.value.bstrVal)));
}

std::string CurrentUserName() {
    // The longest user name the system allows, and its terminating zero.
    constexpr DWORD UserNameCapacity = 257;
    wchar_t name[UserNameCapacity] = {};
    DWORD length = UserNameCapacity;
    return GetUserNameW(name, &length) ? Utf8Text(name, UserNameCapacity) : std::string();
}

// The object path that names the row's process: the row's own, or one made from its key
// where the service leaves the path of a query row with chosen columns empty (Wine).
std::wstring ObjectPathOf(IWbemClassObject& row) {
    TVariant path;
    if (SUCCEEDED(row.Get(L"__PATH", 0, &path.value, nullptr, nullptr)) &&
        path.value.vt == VT_BSTR && path.value.bstrVal && *path.value.bstrVal) {
        return path.value.bstrVal;
    }
    TVariant handle;
    if (SUCCEEDED(row.Get(L"Handle", 0, &handle.value, nullptr, nullptr)) &&
        handle.value.vt == VT_BSTR && handle.value.bstrVal) {
        return std::wstring(L"Win32_Process.Handle=\"") + handle.value.bstrVal + L"\"";
    }
    return {};
}

// The executable of the process a row names by its key; empty when it cannot be told.
std::string ImagePathOfKey(IWbemClassObject& row) {
    TVariant handle;
    if (FAILED(row.Get(L"Handle", 0, &handle.value, nullptr, nullptr))) {
        return {};
    }
    const std::string id = VariantText(handle.value);
    if (id.empty() || id.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    const std::string path = ProcessImagePath(std::stoul(id));
    return path.rfind("Error: ", 0) == 0 ? std::string() : path;
}

// The user name the process runs under; empty when it cannot be told.
std::string OwnerOf(IWbemServices& services, const std::wstring& path) {
    if (path.empty()) {
        return {};
    }
    TBstr pathText(path.c_str());
    TComPtr<IWbemClassObject> result;
    TBstr method(L"GetOwner");
    if (FAILED(services.ExecMethod(pathText.Get(), method.Get(), 0, nullptr, nullptr, result.Out(),
                                   nullptr)) ||
        !result) {
        return {};
    }
    TVariant user;
    if (FAILED(result->Get(L"User", 0, &user.value, nullptr, nullptr))) {
        return {};
    }
    return VariantText(user.value);
}

// One row of the query: the process's object path and its values as texts.
struct TProcessRow {
    std::wstring path;
    std::vector<std::string> values;
};

using TFoundPaths = std::set<std::string, bool (*)(const std::string&, const std::string&)>;

void CollectRunning(const std::string& computerName, TFoundPaths& found) {
    TComPtr<IWbemLocator> locator;
    CheckComResult(CoCreateInstance(ClsidWbemLocator, nullptr, CLSCTX_INPROC_SERVER, IidWbemLocator,
                                    reinterpret_cast<void**>(locator.Out())));
    const std::wstring resource = L"\\\\" + WideText(computerName) + L"\\root\\cimv2";
    TBstr resourceText(resource.c_str());
    TComPtr<IWbemServices> services;
    CheckComResult(locator->ConnectServer(resourceText.Get(), nullptr, nullptr, nullptr, 0, nullptr,
                                          nullptr, services.Out()));
    CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_DEFAULT, nullptr,
                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    // The key is named as well: every row brings it anyway, and where the service leaves
    // it out the process could not be asked for its owner.
    wchar_t query[128];
    std::swprintf(query, 128, L"SELECT %ls FROM %ls", L"ExecutablePath, Handle", L"Win32_Process");
    TBstr language(L"WQL");
    TBstr queryText(query);
    TComPtr<IEnumWbemClassObject> rows;
    CheckComResult(services->ExecQuery(language.Get(), queryText.Get(), WBEM_FLAG_FORWARD_ONLY,
                                       nullptr, rows.Out()));
    // The rows are read to the end before any process is asked for its owner: a method
    // call in the middle of a forward-only enumeration spoils the rows still to come on
    // some systems (Wine).
    std::vector<TProcessRow> processes;
    for (;;) {
        TComPtr<IWbemClassObject> row;
        ULONG count = 0;
        CheckComResult(rows->Next(static_cast<LONG>(WBEM_INFINITE), 1, row.Out(), &count));
        if (count == 0 || !row) {
            break;
        }
        TProcessRow process{ObjectPathOf(*row.Get()), {}};
        if (SUCCEEDED(row->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY))) {
            for (;;) {
                TBstr name;
                TVariant value;
                if (row->Next(0, name.Out(), &value.value, nullptr, nullptr) != WBEM_S_NO_ERROR) {
                    break;
                }
                if (name.Get() && std::wstring(name.Get()) == L"Handle") {
                    continue;
                }
                process.values.push_back(VariantText(value.value));
            }
            row->EndEnumeration();
        }
        // A service without the property at all (Wine's) still names the process by its
        // key, the process id: its image path then comes from the process itself.
        if (process.values.empty()) {
            TVariant value;
            const HRESULT got = row->Get(L"ExecutablePath", 0, &value.value, nullptr, nullptr);
            if (SUCCEEDED(got)) {
                process.values.push_back(VariantText(value.value));
            } else if (got == static_cast<HRESULT>(WBEM_E_NOT_FOUND)) {
                process.values.push_back(ImagePathOfKey(*row.Get()));
            }
        }
        processes.push_back(std::move(process));
    }
    const std::string user = CurrentUserName();
    for (const TProcessRow& process : processes) {
        if (!SameText(OwnerOf(*services.Get(), process.path), user)) {
            continue;
        }
        for (const std::string& text : process.values) {
            if (!text.empty()) {
                found.insert(text);
            }
        }
    }
}

bool CaseInsensitiveLess(const std::string& a, const std::string& b) {
    return LowerAscii(a) < LowerAscii(b);
}

} // namespace

void ProcessesExeNamesGet(const std::string& computerName, std::vector<std::string>& lines,
                          TErrorLog& log) {
    lines.clear();
    TFoundPaths found(&CaseInsensitiveLess);
    try {
        CollectRunning(computerName, found);
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, "; ProcessesExeNamesGet: "));
    }
    for (const std::string& path : found) {
        lines.push_back(ProgramLine(path, FileCaption(path)));
    }
}

void KeepProgramsWithDesktopWindows(std::vector<std::string>& lines) {
    std::vector<std::string> shown;
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            const auto exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
            if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr &&
                (exStyle & WS_EX_TOOLWINDOW) == 0) {
                DWORD processId = 0;
                GetWindowThreadProcessId(window, &processId);
                reinterpret_cast<std::vector<std::string>*>(context)->push_back(
                    ProcessImagePath(processId));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    KeepProgramLinesOf(shown, lines);
}

} // namespace tw
