#include "tools/catalogue/catalogue_tool.h"
#include "tools/common/tool_main.h"

int main(int argc, char** argv) {
  return lumio::tools::RunToolMain("lumio-catalogue", argc, argv, lumio::tools::RunCatalogueTool);
}
