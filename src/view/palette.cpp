#include "view/palette.h"

#include <GL/glu.h>

#include "sim/bands.h"
#include "view/view.h"

ViewState view = {START_EYE_HEIGHT, 0.0, 0.0};

// List n takes PALETTE[n - 1]. List 5 is compiled with the rest, but no square uses it.
enum : GLuint {
    EMPTY_LIST = 1,
    AGENT_LIST,
    FOOD_LIST,
    POISON_LIST,
    UNUSED_LIST,
    LOWEST_BAND_LIST,  // priority 0 or less; the higher bands follow in order
    LIST_COUNT = 11
};

static const GLfloat PALETTE[LIST_COUNT][3] = {
    {0.8f, 0.83f, 0.62f},  // pale sand: bare
    {0.0f, 0.0f, 1.0f},    // blue: the agent
    {0.0f, 0.9f, 0.0f},    // green: food
    {0.9f, 0.0f, 0.0f},    // red: poison
    {0.5f, 0.0f, 0.5f},    // purple
    {1.0f, 0.0f, 0.0f},    // bright red: 0 or less
    {0.5f, 0.0f, 0.0f},    // dark red: 1 to 3
    {0.9f, 0.9f, 0.9f},    // light grey: 4 to 6
    {0.5f, 0.5f, 0.0f},    // olive: 7 to 9
    {0.5f, 0.75f, 0.0f},   // yellow-green: 10 to 14
    {0.5f, 1.0f, 0.0f},    // lime: 15 or more
};

static_assert(LOWEST_BAND_LIST + PRIORITY_BANDS - 1 == LIST_COUNT, "one list for each band");

void initGraphics() {
    glShadeModel(GL_FLAT);
    glClearColor(0, 0, 0, 0);
    // Placed once, over the whole board pair; zooming lifts the boards instead of the camera.
    gluLookAt(25.0, view.eyeHeight, -52.5, 25.0, 0.0, -52.5, 0.0, 0.0, -1.0);
    for (GLuint list = 1; list <= LIST_COUNT; ++list) {
        const GLfloat* colour = PALETTE[list - 1];
        glNewList(list, GL_COMPILE);
        glColor3f(colour[0], colour[1], colour[2]);
        glBegin(GL_QUADS);
        glVertex3f(1, 0, 0);
        glVertex3f(0, 0, 0);
        glVertex3f(0, 0, -1);
        glVertex3f(1, 0, -1);
        glEnd();
        glEndList();
    }
}

GLuint itemList(const Cell& cell) {
    switch (cell.kind) {
        case Agent:
            return AGENT_LIST;
        case Food:
            return FOOD_LIST;
        case Poison:
            return POISON_LIST;
        default:  // Empty, and any value no square ever holds
            return EMPTY_LIST;
    }
}

GLuint priorityList(const Cell& cell) {
    return LOWEST_BAND_LIST + static_cast<GLuint>(priorityBand(cell.priority));
}
