// The subcommands of stbupgrade. Each returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace stb::app {

using Args = std::vector<std::string>;

int RunInfo(const Args& args);
int RunUnpack(const Args& args);
int RunTerminal(int argc, char** argv, const Args& args);
int RunGui(int argc, char** argv, const Args& args);
int RunDemo(int argc, char** argv, const Args& args);
int RunSim(const Args& args);

}  // namespace stb::app
