#include "view/palette.h"

#include <GL/glu.h>

#include "palette/colours.h"
#include "view/view.h"

ViewState view = {START_EYE_HEIGHT, 0.0, 0.0};

// One list per colour of the palette: list n draws colour n - 1.
static const GLuint LIST_COUNT = PALETTE_SIZE;

void initGraphics() {
    glShadeModel(GL_FLAT);
    glClearColor(0, 0, 0, 0);
    // Placed once, over the whole board pair; zooming lifts the boards instead of the camera.
    gluLookAt(25.0, view.eyeHeight, -52.5, 25.0, 0.0, -52.5, 0.0, 0.0, -1.0);
    for (GLuint list = 1; list <= LIST_COUNT; ++list) {
        const Colour& colour = PALETTE[list - 1];
        glNewList(list, GL_COMPILE);
        glColor3f(static_cast<GLfloat>(colour.red), static_cast<GLfloat>(colour.green),
                  static_cast<GLfloat>(colour.blue));
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
    return static_cast<GLuint>(itemColour(cell)) + 1;
}

GLuint priorityList(const Cell& cell) {
    return static_cast<GLuint>(priorityColour(cell)) + 1;
}
