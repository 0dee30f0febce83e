#pragma once
#include <QIcon>

// The pictures on the browse, table-list and memo buttons, drawn rather than shipped as bitmaps.
enum class Glyph {
    Commit,   // disk with a check: save the transaction
    Rollback, // curved arrow back: undo the transaction
    Columns,  // three columns, one ticked
    Sheet,    // green spreadsheet
    Form,     // a form with lines and boxes
    Open,     // open folder
    New,      // sheet with a plus
    Post,     // check mark: save the row
    Cancel,   // red cross
    Edit,     // pencil
    Delete,   // minus on a sheet
    Order,    // arrows up and down with A-Z
    Filter,   // funnel
    Search,   // magnifying glass
    Exit,     // door with an arrow
    Back,     // arrow to the left: return
};

QIcon glyph(Glyph g);
