#include "tools/common/tool_main.h"
#include "tools/stations/stations_tool.h"

int main(int argc, char** argv) {
  return lumio::tools::RunToolMain("lumio-stations", argc, argv, lumio::tools::RunStationsTool);
}
