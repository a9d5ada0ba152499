// The boards' eleven colours and which one each square takes. Free of OpenGL, so that the
// window's display lists and the pictures drawn without a window share this one palette.
#pragma once

#include "sim/bands.h"
#include "sim/world.h"

// Red, green and blue from 0 to 1, as the palette is written; the window hands them to OpenGL in
// single precision, the pictures round 255 times the written value.
struct Colour {
    double red, green, blue;
};

// Colour n is drawn by display list n + 1.
enum PaletteIndex : int {
    EMPTY_COLOUR,
    AGENT_COLOUR,
    FOOD_COLOUR,
    POISON_COLOUR,
    UNUSED_COLOUR,
    LOWEST_BAND_COLOUR,  // priority 0 or less; the higher bands follow in order
    PALETTE_SIZE = LOWEST_BAND_COLOUR + PRIORITY_BANDS
};

constexpr Colour PALETTE[PALETTE_SIZE] = {
    {0.8, 0.83, 0.62},  // pale sand: bare
    {0.0, 0.0, 1.0},    // blue: the agent
    {0.0, 0.9, 0.0},    // green: food
    {0.9, 0.0, 0.0},    // red: poison
    {0.5, 0.0, 0.5},    // purple: no square takes it
    {1.0, 0.0, 0.0},    // bright red: 0 or less
    {0.5, 0.0, 0.0},    // dark red: 1 to 3
    {0.9, 0.9, 0.9},    // light grey: 4 to 6
    {0.5, 0.5, 0.0},    // olive: 7 to 9
    {0.5, 0.75, 0.0},   // yellow-green: 10 to 14
    {0.5, 1.0, 0.0},    // lime: 15 or more
};

inline PaletteIndex itemColour(const Cell& cell) {
    switch (cell.kind) {
        case Agent:
            return AGENT_COLOUR;
        case Food:
            return FOOD_COLOUR;
        case Poison:
            return POISON_COLOUR;
        default:  // Empty, and any value no square ever holds
            return EMPTY_COLOUR;
    }
}

inline PaletteIndex priorityColour(const Cell& cell) {
    return static_cast<PaletteIndex>(LOWEST_BAND_COLOUR + priorityBand(cell.priority));
}
