// The regeneration pass written out as the rule reads: a draw for every interior square, row by
// row, and the checks in their order. The fast pass must agree with it in every draw and line
// (tests/test_sim.cpp), and the benchmark times the two.
#pragma once

#include "sim/log.h"
#include "sim/random.h"
#include "sim/world.h"

inline void regenerateItemsLiterally() {
    for (int row = 1; row <= 49; ++row) {
        for (int col = 1; col <= 49; ++col) {
            if (!drawHitsOne(params.regenRarity)) {
                continue;
            }
            Cell& cell = world[row][col];
            if (cell.kind == Agent || cell.kind == cell.itemKind) {
                continue;
            }
            cell.kind = cell.itemKind;
            logText("Item generated at:");
            logNumber(row);
            logText(",");
            logNumber(col);
            logEndLine();
        }
    }
}
