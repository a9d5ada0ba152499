#include "sim/regenerate.h"

#include "sim/log.h"
#include "sim/random.h"
#include "sim/world.h"

void regenerateItems() {
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            if (!drawHitsOne(params.regenRarity)) {
                continue;
            }
            Cell& cell = world[row][col];
            // The agent's own square cannot come back under it.
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
