#include <GL/glut.h>

#include "view/view.h"

// The size is set before GLUT reads the command line, so that a -geometry there still wins.
void openWindow(int* argc, char** argv) {
    glutInitWindowSize(300, 600);
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Vantu - Version 0.5 6/6/01");
    initGraphics();
}
