#include "settings.h"

#include "inifile.h"
#include "settingslocation.h"

#include <limits>

namespace {

// Palette entries are keyed by two decimal digits: entry 100 would read No_00 and entry 101
// entry 1's key, so no more than 99 entries are read or written.
constexpr int MaxStoredEntries = 99;

const QString RemovedMarker = QStringLiteral("***削除していいです***");

// Reads a decimal number with an optional sign and an optional fraction, rounded to the
// nearest integer with halves going to the even neighbour. Works on the digits themselves,
// so no long fraction is misread through floating point. False when `text` is not such a
// number or the result lies outside [min, max].
bool parseRoundedInteger(QStringView text, qint64 min, qint64 max, qint64 &result)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    auto isDigit = [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    };

    constexpr qint64 limit = qint64(1) << 40; // far beyond any 32-bit field
    qint64 magnitude = 0;
    bool anyDigit = false, tooLarge = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        anyDigit = true;
        if (!tooLarge) {
            magnitude = magnitude * 10 + (text[i].unicode() - '0');
            tooLarge = magnitude > limit;
        }
    }
    int firstFraction = -1; // first digit after the point
    bool restNonZero = false; // any non-zero digit after the first
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            anyDigit = true;
            const int d = text[i].unicode() - '0';
            if (firstFraction < 0)
                firstFraction = d;
            else if (d != 0)
                restNonZero = true;
        }
    }
    if (!anyDigit || i != text.size() || tooLarge)
        return false;

    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || magnitude % 2 == 1)))
        ++magnitude;
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < min || value > max)
        return false;
    result = value;
    return true;
}

template<typename Int>
void readNumber(const IniDocument &doc, const QString &section, const QString &key,
                Int defaultValue, Int &field)
{
    const QString text = doc.value(section, key, QString::number(defaultValue));
    qint64 value = 0;
    if (parseRoundedInteger(text, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max(),
                            value))
        field = Int(value);
}

QString withTrailingSlash(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

} // namespace

void loadSettings(Settings &s, Palette &palette)
{
    using namespace colorcode;
    // The file is read once: every read below follows readIniValue's rules exactly.
    const IniDocument doc = IniDocument::load(s.iniPath);
    auto read = [&doc](const char *section, const QString &key, const QString &def) {
        return doc.value(QString::fromUtf8(section), key, def);
    };

    s.defaultDir = withTrailingSlash(read("DefaultDir", QStringLiteral("Dir"), defaultLogDir()));
    s.headerMode = read("Hatsugen", QStringLiteral("Type"), QStringLiteral("1"));
    s.customHeader = read("Hatsugen", QStringLiteral("Kotoba"), QStringLiteral(" の発言："));
    if (s.headerMode == QLatin1String("0")) {
        s.headerText = QStringLiteral(" の発言 :");
    } else {
        s.headerMode = QStringLiteral("1");
        s.headerText = s.customHeader;
    }
    readNumber<qint16>(doc, QStringLiteral("ChangeType"), QStringLiteral("type"), 0, s.changeType);
    readNumber<qint32>(doc, QStringLiteral("Color"), QStringLiteral("Count"), 8, s.colorCount);

    palette.clear();
    if (s.colorCount > 0) {
        s.colorCount = qMin(s.colorCount, MaxStoredEntries);
        palette.reserve(s.colorCount);
        for (int n = 1; n <= s.colorCount; ++n) {
            const QString key = QStringLiteral("No_") + twoDigits(n);
            PaletteEntry entry;
            entry.code = read("Color", key, defaultColorCode(n)).toUpper();
            entry.label = read("ColorLabel", key, defaultColorLabel(n));
            palette.append(entry);
        }
    } else {
        s.colorCount = 8;
        palette = defaultPalette();
    }

    s.bodyColor = read("OtherColor", QStringLiteral("Body"), QStringLiteral("#000000")).toUpper();
    s.narColor = read("OtherColor", QStringLiteral("Nar"), QStringLiteral("#0000FF")).toUpper();
    s.addStr = read("File", QStringLiteral("AddStr"), QStringLiteral("_"));

    readNumber<qint32>(doc, QStringLiteral("Display"), QStringLiteral("TOP"), 0, s.alwaysOnTop);
    readNumber<qint32>(doc, QStringLiteral("Speed"), QStringLiteral("UP"), 0, s.speedUp);
    readNumber<qint32>(doc, QStringLiteral("Hutoji"), QStringLiteral("Yes"), 0, s.boldMessages);
    readNumber<qint32>(doc, QStringLiteral("NameToo"), QStringLiteral("Yes"), 0, s.colorNameToo);
    readNumber<qint32>(doc, QStringLiteral("Window"), QStringLiteral("Top"), 0, s.windowTop);
    readNumber<qint32>(doc, QStringLiteral("Window"), QStringLiteral("Left"), 0, s.windowLeft);
    readNumber<qint32>(doc, QStringLiteral("MsgRule"), QStringLiteral("Enable"), 1,
                       s.msgRuleEnable);

    s.jsBgColor = read("JavaScript", QStringLiteral("背景色変更"), JsNotWanted);
    s.jsForeColor = read("JavaScript", QStringLiteral("文字色変更"), JsNotWanted);
    s.jsFontBold = read("JavaScript", QStringLiteral("文字の太さ変更"), JsNotWanted);
}

