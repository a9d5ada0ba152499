#include "sim/world.h"

World world;
SimParams params;
AgentState agent;
