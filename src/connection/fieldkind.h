#pragma once
#include "connection/dataset.h"

// The field kind of a result column by its SQL type code (nullability bit ignored), scale and
// sub-type, on a connection of the given dialect. FieldKind::Unknown: the column has no field
// (arrays and unknown codes) and is left out.
FieldKind fieldKindOf(int sqlType, int scale, int subType, int dialect);
bool isBlobKind(FieldKind k);
// Integers, floats and decimals: shown aligned to the right.
bool isNumberKind(FieldKind k);
