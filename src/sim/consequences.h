// The learning rule: what the agent meets on the square it entered changes the priorities of
// that square and of the square it left, and its energy.
#pragma once

void applyConsequences();
