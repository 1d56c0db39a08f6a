#pragma once

#include "storage/options.h"

namespace tw {

// The administrator's access is good for one guarded action: whoever typed the password
// since the action began. Every window that consumes it holds one of these for the whole
// action, so that the access is used up when the action ends, however it ends.
class TAdminAccessScope {
  public:
    explicit TAdminAccessScope(TOptions& options) : options_(options) {}
    ~TAdminAccessScope() { options_.AdminAccess = false; }
    TAdminAccessScope(const TAdminAccessScope&) = delete;
    TAdminAccessScope& operator=(const TAdminAccessScope&) = delete;

  private:
    TOptions& options_;
};

} // namespace tw
