// vantu: the simulation in a GLUT window, one step per clock tick, both boards redrawn each tick.
#include <GL/glut.h>

#include <cstdlib>

#include "sim/clock.h"
#include "sim/generate.h"
#include "sim/log.h"
#include "view/view.h"

static const int TICKS_PER_SECOND = 20;
static const int TICK_MILLISECONDS = static_cast<int>(1000.0 / TICKS_PER_SECOND);

enum MenuEntry { MENU_STOP = -1, MENU_RESUME = -2, MENU_QUIT = 666 };

// Re-armed first, so a tick's own work does not stretch the period. It keeps redrawing after
// the run is over, which is what shows the keys' effect then.
static void onTimer(int) {
    glutTimerFunc(TICK_MILLISECONDS, onTimer, 0);
    tickClock();
    glutPostRedisplay();
}

// Stop and Resume leave the clock running: they only redraw.
static void onMenu(int entry) {
    if (entry == MENU_QUIT) {
        std::exit(0);
    }
    glutPostRedisplay();
}

int main(int argc, char** argv) {
    // Left in the buffer: the first log line continues it, and exit flushes it if none comes.
    logStartingUp();
    initWorld();

    openWindow(&argc, argv);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyboard);
    glutTimerFunc(0, onTimer, 1);

    glutCreateMenu(onMenu);
    glutAddMenuEntry("Stop", MENU_STOP);
    glutAddMenuEntry("Resume", MENU_RESUME);
    glutAddMenuEntry("Quit", MENU_QUIT);
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    glutMainLoop();
    return 0;
}
