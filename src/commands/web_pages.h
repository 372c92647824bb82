#pragma once
// The pages of the program's web site that it opens in the user's browser. All are on the one
// host of web_server.h.

#include <cstdint>
#include <string>
#include <string_view>

#include "ports/window_layer.h"

namespace lumio {

inline constexpr std::string_view kHelpPage = "/ent/help.php?softid=1&ver=1.2&softname=velotune";
inline constexpr std::string_view kStationGuidePage =
    "/ent/radio.php?softid=1&ver=1.2&softname=velotune";
inline constexpr std::string_view kHomePage = "/?softid=1&ver=1.2";
inline constexpr std::string_view kBannerPage = "/radio.php?softid=1&ver=1.2";

// The station page of station `nid` (signed decimal).
std::string StationPagePath(int32_t nid);

// The full address of a page path on the program's web site.
std::string WebPageUrl(std::string_view pathAndQuery);

// Opens a page of the web site in the browser; false when nothing could open it. Most pages open
// with the verb "open" and a plainly shown browser.
bool OpenWebPage(WindowLayer& window, std::string_view pathAndQuery,
                 int32_t showCommand = kShowCommandShow, std::string_view verb = "open");

}  // namespace lumio
