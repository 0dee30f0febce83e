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

// Makes a folder read-only for this process while the object lives: its mode becomes 0555 and,
// when the process runs as root (whom modes do not stop), the main thread's file-system identity
// becomes the unprivileged user "nobody". Meanwhile the test can only write where anybody may.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString m_path;
    bool m_wasRoot = false;
};
