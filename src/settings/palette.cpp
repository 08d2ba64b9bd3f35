#include "palette.h"

#include <array>

namespace colorcode {
namespace {

const std::array<QString, 8> &defaultCodes()
{
    static const std::array<QString, 8> codes = {
        QStringLiteral("#AE00AE"), QStringLiteral("#008040"), QStringLiteral("#7468FF"),
        QStringLiteral("#C500C1"), QStringLiteral("#FF80C0"), QStringLiteral("#FF8000"),
        QStringLiteral("#DF0000"), QStringLiteral("#8B8B00"),
    };
    return codes;
}

// A two-character pair read as a hexadecimal number; false when it is not one.
bool readPair(QStringView pair, int &value)
{
    const int hi = hexDigit(pair[0]);
    const int lo = hexDigit(pair[1]);
    if (hi < 0 || lo < 0)
        return false;
    value = hi * 16 + lo;
    return true;
}

// The last `n` characters of `padding` followed by `text`.
QString lastOf(const QString &padding, const QString &text, qsizetype n)
{
    const QString s = padding + text;
    return s.right(n);
}

} // namespace

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

void splitColorCode(const QString &code, int &red, int &green, int &blue)
{
    const QString s = lastOf(QStringLiteral("000000"), code, 6);
    const QStringView v(s);
    readPair(v.mid(0, 2), red);
    readPair(v.mid(2, 2), green);
    readPair(v.mid(4, 2), blue);
}

QString checkedCode(const QString &code)
{
    int red = 0, green = 0, blue = 0;
    splitColorCode(code, red, green, blue);
    return QLatin1Char('#') + componentToHex(red) + componentToHex(green) + componentToHex(blue);
}

int colorValueFromCode(const QString &code)
{
    int red = 0, green = 0, blue = 0;
    splitColorCode(code, red, green, blue);
    return red + green * 256 + blue * 65536;
}

int codeToColorNumber(const QString &code)
{
    // The digits after the "#": read like splitColorCode reads them, so a short or damaged
    // code still gives a number (an invalid pair counts as 0) instead of an error.
    int red = 0, green = 0, blue = 0;
    splitColorCode(code.mid(1, 6), red, green, blue);
    return red * 65536 + green * 256 + blue;
}

QString colorNumberToCode(int colorNumber)
{
    const QString digits = QString::number(quint32(colorNumber), 16).toUpper();
    return QLatin1Char('#') + lastOf(QStringLiteral("000000"), digits, 6);
}

QString componentToHex(int component)
{
    const QString digits = QString::number(quint32(component), 16).toUpper();
    return lastOf(QStringLiteral("0"), digits, 2);
}

QString defaultColorCode(int n)
{
    const int slot = ((n - 1) % 8 + 8) % 8; // 0-based; entries repeat every eight
    return defaultCodes()[slot];
}

QString defaultColorLabel(int n)
{
    return QStringLiteral("発言の色－") + fullWidthDigits(twoDigits(n));
}

QString twoDigits(int n)
{
    return lastOf(QStringLiteral("0"), QString::number(n), 2);
}

QString fullWidthDigits(const QString &digits)
{
    QString out = digits;
    for (QChar &c : out) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QChar(char16_t(0xFF10 + (c.unicode() - '0')));
    }
    return out;
}

Palette defaultPalette()
{
    Palette palette;
    palette.reserve(8);
    for (int n = 1; n <= 8; ++n)
        palette.append({defaultColorCode(n), defaultColorLabel(n)});
    return palette;
}

} // namespace colorcode
