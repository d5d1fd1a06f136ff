// Frontends still to come.
#include <cstdio>

#include "app/commands.h"

namespace stb::app {
int RunGui(int, char**, const Args&) { std::fprintf(stderr, "not yet\n"); return 2; }
int RunDemo(int, char**, const Args&) { std::fprintf(stderr, "not yet\n"); return 2; }
int RunSim(const Args&) { std::fprintf(stderr, "not yet\n"); return 2; }
}  // namespace stb::app
