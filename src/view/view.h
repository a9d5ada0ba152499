// The picture of the two boards and the keys that steer it. The drawing only reads the
// simulation's state; only the keys change the view.
#pragma once

struct ViewState {
    double eyeHeight;  // camera to the untilted board plane, 1.0 to 175.0
    double tiltAngle;  // degrees about the screen's horizontal axis, 0.0 up to 360.0
    double spinAngle;  // degrees about the screen's vertical axis, 0.0 up to 360.0
};

constexpr double START_EYE_HEIGHT = 175.0;

extern ViewState view;

// Once, with the new window's context current: shade model, clear colour, camera, the palette.
void initGraphics();

// Opens the 300 by 600 window, double-buffered RGB with depth, handing GLUT the command line
// unchanged, and sets up its drawing with initGraphics. No callback is registered yet.
void openWindow(int* argc, char** argv);

// Display and reshape callbacks; drawBoards draws both boards on top of the modelview matrix.
void onDisplay();
void drawBoards();
void onReshape(int width, int height);

// Keyboard callback: zoom, tilt, spin, reset and quit.
void onKeyboard(unsigned char key, int x, int y);
