// The eleven display lists, one coloured unit tile each, and which one a square is drawn with.
#pragma once

#include <GL/gl.h>

#include "sim/world.h"

GLuint itemList(const Cell& cell);
GLuint priorityList(const Cell& cell);
