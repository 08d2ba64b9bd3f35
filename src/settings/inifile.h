#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The settings file: classic INI layout in code page 932 with CR LF line ends, read and written
// with the rules of the platform profile functions the stored files come from.
//
// Every readIniValue / writeIniValue call is a complete file operation; nothing is cached.
// Writes are atomic (temporary file and rename): the file is never left half-written.

// Returns the value, or `defaultValue` when the file, section or key is missing or the value is
// empty (also when it is empty up to its first NUL). At most 1023 bytes (in code page 932) of a
// value are returned.
QString readIniValue(const QString &iniPath, const QString &section, const QString &key,
                     const QString &defaultValue = QString());

// Replaces the key's line in place, appends the key to its section or the section to the file.
// Returns false when the file could not be written (callers of the settings never report it).
bool writeIniValue(const QString &iniPath, const QString &section, const QString &key,
                   const QString &value);

// The whole file in memory, for gathering many writes into one atomic write. Reading and
// writing through it follows exactly the rules of readIniValue / writeIniValue. Lines that no
// write touches keep their bytes exactly as read.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray &bytes);

    // A missing file gives an empty document. A file that exists but cannot be read (a
    // folder, a FIFO, no permission) gives an empty document that refuses to be saved, so that
    // its content is never overwritten.
    static IniDocument load(const QString &path);
    // Atomic (see fileio::AtomicFile); creates a missing parent folder. False when the file
    // could not be written; it is then left as it was.
    bool save(const QString &path) const;

    bool readFailed() const { return m_readFailed; }
    bool fileMissing() const { return m_fileMissing; }
    QString readError() const { return m_readError; } // why reading failed, in a few words

    QString value(const QString &section, const QString &key,
                  const QString &defaultValue = QString()) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    const QByteArray &bytes() const;

private:
    enum class Kind : quint8 { Blank, Other, Section, Key };
    struct Line
    {
        QByteArray raw; // the line's bytes including its line end, as read or as written
        Kind kind = Kind::Other;
        QString name; // section or key name, trimmed, ASCII letters folded to lower case
        QString value; // key lines: the value, trimmed
    };

    static Line parseLine(const QByteArray &raw);
    qsizetype findSection(const QString &foldedSection) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString &foldedKey) const;
    void ensureLastLineEnded();

    QList<Line> m_lines;
    bool m_readFailed = false;
    bool m_fileMissing = false;
    QString m_readError;
    mutable QByteArray m_bytes;
    mutable bool m_bytesValid = true;
};
