#include <GL/glut.h>

#include "view/palette.h"
#include "view/view.h"

static const GLfloat PRIORITY_BOARD_OFFSET = 55.0f;  // toward -z, beyond the item board

// The square in row r, column c is the tile moved to (c, 0, -r - offset).
static void drawBoard(GLuint (*listFor)(const Cell&), GLfloat offset) {
    for (int row = FIRST_INTERIOR; row <= LAST_INTERIOR; ++row) {
        for (int col = FIRST_INTERIOR; col <= LAST_INTERIOR; ++col) {
            glPushMatrix();
            glTranslatef(static_cast<GLfloat>(col), 0.0f, -static_cast<GLfloat>(row) - offset);
            glCallList(listFor(world[row][col]));
            glPopMatrix();
        }
    }
}

void drawBoards() {
    // The camera stays where it was placed at the start height; zooming lifts the boards.
    glPushMatrix();
    glTranslatef(0.0f, static_cast<GLfloat>(START_EYE_HEIGHT - view.eyeHeight), 0.0f);
    // Both boards turn together about the pivot below the camera: spin first, then tilt.
    glPushMatrix();
    glTranslatef(25.0f, 0.0f, -52.5f);
    glPushMatrix();
    glRotatef(static_cast<GLfloat>(view.tiltAngle), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<GLfloat>(view.spinAngle), 0.0f, 0.0f, 1.0f);
    glTranslatef(-25.0f, 0.0f, 52.5f);
    glPushMatrix();
    drawBoard(itemList, 0.0f);
    drawBoard(priorityList, PRIORITY_BOARD_OFFSET);
    for (int level = 0; level < 4; ++level) {
        glPopMatrix();
    }
}

void onDisplay() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    drawBoards();
    glPopMatrix();
    glFlush();
    glutSwapBuffers();
}

// The aspect stays that of the first 300 by 600 window: other shapes stretch the same view.
void onReshape(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 0.5, 1.0, 500.0);
    // The modelview matrix keeps the camera placed at start-up.
    glMatrixMode(GL_MODELVIEW);
    glutPostRedisplay();
}
