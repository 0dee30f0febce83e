#pragma once
#include "platform/apperror.h"
#include <QMetaType>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>

// Office automation on our own terms: classes registered under programmatic identifiers, objects
// created from them, and late-bound calls by member name with positional arguments.
//
// Values travel as QVariants, as automation variants do: an invalid QVariant is null; QString,
// int, qlonglong, double and bool stand for themselves; fixed-point numbers are OleCurrency,
// dates and times OleDate, and objects DispatchRef.

enum class CallKind { Method, PropertyGet, PropertyPut };

// A fixed-point number kept exact: units / 10^scale (the currency type, with the decimals of its
// source so that none is lost).
struct OleCurrency {
    qint64 units = 0;
    int scale = 4;
};

// A date, a time of day or both: whole days since 30/12/1899 and ten-thousandths of a second
// since midnight. The kind tells the receiver how the value is meant to be shown.
struct OleDate {
    enum Kind { Date, Time, DateTime };
    qint64 days = 0;
    qint64 ticks = 0;
    Kind kind = DateTime;
};

// An automation object seen through its dispatch interface: members are looked up by name, then
// invoked by their id.
class Dispatch {
public:
    static constexpr int kUnknownName = -1;
    virtual ~Dispatch() = default;
    // The interface's name, for messages ("Worksheet").
    virtual QString typeName() const = 0;
    // The member's id, or kUnknownName. Names compare without regard to case.
    virtual int memberId(QStringView name) const = 0;
    // Raises DispatchError for a call the member does not take, AppError for the object's own
    // failures.
    virtual QVariant invoke(int member, CallKind kind, std::span<const QVariant> args) = 0;
};
using DispatchRef = std::shared_ptr<Dispatch>;

Q_DECLARE_METATYPE(OleCurrency)
Q_DECLARE_METATYPE(OleDate)
Q_DECLARE_METATYPE(DispatchRef)

// The standard refusals of a dispatch call; the late-bound caller names the object and member.
class DispatchError : public AppError {
public:
    enum Code { UnknownName, MemberNotFound, BadParamCount, TypeMismatch, BadIndex };
    explicit DispatchError(Code code);
    Code code() const { return m_code; }

private:
    Code m_code;
};

// Late-bound call: the member is looked up by name and invoked with the arguments in order.
// A refusal reads "<description> (<type>.<member>)", e.g. "Unknown name (Worksheet.Cels)".
QVariant oleCall(const DispatchRef& object, QStringView member, CallKind kind,
                 std::span<const QVariant> args);
inline QVariant oleCall(const DispatchRef& object, QStringView member, CallKind kind,
                        std::initializer_list<QVariant> args = {}) {
    return oleCall(object, member, kind, std::span<const QVariant>(args.begin(), args.size()));
}
// The object a call returned; "Variant does not reference an automation object" otherwise.
DispatchRef oleObject(const QVariant& value);

// Helpers for implementing Dispatch.
int findMember(QStringView name, std::initializer_list<QStringView> names); // index in names
void checkArgCount(std::span<const QVariant> args, size_t count);           // BadParamCount
int intArgument(const QVariant& v);                                         // TypeMismatch

// The registry of automation classes.
struct ClassRegistration {
    QUuid clsid;
    // Whether the class can be created on this machine now; a class that cannot counts as not
    // registered.
    std::function<bool()> installed;
    std::function<DispatchRef()> create;
};
void registerClass(const QString& progId, ClassRegistration registration); // replaces an earlier one
void unregisterClass(const QString& progId);

// "Invalid class string" when no installed class has the identifier.
QUuid CLSIDFromProgID(const QString& progId);
constexpr int CLSCTX_INPROC_SERVER = 1;
constexpr int CLSCTX_LOCAL_SERVER = 4;
// "Class not registered" for an unknown class; the class's own failure otherwise.
DispatchRef CoCreateInstance(const QUuid& clsid, int context);
// Both steps, as an automation client creates an object; a failure reads as the platform's
// description, then ", ProgID: " and the identifier in double quotes.
DispatchRef createOleObject(const QString& progId);
