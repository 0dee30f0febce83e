#include "connection/fieldkind.h"
#include <ibase.h>

FieldKind fieldKindOf(int sqlType, int scale, int subType, int dialect) {
    switch (sqlType & ~1) {
    case SQL_VARYING:
    case SQL_TEXT:
        return FieldKind::String;
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_D_FLOAT:
        return FieldKind::Float;
    case SQL_LONG:
    case SQL_INT64:
        if (scale == 0) return (sqlType & ~1) == SQL_LONG ? FieldKind::Integer : FieldKind::LargeInt;
        if (scale >= -4) return FieldKind::BCD;
        return dialect == 1 ? FieldKind::Float : FieldKind::FmtBCD;
    case SQL_SHORT:
        return scale == 0 ? FieldKind::SmallInt : FieldKind::BCD;
    case SQL_TIMESTAMP:
        return FieldKind::DateTime;
    case SQL_BLOB:
        return subType == 1 ? FieldKind::Memo : FieldKind::Blob;
    case SQL_TYPE_TIME:
        return FieldKind::Time;
    case SQL_TYPE_DATE:
        return FieldKind::Date;
    case SQL_BOOLEAN: // 32764, Firebird 3
    case 590:         // the code of the other family of servers
        return FieldKind::Boolean;
    default:
        return FieldKind::Unknown;
    }
}

bool isBlobKind(FieldKind k) { return k == FieldKind::Memo || k == FieldKind::Blob; }

bool isNumberKind(FieldKind k) {
    switch (k) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::LargeInt:
    case FieldKind::Float:
    case FieldKind::BCD:
    case FieldKind::FmtBCD:
        return true;
    default:
        return false;
    }
}
