#pragma once
#include <QString>

// Shared by every browse window for the life of the process, empty at start: the select statement
// of the window that last applied a filter or a sort order is rebuilt from these three lines.
extern QString BaseSelect;   // that window's first select line (its BrowseSelect)
extern QString FilterClause; // the filter text last applied, every line ended by a line break
extern QString OrderClause;  // the sort text last applied
