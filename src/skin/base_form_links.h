#pragma once

namespace tw {

// The program's web site; pages are opened as "host/path", without a scheme.
inline constexpr char VendorHost[] = "tallywick.app";
inline constexpr char HelpPage[] = "tallywick.app/help";
inline constexpr char LoginPage[] = "tallywick.app/login";
inline constexpr char DownloadPage[] = "tallywick.app/download";

} // namespace tw
