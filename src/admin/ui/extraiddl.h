#pragma once

class QWidget;

// "E&xtrai DDL...": asks through the save dialog where to write the open database's metadata as
// one UTF-8 script, then writes it in the background (a wait cursor meanwhile) and says where it
// went. Cancelling the dialog does nothing.
void extraiDdl(QWidget* parent);
