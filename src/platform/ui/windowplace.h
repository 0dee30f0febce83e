#pragma once

class QWidget;

// Puts a top-level window's frame in the middle of the available area of its screen.
void centreOnScreen(QWidget* w);
