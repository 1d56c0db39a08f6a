#include "base/exception.h"
#include "base/json_value.h"
#include "platform/wayland/compositor_connect.h"
#include "platform/wayland/sway_ipc.h"

#include <cstdlib>
#include <string>

namespace tw {

namespace {

// A window of the tree: only views carry the process that shows them, containers and
// workspaces never do.
bool IsWindow(const TJsonValue& node) {
    return node.Find("pid") != nullptr && node.Find("shell") != nullptr;
}

TCompositorWindow WindowOf(const TJsonValue& node) {
    TCompositorWindow window;
    window.window = static_cast<TWindowHandle>(node.NumberOf("id"));
    window.pid = static_cast<int>(node.NumberOf("pid"));
    window.title = node.TextOf("name");
    window.appId = node.TextOf("app_id");
    if (window.appId.empty()) {
        // An Xwayland window has no app id; its X11 class names the program instead.
        if (const TJsonValue* properties = node.Find("window_properties")) {
            window.appId = properties->TextOf("class");
        }
    }
    return window;
}

// Depth first through tiled and floating children alike; false once visit said stop.
bool Walk(const TJsonValue& node, const std::function<bool(const TJsonValue&)>& visit) {
    if (!visit(node)) {
        return false;
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        if (const TJsonValue* list = node.Find(children)) {
            for (const TJsonValue& child : list->items) {
                if (!Walk(child, visit)) {
                    return false;
                }
            }
        }
    }
    return true;
}

class TSwayWindows : public TCompositorWindows {
  public:
    explicit TSwayWindows(const std::string& socket) : ipc_(socket) {}

    const char* Name() const override { return "wayland-sway"; }

    // While swaylock holds the seat, no node of the tree has the focus: nothing is in front,
    // so nothing is counted behind the lock.
    TCompositorWindow Focused() override {
        TCompositorWindow focused;
        Walk(Tree(), [&](const TJsonValue& node) {
            if (node.BoolOf("focused")) {
                if (IsWindow(node)) {
                    focused = WindowOf(node);
                }
                return false;
            }
            return true;
        });
        return focused;
    }

    void EachWindow(const std::function<bool(const TCompositorWindow&)>& visit) override {
        // The tree is read whole before the first visit: the visitor may close windows.
        std::vector<TCompositorWindow> windows;
        Walk(Tree(), [&](const TJsonValue& node) {
            if (IsWindow(node)) {
                windows.push_back(WindowOf(node));
            }
            return true;
        });
        for (const TCompositorWindow& window : windows) {
            if (!visit(window)) {
                break;
            }
        }
    }

    // sway's kill asks politely: a Wayland window gets its close event, an Xwayland one
    // WM_DELETE_WINDOW where it accepts that. A window gone meanwhile matches nothing, which
    // sway answers as a failure nobody needs to hear about.
    void Close(TWindowHandle window) override {
        if (window != 0) {
            ipc_.Ask(TSwayIpc::smRunCommand, "[con_id=" + std::to_string(window) + "] kill");
        }
    }

  private:
    TJsonValue Tree() { return ParseJson(ipc_.Ask(TSwayIpc::smGetTree)); }

    TSwayIpc ipc_;
};

} // namespace

std::unique_ptr<TCompositorWindows> ConnectSway() {
    const char* socket = std::getenv("SWAYSOCK");
    if (socket == nullptr || *socket == '\0') {
        throw Exception("SWAYSOCK is not set: this session was not started by sway");
    }
    return std::make_unique<TSwayWindows>(socket);
}

} // namespace tw
