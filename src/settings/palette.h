#pragma once

#include <QList>
#include <QString>

// Colour codes ("#RRGGBB"), their other forms, and the user's palette of named colours.

struct PaletteEntry
{
    QString code; // "#RRGGBB", upper case
    QString label; // the colour's name as shown in lists
};

// Entries are numbered from 1 by the rest of the program: entry n is palette[n - 1].
using Palette = QList<PaletteEntry>;

namespace colorcode {

// The value of a hexadecimal digit (either case), or -1.
int hexDigit(QChar c);

// Takes a colour code or bare six digits; a pair that is not hexadecimal leaves that component
// as the caller had it.
void splitColorCode(const QString &code, int &red, int &green, int &blue);

// The code as "#RRGGBB" in upper case, read the way splitColorCode reads it with every
// component starting at 0: whatever the text holds, the result is a well-formed code.
QString checkedCode(const QString &code);

// Display colour: red + green * 256 + blue * 65536.
int colorValueFromCode(const QString &code);

// colorNumber: red * 65536 + green * 256 + blue.
int codeToColorNumber(const QString &code);
QString colorNumberToCode(int colorNumber);

// Component 0..255 -> two upper-case hexadecimal digits.
QString componentToHex(int component);

// Defaults of palette entry n (1-based; slots repeat every eight entries).
QString defaultColorCode(int n);
QString defaultColorLabel(int n); // "発言の色－" + NN in full-width digits

// n as two digits, the last two of "0" + n ("01" … "99"); used for keys and labels.
QString twoDigits(int n);
// Half-width digits 0-9 -> full-width ０-９.
QString fullWidthDigits(const QString &digits);

Palette defaultPalette(); // the eight defaults

} // namespace colorcode
