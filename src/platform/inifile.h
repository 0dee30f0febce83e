#pragma once
#include <QList>
#include <QString>

// An initialisation file ("[Section]" lines and "Key=Value" lines) in Windows-1252, read with CR,
// LF or CR LF line ends and written with CR LF. Section and key names compare without regard to
// letter case. Values are read as Windows reads them: blanks around them dropped and one pair of
// matching quotes removed; a value that would lose something that way is written in double quotes,
// so every text comes back as it was written.
//
// Changes stay in memory until updateFile(), which rewrites the whole file at once through a
// temporary file renamed over the old one: the file holds either every change or none.
// Lines the program does not touch (other sections and keys, comments) are kept as they were.
class IniFile {
public:
    // Reads the file when it exists; a missing file is an empty one. AppError when it cannot be read.
    explicit IniFile(const QString& fileName);
    // The file as if it held this text (nothing is read).
    IniFile(const QString& fileName, const QString& text);

    QString fileName() const { return m_fileName; }

    bool valueExists(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // The value as a whole number (decimal, or hexadecimal after "0x"); the default when the key is
    // missing or its value is not a number that fits.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;

    // AppError when the section, key or value holds a line break, or the key an "=" or a name that
    // would not read back (empty or with blanks around it).
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);

    // AppError ("Cannot create file ..." or a character that Windows-1252 cannot hold); the file on
    // disk is then unchanged.
    void updateFile();
    // The whole file as updateFile() writes it ('\n' line ends).
    QString text() const;

private:
    struct Line {
        QString text; // as read, or as formatted when written
        QString key;  // key lines only
        bool isKey = false;
    };
    struct Section {
        QString name; // empty for the lines before the first section
        bool hasHeader = false;
        QList<Line> lines;
    };

    void parse(QString text);
    const Section* findSection(const QString& name) const;
    const Line* findKey(const QString& section, const QString& key) const;

    QString m_fileName;
    QList<Section> m_sections;
};

// Integer text as the settings readers take it: optional blanks and sign, decimal digits, or
// hexadecimal after "0x"/"$". False when it is anything else or does not fit an int.
bool parseIniInteger(const QString& text, int* value);