bool saveSettings(Settings &s, const Palette &palette)
{
    using namespace colorcode;
    IniDocument doc = IniDocument::load(s.iniPath);
    if (doc.readFailed())
        return false; // never replace a file whose content could not be read
    auto write = [&doc](const char *section, const QString &key, const QString &value) {
        doc.setValue(QString::fromUtf8(section), key, value);
    };
    auto writeNumber = [&write](const char *section, const QString &key, qint64 value) {
        write(section, key, QString::number(value));
    };

    write("DefaultDir", QStringLiteral("Dir"), s.defaultDir);
    write("Hatsugen", QStringLiteral("Type"), s.headerMode);
    write("Hatsugen", QStringLiteral("Kotoba"), s.customHeader);
    writeNumber("ChangeType", QStringLiteral("type"), s.changeType);

    s.colorCount = qint32(palette.size());
    // Entries past 99 have no key of their own; writing them would overwrite entries 1 … 99.
    const int stored = qMin(s.colorCount, MaxStoredEntries);
    writeNumber("Color", QStringLiteral("Count"), stored);
    for (int n = 1; n <= stored; ++n)
        write("Color", QStringLiteral("No_") + twoDigits(n), palette[n - 1].code);
    for (int n = 1; n <= stored; ++n)
        write("ColorLabel", QStringLiteral("No_") + twoDigits(n), palette[n - 1].label);
    const int atLoad = qMin(s.colorCountAtLoad, MaxStoredEntries);
    for (int n = stored + 1; n <= atLoad; ++n) {
        write("Color", QStringLiteral("No_") + twoDigits(n), RemovedMarker);
        write("ColorLabel", QStringLiteral("No_") + twoDigits(n), RemovedMarker);
    }

    write("OtherColor", QStringLiteral("Body"), s.bodyColor);
    write("OtherColor", QStringLiteral("Nar"), s.narColor);
    write("File", QStringLiteral("AddStr"), s.addStr);
    writeNumber("Display", QStringLiteral("TOP"), s.alwaysOnTop);
    writeNumber("Speed", QStringLiteral("UP"), s.speedUp);
    writeNumber("Hutoji", QStringLiteral("Yes"), s.boldMessages);
    writeNumber("NameToo", QStringLiteral("Yes"), s.colorNameToo);
    writeNumber("Window", QStringLiteral("Top"), s.windowTop);
    writeNumber("Window", QStringLiteral("Left"), s.windowLeft);
    writeNumber("MsgRule", QStringLiteral("Enable"), s.msgRuleEnable);
    write("JavaScript", QStringLiteral("背景色変更"), s.jsBgColor);
    write("JavaScript", QStringLiteral("文字色変更"), s.jsForeColor);
    write("JavaScript", QStringLiteral("文字の太さ変更"), s.jsFontBold);

    return doc.save(s.iniPath);
}
