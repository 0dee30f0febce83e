#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures the program draws itself, so it carries no image files. Buttons ask for a subject by
// name; an unknown subject gives a null icon.
//   "network-drive"        a network drive (connect)
//   "network-drive-cross"  the network drive with a red cross (disconnect)
//   "folder-check"         an open folder with a green check (open a table)
//   "page-brush"           a page with a brush (SQL commands)
//   "running-figure"       a running figure (leave)
QIcon subjectIcon(const QString& subject);
// The subject drawn at size x size pixels (device-independent); null for an unknown subject.
QPixmap subjectPixmap(const QString& subject, int size);
QStringList iconSubjects();

// The house picture: a database with a flame, 204 x 191, transparent around it. The main window's
// client area and the about window show it.
QPixmap mainPicture();
// The house picture as the program's window icon (title bars of the main and child windows).
QIcon applicationIcon();

// Compiles the program's resource file into whoever links the UI library; main() and the window
// tests call it once.
void initResources();
