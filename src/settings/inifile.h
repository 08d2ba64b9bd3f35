#pragma once

#include <QByteArray>
#include <QString>

// The settings file: classic INI layout in code page 932 with CR LF line ends, read and written
// with the rules of the platform profile functions the stored files come from.
//
// Every readIniValue / writeIniValue call is a complete file operation; nothing is cached.
// Writes are atomic (temporary file and rename): the file is never left half-written.

// Returns the value, or `defaultValue` when the file, section or key is missing or the value is
// empty. At most 1023 bytes (in code page 932) of a value are returned.
QString readIniValue(const QString &iniPath, const QString &section, const QString &key,
                     const QString &defaultValue = QString());

// Replaces the key's line in place, appends the key to its section or the section to the file.
// Returns false when the file could not be written (callers of the settings never report it).
bool writeIniValue(const QString &iniPath, const QString &section, const QString &key,
                   const QString &value);

// The whole file in memory, for gathering many writes into one atomic write. Reading and
// writing through it follows exactly the rules of readIniValue / writeIniValue.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray &bytes) : m_bytes(bytes) { }

    static IniDocument load(const QString &path); // a missing file gives an empty document
    bool save(const QString &path) const;         // atomic

    QString value(const QString &section, const QString &key,
                  const QString &defaultValue = QString()) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
