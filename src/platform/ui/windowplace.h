#pragma once

class QSize;
class QWidget;

// Puts a top-level window's frame in the middle of the available area of its screen.
void centreOnScreen(QWidget* w);
// First placing of a child window: in the middle of the main window's child area, or of the screen
// when it has no host (window tests).
void placeChildInCentre(QWidget* w);

// Resizes a top-level window so that, frame included, it measures `outer`. The window manager may
// tell the frame only once it has framed the window (by the window's first paint): until then the
// frame counts as none.
void resizeOuter(QWidget* w, const QSize& outer);
