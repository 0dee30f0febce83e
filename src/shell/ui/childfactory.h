#pragma once
class QWidget;

// The main window's child windows, each created and shown as a child of the main window.
// A factory returns the new window, or nullptr while that window is not part of the program yet.
QWidget* createAbreBanco(); // open-database dialog
QWidget* createTabelas();   // table list
QWidget* createFSql();      // SQL command window
QWidget* createMonitor();   // connection monitor
QWidget* createUsuarios();  // users, roles and privileges
QWidget* createObjetos();   // objects of the database
