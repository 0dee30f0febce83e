#pragma once
#include <QFont>

// The windows' fonts are given as a character height in pixels ("MS Sans Serif" height -11 is
// 8 point at 96 dpi). Linux has no MS Sans Serif: the application's sans face at that pixel height.
QFont sansFont(int pixelHeight, bool bold = false);
// "Arial" at a pixel height; fontconfig gives its metric twin (Liberation Sans) where Arial is absent.
QFont arialFont(int pixelHeight, bool bold = false);
