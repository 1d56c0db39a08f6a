#include "platform/x11/x11_notices.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace tw {

TX11Notices::TX11Notices(const std::string& displayName) : connection_(displayName) {
    Display* display = connection_.Get();
    workArea_ = connection_.Intern("_NET_WORKAREA");
    XSelectInput(display, connection_.Root(), PropertyChangeMask);

    // Raw events report every key press wherever the focus is, without grabbing the key
    // away from the program in front (a passive grab of Alt would break its menus).
    int event = 0;
    int error = 0;
    int major = 2;
    int minor = 0;
    if (XQueryExtension(display, "XInputExtension", &inputOpcode_, &event, &error) &&
        XIQueryVersion(display, &major, &minor) == Success) {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
        XISelectEvents(display, connection_.Root(), &mask, 1);
    } else {
        inputOpcode_ = -1;
    }
    XFlush(display);
    connection_.ThrowIfLost();
}

int TX11Notices::Descriptor() {
    return ConnectionNumber(connection_.Get());
}

bool TX11Notices::Next(TDesktopNotice& notice) {
    Display* display = connection_.Get();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (Translate(event, notice)) {
            return true;
        }
    }
    connection_.ThrowIfLost();
    return false;
}

bool TX11Notices::Translate(XEvent& event, TDesktopNotice& notice) {
    if (event.type == PropertyNotify && event.xproperty.atom == workArea_) {
        notice = TDesktopNotice::WorkAreaChange;
        return true;
    }
    if (event.type != GenericEvent || event.xcookie.extension != inputOpcode_ ||
        event.xcookie.evtype != XI_RawKeyPress) {
        return false;
    }
    Display* display = connection_.Get();
    if (!XGetEventData(display, &event.xcookie)) {
        return false;
    }
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    // A held key repeats; only the first press counts as a press.
    const bool repeat = (raw->flags & XIKeyRepeat) != 0;
    const KeySym key = XkbKeycodeToKeysym(display, static_cast<KeyCode>(raw->detail), 0, 0);
    XFreeEventData(display, &event.xcookie);
    if (repeat || (key != XK_Alt_L && key != XK_Alt_R)) {
        return false;
    }
    notice = TDesktopNotice::HotKey;
    return true;
}

} // namespace tw
