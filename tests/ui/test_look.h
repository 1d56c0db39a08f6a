#pragma once

#include "skin/base_form.h"
#include "skin/pictures.h"

namespace twtest {

// The windows of a test drawn with the given appearance (and reporting to the given log), as
// the entry has them drawn with the program's, until the object goes and the look and log
// before it are back.
class TestLook {
  public:
    explicit TestLook(tw::TAppearance& appearance) : look_(appearance) {
        tw::TfrmBase::SetLook(&look_);
    }
    TestLook(tw::TAppearance& appearance, tw::TErrorLog& log) : TestLook(appearance) {
        tw::TfrmBase::SetLog(&log);
    }
    ~TestLook() {
        tw::TfrmBase::SetLook(previous_);
        tw::TfrmBase::SetLog(previousLog_);
    }
    TestLook(const TestLook&) = delete;
    TestLook& operator=(const TestLook&) = delete;

    tw::TWindowLook& Look() { return look_; }

  private:
    tw::TWindowLook* previous_ = tw::TfrmBase::Look();
    tw::TErrorLog* previousLog_ = &tw::TfrmBase::Log();
    tw::TWindowLook look_;
};

} // namespace twtest
