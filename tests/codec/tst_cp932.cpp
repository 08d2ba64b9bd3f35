#include "codec/cp932.h"
#include "codec/samebytes.h"
#include "codec/textcodec.h"

#include <QTest>

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void everyTwoByteCodeRoundTrips()
    {
        int valid = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                const QByteArray code(bytes, 2);
                const QString text = cp932::decode(code);
                if (text.size() != 1
                    || (text[0].unicode() >= 0xDC80 && text[0].unicode() <= 0xDCFF))
                    continue; // not a character: covered by invalidBytesSurvive
                ++valid;
                const QByteArray again = cp932::encode(text);
                QCOMPARE(cp932::decode(again), text);
                QCOMPARE(cp932::encodedLength(text), 2);
                // Only the duplicate codes (NEC special and IBM extension rows) encode to
                // their other spelling.
                if (again != code)
                    QVERIFY2(lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA,
                             qPrintable(QString::number(lead * 256 + trail, 16)));
            }
        }
        QVERIFY(valid > 9000);
    }

    // Bytes said to come back unchanged must do so; nearly every character does.
    void roundTripsOnlyWhereBytesComeBack()
    {
        int same = 0;
        for (int code = 0; code < 0x10000; ++code) {
            const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
            const QByteArray in = code < 0x100 ? QByteArray(1, bytes[1]) : QByteArray(bytes, 2);
            if (!textcodec::cp932RoundTrips(in))
                continue;
            QCOMPARE(cp932::encode(cp932::decode(in)), in);
            ++same;
        }
        QVERIFY(same > 9000);
    }

    void writtenBackAsIs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<bool>("same");
        const int sjis = int(textcodec::Encoding::ShiftJis);
        const int utf8 = int(textcodec::Encoding::Utf8);
        QTest::newRow("Shift-JIS text") << QByteArray("a \x82\xcc\xb1 \x94\xad") << sjis << true;
        QTest::newRow("NEC row written as IBM") << QByteArray("\xed\x40") << sjis << false;
        QTest::newRow("lead byte cut off") << QByteArray("ab\x82") << sjis << false;
        QTest::newRow("lead byte without its pair") << QByteArray("\x82 ") << sjis << false;
        QTest::newRow("UTF-8 text")
            << QByteArray("abcdefgh\xe3\x81\x82\xf0\x9f\x98\x80") << utf8 << true;
        QTest::newRow("UTF-8 cut off") << QByteArray("abcdefgh\xe3\x81") << utf8 << false;
        QTest::newRow("UTF-8 surrogate") << QByteArray("\xed\xa0\x80") << utf8 << false;
        QTest::newRow("UTF-16") << QByteArray("a\0", 2) << int(textcodec::Encoding::Utf16LE)
                                << false;
    }

    void writtenBackAsIs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(bool, same);
        QCOMPARE(textcodec::writtenBackAsIs(bytes, textcodec::Encoding(encoding)), same);
    }

    void strayLeadBeforeDuplicateCode()
    {
        // A lead byte that did not pair with the code after it, where that code is one of
        // several for its character: the code written must not pair up with the stray byte,
        // or the text would change on the next read.
        int checked = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int code : {0x8790, 0x8791, 0xED40, 0xEEFC, 0xFA54, 0xFA5B}) {
                const char bytes[3] = {char(lead), char(code >> 8), char(code & 0xFF)};
                const QString text = cp932::decode(QByteArrayView(bytes, 3));
                if (text.size() != 2 || text[0] != QChar(char16_t(0xDC00 + lead)))
                    continue;
                QCOMPARE(cp932::decode(cp932::encode(text)), text);
                ++checked;
            }
        }
        QVERIFY(checked > 50);
    }

    void knownMappings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("dash 815C") << QByteArray("\x81\x5C") << QString(QChar(0x2015));
        QTest::newRow("wave 8160") << QByteArray("\x81\x60") << QString(QChar(0xFF5E));
        QTest::newRow("backslash") << QByteArray("\\") << QStringLiteral("\\");
        QTest::newRow("half-width kana") << QByteArray("\xB1") << QStringLiteral("ｱ");
        QTest::newRow("header") << QByteArray(
            "\x82\xDB\x82\xD5\x82\xE9 \x82\xCC\x94\xAD\x8C\xBE\x81\x46")
                                << QStringLiteral("ぽぷる の発言：");
    }

    void knownMappings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
        QCOMPARE(cp932::encode(text), bytes);
    }

    // Characters JIS names otherwise (as input methods and XML histories write them) are
    // written as the pair of their code page 932 name; that pair still reads as that name.
    void jisNamesEncodeAsTheirPair_data()
    {
        QTest::addColumn<QChar>("jis");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QChar>("decoded");
        QTest::newRow("wave dash") << QChar(0x301C) << QByteArray("\x81\x60") << QChar(0xFF5E);
        QTest::newRow("double bar") << QChar(0x2016) << QByteArray("\x81\x61") << QChar(0x2225);
        QTest::newRow("minus") << QChar(0x2212) << QByteArray("\x81\x7C") << QChar(0xFF0D);
        QTest::newRow("cent") << QChar(0x00A2) << QByteArray("\x81\x91") << QChar(0xFFE0);
        QTest::newRow("pound") << QChar(0x00A3) << QByteArray("\x81\x92") << QChar(0xFFE1);
        QTest::newRow("not") << QChar(0x00AC) << QByteArray("\x81\xCA") << QChar(0xFFE2);
        QTest::newRow("em dash") << QChar(0x2014) << QByteArray("\x81\x5C") << QChar(0x2015);
    }

    void jisNamesEncodeAsTheirPair()
    {
        QFETCH(QChar, jis);
        QFETCH(QByteArray, bytes);
        QFETCH(QChar, decoded);
        bool replaced = false;
        QCOMPARE(cp932::encode(QString(jis), [&](char32_t, QByteArray &) { replaced = true; }),
                 bytes);
        QVERIFY(!replaced);
        QCOMPARE(cp932::encodedLength(QString(jis)), 2);
        QCOMPARE(cp932::decode(bytes), QString(decoded));
    }

    void invalidBytesSurvive_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("decodedLength");
        QTest::newRow("single 80 A0 FD-FF") << QByteArray("\x80\xA0\xFD\xFE\xFF") << 5;
        QTest::newRow("lead at end") << QByteArray("a\x82") << 2;
        QTest::newRow("lead before blank") << QByteArray("\x81 x") << 3;
        QTest::newRow("lead before CR LF") << QByteArray("\x81\r\n") << 3;
        QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << 2;
        QTest::newRow("nul") << QByteArray("a\0b", 3) << 3;
    }

    void invalidBytesSurvive()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, decodedLength);
        const QString text = cp932::decode(bytes);
        QCOMPARE(text.size(), decodedLength);
        QCOMPARE(cp932::encode(text), bytes);
        QCOMPARE(cp932::encodedLength(text), bytes.size());
    }

    void unrepresentable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("html");
        QTest::newRow("euro") << QStringLiteral("5€") << QByteArray("5?") << QByteArray("5&#8364;");
        QTest::newRow("outside the BMP is one character")
            << QStringLiteral("a😀b") << QByteArray("a?b") << QByteArray("a&#128512;b");
    }

    void unrepresentable()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, html);
        QCOMPARE(cp932::encode(text), plain);
        QCOMPARE(cp932::encode(text, cp932::numericReference), html);
        QCOMPARE(cp932::encodedLength(text), plain.size());
        QByteArray appended("x");
        cp932::encodeAppend(text, appended, cp932::numericReference);
        QCOMPARE(appended, "x" + html);
    }

    void decoderSplitAtLeadByte()
    {
        const QByteArray bytes = cp932::encode(QStringLiteral("あいう\r\nabc"));
        for (int cut = 0; cut <= bytes.size(); ++cut) {
            cp932::Decoder decoder;
            QString out;
            decoder.decode(bytes.left(cut), out);
            decoder.decode(bytes.mid(cut), out, true);
            QCOMPARE(out, QStringLiteral("あいう\r\nabc"));
        }
        cp932::Decoder decoder;
        QString out;
        decoder.decode("ab\x82", out);
        QCOMPARE(out, QStringLiteral("ab"));
        decoder.decode("", out, true); // a lead byte left at the end is kept as itself
        QCOMPARE(out, QStringLiteral("ab") + QChar(0xDC82));
    }

    // UTF-8 split at every byte decodes as it does whole: ASCII runs shorter and longer than
    // eight bytes between characters of two, three and four bytes, and bytes that do not decode
    // (a sequence cut off, a surrogate, an overlong form) kept one by one.
    void utf8DecoderSplitAnywhere()
    {
        const QByteArray bytes("abcdefghij\xE3\x81\x82\xE3\x81\x84 x \xC3\xA9\xF0\x9F\x98\x80"
                               "\xE3\x81z\xED\xA0\x80\xE0\x80\x80"
                               "abcdefg\xE3\x81\x86\xE3\x81");
        const auto escaped = [](std::initializer_list<int> values) {
            QString out;
            for (const int b : values)
                out += QChar(0xDC00 + b);
            return out;
        };
        const QString expected = QStringLiteral("abcdefghijあい x é😀") + escaped({0xE3, 0x81})
            + u'z' + escaped({0xED, 0xA0, 0x80, 0xE0, 0x80, 0x80}) + QStringLiteral("abcdefgう")
            + escaped({0xE3, 0x81});
        for (int cut = 0; cut <= bytes.size(); ++cut) {
            textcodec::Decoder decoder(textcodec::Encoding::Utf8);
            QString out;
            decoder.decode(bytes.left(cut), out);
            decoder.decode(bytes.mid(cut), out, true);
            QCOMPARE(out, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
