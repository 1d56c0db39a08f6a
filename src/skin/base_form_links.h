#pragma once

namespace tw {

// The program's web site; pages are opened as "host/path", without a scheme.
inline constexpr char kVendorHost[] = "tallywick.app";
inline constexpr char kHelpPage[] = "tallywick.app/help";
inline constexpr char kLoginPage[] = "tallywick.app/login";
inline constexpr char kDownloadPage[] = "tallywick.app/download";

} // namespace tw
