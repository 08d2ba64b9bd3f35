#pragma once

#include <QCursor>

// The speaker grid's pointer over its colour cells: an arrow with a small colour chip, telling
// that a click there opens the colour list.
QCursor colorPickPointer();
