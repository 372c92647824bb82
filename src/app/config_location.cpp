#include "app/config_location.h"

namespace lumio {
namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (!path.empty() && path.back() == '/')
    path.pop_back();
  return path;
}

// The base folder of user configuration; a relative $XDG_CONFIG_HOME is to be ignored.
std::string UserConfigHome(const ConfigFacts& facts) {
  if (!facts.xdgConfigHome.empty() && facts.xdgConfigHome.front() == '/')
    return WithoutTrailingSlashes(facts.xdgConfigHome);
  if (!facts.home.empty() && facts.home.front() == '/')
    return WithoutTrailingSlashes(facts.home) + "/.config";
  return {};
}

}  // namespace

ConfigLocation ChooseConfigLocation(const ConfigFacts& facts) {
  const bool installed = facts.dataDirHasCatalogue && !facts.dataDir.empty();
  if (facts.hasConfigFolder || (facts.programDirWritable && !installed))
    return PortableConfigLocation(facts.programDir);

  ConfigLocation location;
  location.portable = false;
  const std::string base = UserConfigHome(facts);
  if (!base.empty()) {
    location.folder = base + "/lumio";
    location.catalogues.push_back(PathInFolder(location.folder, kCatalogueFileName));
  }
  if (!facts.dataDir.empty())
    location.catalogues.push_back(PathInFolder(facts.dataDir, kCatalogueFileName));
  return location;
}

}  // namespace lumio
