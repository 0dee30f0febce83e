#include "connection/bancosettings.h"
#include "platform/appdir.h"
#include "platform/inifile.h"
#include <algorithm>

namespace {
const QString kSection = QStringLiteral("BancoAtual");
const QString kServer = QStringLiteral("Servidor");
const QString kProtocol = QStringLiteral("Tipo");
const QString kDatabase = QStringLiteral("Banco");
const QString kConnection = QStringLiteral("Conexão");
} // namespace

QString bancoSettingsFileName() {
    return applicationFile(QStringLiteral("Banco.new"));
}

BancoSettings LoadSettings() {
    const IniFile ini(bancoSettingsFileName());
    BancoSettings s;
    s.server = ini.readString(kSection, kServer, QString());
    // The radio group takes -1 (nothing chosen) to 3; beyond those it shows the nearest end.
    s.protocol = std::clamp(ini.readInteger(kSection, kProtocol, 0), -1, 3);
    s.database = ini.readString(kSection, kDatabase, QString());
    s.connection = ini.readString(kSection, kConnection, QString());
    return s;
}

void SaveSettings(const BancoSettings& settings) {
    IniFile ini(bancoSettingsFileName());
    ini.writeString(kSection, kServer, settings.server);
    ini.writeInteger(kSection, kProtocol, settings.protocol);
    ini.writeString(kSection, kDatabase, settings.database);
    ini.writeString(kSection, kConnection, settings.connection);
    ini.updateFile();
}
