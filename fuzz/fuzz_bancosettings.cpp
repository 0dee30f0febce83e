// Banco.new as the open-database dialog reads and rewrites it: the settings read from any text,
// then the four keys written (with values taken from the input) and read back, while every other
// key keeps its value.
#include "fuzzinput.h"
#include "platform/apperror.h"
#include "platform/inifile.h"
#include "platform/textfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzzParts(fuzzBytes(data, size), 3);
    IniFile ini(QStringLiteral("Banco.new"), decodeText(parts[0]));
    const QString section = QStringLiteral("BancoAtual");
    const QStringList keys{QStringLiteral("Servidor"), QStringLiteral("Tipo"), QStringLiteral("Banco"),
                           QStringLiteral("Conexão")};
    for (const QString& key : keys)
        ini.readString(section, key, QString());
    ini.readInteger(section, QStringLiteral("Tipo"), 0);

    // Keys of the file that the writes below do not touch: their values before.
    const IniFile before(QStringLiteral("Banco.new"), decodeText(parts[0]));
    const QString otherKey = decodeText(parts[2]).trimmed();
    const QString otherSection = QStringLiteral("Outra");
    const QString otherValue = before.readString(otherSection, otherKey, QStringLiteral("<none>"));

    const QString value = decodeText(parts[1]);
    bool written = true;
    try {
        ini.writeString(section, QStringLiteral("Servidor"), value);
        ini.writeInteger(section, QStringLiteral("Tipo"), int(size) - 2);
        ini.writeString(section, QStringLiteral("Conexão"), value);
    } catch (const AppError&) {
        written = false; // a value with a line break is refused
        FUZZ_CHECK(value.contains('\n'));
    }
    const IniFile after(QStringLiteral("Banco.new"), ini.text());
    if (written) {
        FUZZ_CHECK(after.readString(section, QStringLiteral("Servidor"), QString()) == value);
        FUZZ_CHECK(after.readInteger(section, QStringLiteral("Tipo"), 0) == int(size) - 2);
        FUZZ_CHECK(after.readString(section, QStringLiteral("Conexão"), QString()) == value);
    }
    FUZZ_CHECK(after.readString(otherSection, otherKey, QStringLiteral("<none>")) == otherValue);
    return 0;
}
