#include "browse/browsestate.h"

QString BaseSelect;
QString FilterClause;
QString OrderClause;
