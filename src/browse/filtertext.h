#pragma once
#include <QString>
#include <QStringList>

// Texts of the filter window and the order window, and the browse select statement built from
// them. Values of a condition are written as the user typed them (SQL form, quotes and wildcards
// included); field names go through quoteIdentifier so that a name the server only knows quoted
// (blanks, lower case, reserved words) still names its column.

// The seven operators of the filter window, in list order.
const QStringList& filterOperators();

// True when the value, with blanks trimmed, is empty: such a condition is refused.
bool isBlankValue(const QString& value);

// "Where " + field + two blanks + operator + one blank + value as typed.
QString firstConditionLine(const QString& field, const QString& op, const QString& value, int dialect = 3);
// " And " or " Or " + one blank + field + two blanks + operator + one blank + value as typed.
QString furtherConditionLine(bool orJoin, const QString& field, const QString& op, const QString& value,
                             int dialect = 3);

// "Order By " + the names joined by "," without blanks, + " Desc" after the last one when
// descending. Empty when there are no names.
QString orderByText(const QStringList& names, bool descending, int dialect = 3);

// The filter as the browse window keeps it: every line of the condition text ended by a line
// break; empty for an empty text.
QString filterClauseFromText(const QString& conditionText);

// The browse select statement after a filter or a sort order: the lines BaseSelect, FilterClause,
// OrderClause (either of the last two possibly empty).
QStringList filteredSelect(const QString& baseSelect, const QString& filterClause, const QString& orderClause);
// After a rejected filter: BaseSelect and OrderClause alone.
QStringList unfilteredSelect(const QString& baseSelect, const QString& orderClause);

// The list-moving rule of the order window: after the item at `index` has been moved out of a list
// that now holds `remaining` items, the item that took its place is selected, or the last item when
// the moved one was last; -1 (no selection) when the list is empty.
int selectionAfterMove(int index, int remaining);
