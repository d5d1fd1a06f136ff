// stbupgrade: firmware upgrade tool for set-top boxes.
#include <cstdio>
#include <string>

#include "app/commands.h"

namespace {
void Usage(FILE* to) {
  std::fprintf(to,
               "usage: stbupgrade [gui]              open the window\n"
               "       stbupgrade run [options]      the window's work in a terminal (run --help)\n"
               "       stbupgrade demo [--gui]       upgrade a simulated set-top box\n"
               "       stbupgrade sim [options]      simulated set-top box on a pseudo-terminal (sim --help)\n"
               "       stbupgrade info FILE          header fields and blocks of an image or packed file\n"
               "       stbupgrade unpack FILE.zdf OUT  decode a packed database file\n");
}
}  // namespace

int main(int argc, char** argv) {
  using namespace stb::app;
  Args args(argv + 1, argv + argc);
  const std::string cmd = args.empty() ? "gui" : args[0];
  Args rest = args.empty() ? Args{} : Args(args.begin() + 1, args.end());
  if (cmd == "gui") return RunGui(argc, argv, rest);
  if (cmd == "run") return RunTerminal(argc, argv, rest);
  if (cmd == "demo") return RunDemo(argc, argv, rest);
  if (cmd == "sim") return RunSim(rest);
  if (cmd == "info") return RunInfo(rest);
  if (cmd == "unpack") return RunUnpack(rest);
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    Usage(stdout);
    return 0;
  }
  std::fprintf(stderr, "stbupgrade: unknown command '%s'\n", cmd.c_str());
  Usage(stderr);
  return 2;
}
