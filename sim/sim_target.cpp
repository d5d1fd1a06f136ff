#include "sim/sim_target.h"
