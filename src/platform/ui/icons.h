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
//   "disk-check"           a disk with a check (save the transaction)
//   "undo-arrow"           a curved arrow back (undo the transaction)
//   "columns-check"        three columns, one ticked (choose columns)
//   "spreadsheet"          a green spreadsheet (export)
//   "form"                 a form with lines and boxes (record form)
//   "folder-open"          an open folder (reopen)
//   "page-plus"            a page with a plus (new row)
//   "check"                a green check (save the row)
//   "cross"                a red cross (cancel)
//   "pencil"               a pencil (edit)
//   "page-minus"           a page with a minus (delete)
//   "sort-az"              an arrow down with A and Z (sort order)
//   "funnel"               a funnel (filter)
//   "magnifier"            a magnifying glass (search)
//   "door-arrow"           a door with an arrow out (close)
//   "arrow-left"           an arrow to the left (return)
//   "window-gear"          a window with a gear (run a statement)
//   "sheet-pencil"         a sheet with a pencil (generate a statement)
//   "ticked-sheet-pen"     a ticked sheet with a pen (commit)
//   "green-question-mark"  a green question mark (roll back)
//   "double-arrow-left"    a double arrow pointing left (previous)
//   "double-arrow-right"   a double arrow pointing right (next)
//   "floppy-disk"          a floppy disk (save a file)
//   "sheet-in-tray"        a sheet in a tray (load a file)
//   "printer"              a printer (print)
//   "sheet-sparkle"        a blank sheet with a sparkle (new row, record form)
//   "boxed-tick"           a tick in a box (post the row, record form)
//   "ab-cursor"            the letters a and b with a text cursor (edit, record form)
//   "crossed-sheet"        a crossed-out sheet (delete, record form)
//   "arrow-up"             an arrow pointing up (previous row)
//   "arrow-down"           an arrow pointing down (next row)
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
