#pragma once
#include "platform/prompts.h"
#include <QString>
#include <optional>

// SQL script files: the statement text in Windows-1252, lines separated by CR LF, nothing added
// after the last line; by default in the folder "Script" beside the executable.

// The folder "Script" in the directory of the executable.
QString ScriptDirectory();
// Creates ScriptDirectory with any missing parents. Done on every press of save or load, even
// when the dialog is then cancelled; a failure is ignored (the dialog opens where the system
// places it).
void makeScriptDirectory();

FileDialogRequest saveScriptRequest(); // "Salva Script"
FileDialogRequest openScriptRequest(); // "Abre Script"

// Asks for a file and writes `text` to it. False when cancelled. A text holding characters that
// Windows-1252 cannot hold is refused with AppError and nothing is written.
bool saveScriptAs(const QString& text);
// Asks for a file and reads it; every CR, LF or CR LF becomes '\n'. Empty when cancelled. A file
// over ScriptFileLimit, or one that is not a plain file, is refused with AppError.
std::optional<QString> loadScript();
