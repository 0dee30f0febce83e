#pragma once
#include <QString>

// Banco.new beside the executable: the last settings of the open-database dialog, section
// "BancoAtual" of an initialisation file in Windows-1252.
struct BancoSettings {
    QString server;     // "Servidor", default empty
    int protocol = 0;   // "Tipo": not a number counts as 0; kept within -1 (no choice) .. 3
    QString database;   // "Banco", default empty
    QString connection; // "Conexão", default empty
};

QString bancoSettingsFileName();

// The defaults when the file is missing. AppError when it exists but cannot be read.
BancoSettings LoadSettings();
// Writes the four keys as given (not trimmed), keeping anything else in the file; the file is
// replaced whole or not at all. AppError when it cannot be written.
void SaveSettings(const BancoSettings& settings);
