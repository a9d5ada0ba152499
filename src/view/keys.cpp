#include <cstdlib>

#include "view/view.h"

static const double KEY_STEP = 5.0;
static const double NEAREST_EYE_HEIGHT = 1.0;
static const double WHOLE_TURN = 360.0;

// Into 0 up to a whole turn, so that no run of keys lets an angle drift without bound.
static double wrapAngle(double angle) {
    while (angle >= WHOLE_TURN) {
        angle -= WHOLE_TURN;
    }
    while (angle < 0.0) {
        angle += WHOLE_TURN;
    }
    return angle;
}

// Changes only the view: the clock's next redisplay shows it.
void onKeyboard(unsigned char key, int, int) {
    switch (key) {
        case '+':
        case '=':
            view.eyeHeight -= KEY_STEP;
            break;
        case '-':
        case '_':
            view.eyeHeight += KEY_STEP;
            break;
        case 'I':
        case 'i':
            view.tiltAngle -= KEY_STEP;
            break;
        case 'K':
        case 'k':
            view.tiltAngle += KEY_STEP;
            break;
        case 'J':
        case 'j':
            view.spinAngle += KEY_STEP;
            break;
        case 'L':
        case 'l':
            view.spinAngle -= KEY_STEP;
            break;
        case 'D':
        case 'd':
            view = {START_EYE_HEIGHT, 0.0, 0.0};
            break;
        case 'Q':
        case 'q':
            std::exit(0);
    }
    view.tiltAngle = wrapAngle(view.tiltAngle);
    view.spinAngle = wrapAngle(view.spinAngle);
    if (view.eyeHeight < NEAREST_EYE_HEIGHT) {
        view.eyeHeight = NEAREST_EYE_HEIGHT;
    }
    if (view.eyeHeight > START_EYE_HEIGHT) {
        view.eyeHeight = START_EYE_HEIGHT;
    }
}
