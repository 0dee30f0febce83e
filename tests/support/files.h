#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The bytes of a file as they are on disk, "<missing>" when it cannot be read.
QByteArray fileBytes(const QString& path);
// Replaces the file with these bytes (a failed check when it cannot be written).
void writeBytes(const QString& path, const QByteArray& bytes);

// A temporary folder standing in for the directory of the executable while the object lives
// (Conexoes.New, Banco.new and the Script folder are looked for there).
class TempAppDirectory {
public:
    TempAppDirectory();
    ~TempAppDirectory();
    TempAppDirectory(const TempAppDirectory&) = delete;
    TempAppDirectory& operator=(const TempAppDirectory&) = delete;
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
