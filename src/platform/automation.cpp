#include "platform/automation.h"
#include <QHash>

namespace {
QString describe(DispatchError::Code code) {
    switch (code) {
    case DispatchError::UnknownName:
        return QStringLiteral("Unknown name");
    case DispatchError::MemberNotFound:
        return QStringLiteral("Member not found");
    case DispatchError::BadParamCount:
        return QStringLiteral("Invalid number of parameters");
    case DispatchError::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case DispatchError::BadIndex:
        return QStringLiteral("Invalid index");
    }
    return {};
}

struct Registry {
    QHash<QString, ClassRegistration> byProgId; // keys in lower case: identifiers ignore case
};

Registry& registry() {
    static Registry r;
    return r;
}

const ClassRegistration* findClass(const QUuid& clsid) {
    for (const ClassRegistration& c : std::as_const(registry().byProgId))
        if (c.clsid == clsid) return &c;
    return nullptr;
}
} // namespace

DispatchError::DispatchError(Code code) : AppError(describe(code)), m_code(code) {}

QVariant oleCall(const DispatchRef& object, QStringView member, CallKind kind,
                 std::span<const QVariant> args) {
    if (!object) throw AppError(QStringLiteral("Variant does not reference an automation object"));
    try {
        const int id = object->memberId(member);
        if (id == Dispatch::kUnknownName) throw DispatchError(DispatchError::UnknownName);
        return object->invoke(id, kind, args);
    } catch (const DispatchError& e) {
        throw AppError(QStringLiteral("%1 (%2.%3)").arg(e.message(), object->typeName(), member));
    }
}

DispatchRef oleObject(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<DispatchRef>())
        if (DispatchRef ref = value.value<DispatchRef>()) return ref;
    throw AppError(QStringLiteral("Variant does not reference an automation object"));
}

int findMember(QStringView name, std::initializer_list<QStringView> names) {
    int i = 0;
    for (QStringView n : names) {
        if (n.compare(name, Qt::CaseInsensitive) == 0) return i;
        ++i;
    }
    return Dispatch::kUnknownName;
}

void checkArgCount(std::span<const QVariant> args, size_t count) {
    if (args.size() != count) throw DispatchError(DispatchError::BadParamCount);
}

int intArgument(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
        return v.toInt();
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double: {
        bool ok = false;
        const int i = v.toInt(&ok);
        if (ok && static_cast<double>(i) == v.toDouble()) return i;
        break;
    }
    default:
        break;
    }
    throw DispatchError(DispatchError::TypeMismatch);
}

void registerClass(const QString& progId, ClassRegistration registration) {
    registry().byProgId.insert(progId.toLower(), std::move(registration));
}

void unregisterClass(const QString& progId) {
    registry().byProgId.remove(progId.toLower());
}

QUuid CLSIDFromProgID(const QString& progId) {
    const auto it = registry().byProgId.constFind(progId.toLower());
    if (it == registry().byProgId.constEnd() || (it->installed && !it->installed()))
        throw AppError(QStringLiteral("Invalid class string"));
    return it->clsid;
}

DispatchRef CoCreateInstance(const QUuid& clsid, int context) {
    const ClassRegistration* c = findClass(clsid);
    if (!c || !c->create || !(context & (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER)))
        throw AppError(QStringLiteral("Class not registered"));
    DispatchRef object = c->create();
    if (!object) throw AppError(QStringLiteral("Server execution failed"));
    return object;
}

DispatchRef createOleObject(const QString& progId) {
    try {
        return CoCreateInstance(CLSIDFromProgID(progId), CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER);
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("%1, ProgID: \"%2\"").arg(e.message(), progId));
    }
}
