#include "commands/web_pages.h"

#include "commands/web_server.h"

namespace lumio {

std::string StationPagePath(int32_t nid) {
  return "/ent/playerrd.php?nid=" + std::to_string(nid) + "&softid=1&ver=1.2";
}

std::string WebPageUrl(std::string_view pathAndQuery) {
  return "http://" + std::string(kServerDomain) + std::string(pathAndQuery);
}

bool OpenWebPage(WindowLayer& window, std::string_view pathAndQuery, int32_t showCommand,
                 std::string_view verb) {
  return window.OpenUrl(WebPageUrl(pathAndQuery), std::string(verb), showCommand);
}

}  // namespace lumio
