#pragma once

#include "dialogs/message_windows.h"
#include "skin/base_form.h"
#include "skin/pictures.h"
#include "storage/error_log.h"

#include <optional>

namespace twtest {

// What a test's windows share, made by the test as the entry makes the program's: the
// message windows, a log (the given one, or one that writes nowhere) and, given an
// appearance, the look drawn with it.
class TestKit {
  public:
    TestKit() : TestKit(nowhere_) {}
    explicit TestKit(tw::TErrorLog& log) : kit_(log) { tw::InstallMessageWindows(kit_); }
    explicit TestKit(tw::TAppearance& appearance) : TestKit() { UseLook(appearance); }
    TestKit(tw::TAppearance& appearance, tw::TErrorLog& log) : TestKit(log) { UseLook(appearance); }
    TestKit(const TestKit&) = delete;
    TestKit& operator=(const TestKit&) = delete;

    tw::TWindowKit& Kit() { return kit_; }
    operator tw::TWindowKit&() { return kit_; }
    tw::TWindowLook& Look() { return *look_; }
    // The windows drawn with the appearance from now on, as the entry has them once the data
    // folder is known.
    void UseLook(tw::TAppearance& appearance) {
        look_.emplace(appearance);
        kit_.SetLook(&*look_);
    }

  private:
    tw::TErrorLog nowhere_;
    tw::TWindowKit kit_;
    std::optional<tw::TWindowLook> look_;
};

} // namespace twtest
