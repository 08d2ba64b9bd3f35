#include "settings.h"

#include "inifile.h"
#include "settingslocation.h"
#include "storednumber.h"

namespace {

// Palette entries are keyed by two decimal digits: entry 100 would read No_00 and entry 101
// entry 1's key, so no more than 99 entries are read or written.
constexpr int MaxStoredEntries = 99;

// The palette: codes and count in one section, labels in another.
const QString ColorSection = QStringLiteral("Color");
const QString LabelSection = QStringLiteral("ColorLabel");

template<typename Int>
void readNumber(const IniDocument &doc, const QString &section, const QString &key,
                const QString &defaultValue, Int &field)
{
    // A text that is no number, or one out of the field's range, leaves the field as it was.
    if (const auto value = readStoredNumber<Int>(doc.value(section, key, defaultValue)))
        field = *value;
}

QString withTrailingSlash(const QString &dir)
{
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

enum class Kind {
    Folder, // text that always ends with "/"; default: the user's home folder
    Text, // text as stored
    UpperText, // text held and saved in upper case
    Prefix, // text that must be an output prefix (isOutputPrefix), else the default
    Small, // 16-bit number
    Number, // 32-bit number
    Palette, // Color/Count, followed by the palette entries
};

struct Field
{
    const char *section;
    const char *key;
    Kind kind;
    const char *defaultValue; // UTF-8; unused for Folder
    QString Settings::*text = nullptr;
    qint32 Settings::*number = nullptr;
    qint16 Settings::*small = nullptr;
};

// Every stored option, in the order loadSettings reads them and saveSettings writes them.
const Field fields[] = {
    {"DefaultDir", "Dir", Kind::Folder, nullptr, &Settings::defaultDir},
    {"Hatsugen", "Type", Kind::Text, "1", &Settings::headerMode},
    {"Hatsugen", "Kotoba", Kind::Text, " の発言：", &Settings::customHeader},
    {"ChangeType", "type", Kind::Small, "0", nullptr, nullptr, &Settings::changeType},
    {"Color", "Count", Kind::Palette, "8", nullptr, &Settings::colorCount},
    {"OtherColor", "Body", Kind::UpperText, "#000000", &Settings::bodyColor},
    {"OtherColor", "Nar", Kind::UpperText, "#0000FF", &Settings::narColor},
    {"File", "AddStr", Kind::Prefix, "_", &Settings::addStr},
    {"Display", "TOP", Kind::Number, "0", nullptr, &Settings::alwaysOnTop},
    {"Speed", "UP", Kind::Number, "0", nullptr, &Settings::speedUp},
    {"Hutoji", "Yes", Kind::Number, "0", nullptr, &Settings::boldMessages},
    {"NameToo", "Yes", Kind::Number, "0", nullptr, &Settings::colorNameToo},
    {"Window", "Top", Kind::Number, "0", nullptr, &Settings::windowTop},
    {"Window", "Left", Kind::Number, "0", nullptr, &Settings::windowLeft},
    {RuleSectionName, "Enable", Kind::Number, "1", nullptr, &Settings::msgRuleEnable},
    {"JavaScript", "背景色変更", Kind::Text, "いらない", &Settings::jsBgColor},
    {"JavaScript", "文字色変更", Kind::Text, "いらない", &Settings::jsForeColor},
    {"JavaScript", "文字の太さ変更", Kind::Text, "いらない", &Settings::jsFontBold},
    {"Page", "Style", Kind::Text, PageStyles[0].word, &Settings::pageStyle},
    {"Page", "Index", Kind::Number, "0", nullptr, &Settings::makeIndex},
    {"MojiCode", "Log", Kind::Text, "自動", &Settings::logEncoding},
    {"Page", "TimeZone", Kind::Text, "", &Settings::timeZone},
    {"Redact", "Yes", Kind::Number, "0", nullptr, &Settings::redact},
    {"Provenance", "Yes", Kind::Number, "0", nullptr, &Settings::provenance},
};

constexpr textcodec::Choice EncodingChoices[]
    = {textcodec::Choice::Auto, textcodec::Choice::ShiftJis, textcodec::Choice::Utf8,
       textcodec::Choice::Utf16};

QString entryKey(int n)
{
    return QStringLiteral("No_") + colorcode::twoDigits(n);
}

void loadPalette(const IniDocument &doc, Settings &s, Palette &palette)
{
    using namespace colorcode;
    palette.clear();
    if (s.colorCount <= 0) {
        // No usable count: the eight defaults, without looking at the file's entries.
        s.colorCount = 8;
        palette = defaultPalette();
        return;
    }
    s.colorCount = qMin(s.colorCount, MaxStoredEntries);
    palette.reserve(s.colorCount);
    for (int n = 1; n <= s.colorCount; ++n) {
        const QString key = entryKey(n);
        PaletteEntry entry;
        entry.code = doc.value(ColorSection, key, defaultColorCode(n)).toUpper();
        entry.label = doc.value(LabelSection, key, defaultColorLabel(n));
        palette.append(entry);
    }
}

void savePalette(IniDocument &doc, Settings &s, const Palette &palette)
{
    s.colorCount = qint32(palette.size());
    // Entries past 99 have no key of their own; writing them would overwrite entries 1 … 99.
    const int stored = qMin(s.colorCount, MaxStoredEntries);
    doc.setValue(ColorSection, QStringLiteral("Count"), QString::number(stored));
    for (int n = 1; n <= stored; ++n)
        doc.setValue(ColorSection, entryKey(n), palette[n - 1].code);
    for (int n = 1; n <= stored; ++n)
        doc.setValue(LabelSection, entryKey(n), palette[n - 1].label);
    // Keys are never deleted: entries the palette no longer has get the marker.
    const int atLoad = qMin(s.colorCountAtLoad, MaxStoredEntries);
    for (int n = stored + 1; n <= atLoad; ++n) {
        doc.setValue(ColorSection, entryKey(n), RetiredKeyMarker);
        doc.setValue(LabelSection, entryKey(n), RetiredKeyMarker);
    }
}

} // namespace

SettingsFileState loadSettings(Settings &s, Palette &palette)
{
    // The file is read once: every read below follows readIniValue's rules exactly.
    const IniDocument doc = IniDocument::load(s.iniPath);
    SettingsFileState state {doc.fileMissing(), doc.readFailed(), doc.readError(), {}};
    s.iniUnreadable = state.unreadable;
    for (const Field &f : fields) {
        const QString section = QString::fromUtf8(f.section);
        const QString key = QString::fromUtf8(f.key);
        const QString def = QString::fromUtf8(f.defaultValue);
        switch (f.kind) {
        case Kind::Folder:
            s.*f.text = withTrailingSlash(doc.value(section, key, defaultLogDir()));
            break;
        case Kind::Text:
            s.*f.text = doc.value(section, key, def);
            break;
        case Kind::UpperText:
            s.*f.text = doc.value(section, key, def).toUpper();
            break;
        case Kind::Prefix: {
            const QString value = doc.value(section, key, def);
            s.*f.text = isOutputPrefix(value) ? value : def;
            if (s.*f.text != value)
                state.refusedPrefix = value;
            break;
        }
        case Kind::Small:
            readNumber<qint16>(doc, section, key, def, s.*f.small);
            break;
        case Kind::Number:
            readNumber<qint32>(doc, section, key, def, s.*f.number);
            break;
        case Kind::Palette:
            readNumber<qint32>(doc, section, key, def, s.*f.number);
            loadPalette(doc, s, palette);
            break;
        }
    }

    // The header text in force; any mode other than "0" is the custom header.
    if (s.headerMode == QLatin1String("0")) {
        s.headerText = StandardHeaderText;
    } else {
        s.headerMode = QStringLiteral("1");
        s.headerText = s.customHeader;
    }
    return state;
}

bool isOutputPrefix(const QString &prefix)
{
    return !prefix.contains(u'/') && !prefix.contains(u'\\') && prefix != u"." && prefix != u"..";
}

textcodec::Choice encodingChoice(const QString &word)
{
    for (std::size_t i = 0; i < std::size(EncodingWords); ++i) {
        if (word == EncodingWords[i])
            return EncodingChoices[i];
    }
    return textcodec::Choice::Auto;
}

QString encodingWord(textcodec::Choice choice)
{
    for (std::size_t i = 0; i < std::size(EncodingChoices); ++i) {
        if (choice == EncodingChoices[i])
            return EncodingWords[i];
    }
    return EncodingAuto;
}

bool saveSettings(Settings &s, const Palette &palette)
{
    if (s.iniUnreadable)
        return false; // the defaults held must not replace what the file holds
    IniDocument doc = IniDocument::load(s.iniPath);
    if (doc.readFailed())
        return false; // never replace a file whose content could not be read
    for (const Field &f : fields) {
        const QString section = QString::fromUtf8(f.section);
        const QString key = QString::fromUtf8(f.key);
        switch (f.kind) {
        case Kind::Folder:
        case Kind::Text:
        case Kind::UpperText:
        case Kind::Prefix:
            doc.setValue(section, key, s.*f.text);
            break;
        case Kind::Small:
            doc.setValue(section, key, QString::number(s.*f.small));
            break;
        case Kind::Number:
            doc.setValue(section, key, QString::number(s.*f.number));
            break;
        case Kind::Palette:
            savePalette(doc, s, palette);
            break;
        }
    }
    return doc.save(s.iniPath);
}
