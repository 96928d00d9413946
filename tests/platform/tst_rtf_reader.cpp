// The RTF reader: text, character and paragraph formats, code pages, skipped
// destinations, and input that is broken or not RTF at all.

#include "platform/failure.h"
#include "platform/rtf_reader.h"
#include "support/test_support.h"

#include <QRandomGenerator>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>
#include <QtTest>

using namespace testing;

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void characterFormats_data();
    void characterFormats();
    void paragraphFormats_data();
    void paragraphFormats();
    void hangingIndentTab();
    void defaultTabStop_data();
    void defaultTabStop();
    void notRtf_data();
    void notRtf();
    void loadFile();
    void hostileInput_data();
    void hostileInput();
};

namespace {
const QString kLine = QString(QChar(0x2028));

QString readText(const QByteArray &rtf)
{
    QTextDocument document;
    if (!readRtf(rtf, document))
        return QStringLiteral("<not rtf>");
    // The raw text keeps line separators and no-break spaces as they are.
    return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

// The character format of the first occurrence of `word`.
QTextCharFormat formatOf(const QTextDocument &document, const QString &word)
{
    const QTextCursor found = document.find(word);
    if (found.isNull())
        return {};
    QTextCursor inside(const_cast<QTextDocument *>(&document));
    inside.setPosition(found.selectionStart() + 1);
    return inside.charFormat();
}

QTextBlockFormat blockFormatOf(const QTextDocument &document, const QString &word)
{
    const QTextCursor found = document.find(word);
    return found.isNull() ? QTextBlockFormat() : found.block().blockFormat();
}
} // namespace

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 Un\\par Deux\\par}") << QStringLiteral("Un\nDeux\n");
    QTest::newRow("line break and tab") << QByteArray("{\\rtf1 a\\line b\\tab c}") << QStringLiteral("a") + kLine + "b\tc";
    QTest::newRow("line ends in the file are not text")
        << QByteArray("{\\rtf1 Un\r\nDeux\nTrois\r}") << QStringLiteral("UnDeuxTrois");
    QTest::newRow("blank ending a control word") << QByteArray("{\\rtf1\\b  a\\b0 b}") << QStringLiteral(" ab");
    QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{x\\} \\\\ y\\~z}")
                                     << QStringLiteral("{x} \\ y") + QChar(0xA0) + "z";
    QTest::newRow("hex in the default code page")
        << QByteArray("{\\rtf1\\ansi \\'e9t\\'e9 \\'80 \\'92}") << QStringLiteral("été € ’");
    QTest::newRow("hex upper case") << QByteArray("{\\rtf1 \\'C9}") << QStringLiteral("É");
    QTest::newRow("raw 8-bit bytes") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 \xe0 la}") << QStringLiteral("à la");
    QTest::newRow("cyrillic code page") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}")
                                        << QStringLiteral("Аб");
    QTest::newRow("two-byte code page") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}")
                                        << QString(QChar(0x3042));
    QTest::newRow("unknown code page falls back")
        << QByteArray("{\\rtf1\\ansi\\ansicpg99999 \\'e9}") << QStringLiteral("é");
    QTest::newRow("unicode with its fallback") << QByteArray("{\\rtf1 a\\u8364?b}") << QStringLiteral("a€b");
    QTest::newRow("unicode fallback as hex") << QByteArray("{\\rtf1 \\u233\\'e9!}") << QStringLiteral("é!");
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
    QTest::newRow("uc0: no fallback") << QByteArray("{\\rtf1\\uc0 \\u233 e}") << QStringLiteral("ée");
    QTest::newRow("uc2: two fallback characters") << QByteArray("{\\rtf1\\uc2 \\u233 ab c}")
                                                  << QStringLiteral("é c");
    QTest::newRow("uc is scoped to its group") << QByteArray("{\\rtf1 {\\uc2 x}\\u233 ab}")
                                               << QStringLiteral("xéb");
    QTest::newRow("fallback ends at a brace") << QByteArray("{\\rtf1\\uc3 {\\u233 a}b}") << QStringLiteral("éb");
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}")
                                    << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("lone surrogate halves") << QByteArray("{\\rtf1 \\u-10179?x\\u-8704?}")
                                           << QString::fromUcs4(U"\uFFFDx\uFFFD");
    QTest::newRow("named characters")
        << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
        << QStringLiteral("—–•‘’“”");
    QTest::newRow("skipped tables") << QByteArray(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times;}{\\f1 Arial;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s1 Titre;}}"
        "{\\info{\\title Manuel}{\\author Moi}}Texte}")
                                    << QStringLiteral("Texte");
    QTest::newRow("optional destinations") << QByteArray("{\\rtf1{\\*\\generator Writer;}{\\*\\unknown x{y}}a}")
                                           << QStringLiteral("a");
    QTest::newRow("picture with binary data")
        << QByteArray("{\\rtf1 a{\\pict\\bin4 }{\\\\}b}", 27) << QStringLiteral("ab");
    QTest::newRow("binary data outside a picture") << QByteArray("{\\rtf1 a\\bin3 xyzb}") << QStringLiteral("ab");
    QTest::newRow("field shows its result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt lien}}.}") << QStringLiteral("lien.");
    QTest::newRow("list fallback text") << QByteArray("{\\rtf1{\\listtext\\'95\\tab}Point}")
                                        << QStringLiteral("•\tPoint");
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v cach\\'e9}b\\v c\\v0 d}") << QStringLiteral("abd");
    QTest::newRow("unknown control words") << QByteArray("{\\rtf1\\zzz12 a\\qwerty-5 b\\nosupersub c}")
                                           << QStringLiteral("abc");
    QTest::newRow("paragraph by escaped line end") << QByteArray("{\\rtf1 a\\\nb}") << QStringLiteral("a\nb");
    QTest::newRow("table cells and rows") << QByteArray("{\\rtf1\\trowd a\\cell b\\cell\\row c}")
                                          << QStringLiteral("a\tb\t\nc");
    QTest::newRow("truncated group") << QByteArray("{\\rtf1 D\\'e9but {\\b gras") << QStringLiteral("Début gras");
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'e") << QStringLiteral("a");
    QTest::newRow("truncated control word") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("truncated skipped group") << QByteArray("{\\rtf1 a{\\fonttbl{\\f0 Arial;}") << QStringLiteral("a");
    QTest::newRow("stray closing braces") << QByteArray("{\\rtf1 a}}b}") << QStringLiteral("ab");
    QTest::newRow("bad hex digits") << QByteArray("{\\rtf1 \\'zz\\'4}") << QStringLiteral("zz");
    QTest::newRow("control characters dropped") << QByteArray("{\\rtf1 a\x01\x00" "b}", 12) << QStringLiteral("ab");
    QTest::newRow("huge parameter") << QByteArray("{\\rtf1\\fs99999999999999999999 a\\li-99999999999 b}")
                                    << QStringLiteral("ab");
    QTest::newRow("leading blanks") << QByteArray(" \r\n{\\rtf1 a}") << QStringLiteral("a");
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(readText(rtf), expected);
}

void TestRtfReader::characterFormats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<double>("pointSize"); // 0: not set
    QTest::addColumn<QColor>("colour");    // invalid: not set

    const QByteArray head("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}");
    QTest::newRow("plain") << head + "plain}" << "plain" << false << false << false << 0.0 << QColor();
    QTest::newRow("bold") << head + "{\\b gras} x}" << "gras" << true << false << false << 0.0 << QColor();
    QTest::newRow("bold ends with its group")
        << head + "{\\b gras} apres}" << "apres" << false << false << false << 0.0 << QColor();
    QTest::newRow("bold off by b0") << head + "\\b a\\b0 maigre}" << "maigre" << false << false << false << 0.0
                                    << QColor();
    QTest::newRow("italic") << head + "\\i penche}" << "penche" << false << true << false << 0.0 << QColor();
    QTest::newRow("underline") << head + "\\ul souligne\\ulnone  x}" << "souligne" << false << false << true << 0.0
                               << QColor();
    QTest::newRow("underline off") << head + "\\ul a\\ulnone droit}" << "droit" << false << false << false << 0.0
                                   << QColor();
    QTest::newRow("combined") << head + "\\b\\i\\ul\\fs32\\cf1 tout}" << "tout" << true << true << true << 16.0
                              << QColor(255, 0, 0);
    QTest::newRow("font size in half points") << head + "\\fs21 petit}" << "petit" << false << false << false
                                              << 10.5 << QColor();
    QTest::newRow("second colour") << head + "\\cf2 bleu}" << "bleu" << false << false << false << 0.0
                                   << QColor(0, 0, 128);
    QTest::newRow("colour 0 is automatic") << head + "\\cf1 a\\cf0 auto}" << "auto" << false << false << false
                                           << 0.0 << QColor();
    QTest::newRow("colour beyond the table") << head + "\\cf9 hors}" << "hors" << false << false << false << 0.0
                                             << QColor();
    QTest::newRow("plain resets") << head + "\\b\\i\\fs40\\cf1 a\\plain simple}" << "simple" << false << false
                                  << false << 0.0 << QColor();
    QTest::newRow("colour table without its last semicolon")
        << QByteArray("{\\rtf1{\\colortbl;\\red0\\green128\\blue0}\\cf1 vert}") << "vert" << false << false << false
        << 0.0 << QColor(0, 128, 0);
}

void TestRtfReader::characterFormats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, word);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(double, pointSize);
    QFETCH(QColor, colour);

    QTextDocument document;
    QVERIFY(readRtf(rtf, document));
    QVERIFY2(!document.find(word).isNull(), qPrintable(document.toPlainText()));
    const QTextCharFormat format = formatOf(document, word);
    QCOMPARE(format.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(format.fontItalic(), italic);
    QCOMPARE(format.fontUnderline(), underline);
    if (pointSize > 0)
        QCOMPARE(format.fontPointSize(), pointSize);
    else
        QVERIFY(!format.hasProperty(QTextFormat::FontPointSize));
    if (colour.isValid())
        QCOMPARE(format.foreground().color(), colour);
    else
        QVERIFY(!format.hasProperty(QTextFormat::ForegroundBrush));
}

void TestRtfReader::paragraphFormats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("leftMargin"); // pixels at 96 dpi
    QTest::addColumn<double>("indent");
    QTest::addColumn<double>("before");

    QTest::newRow("left by default") << QByteArray("{\\rtf1 texte}") << "texte" << int(Qt::AlignLeft) << 0.0 << 0.0
                                     << 0.0;
    QTest::newRow("centred title") << QByteArray("{\\rtf1\\pard\\qc Titre\\par\\pard corps\\par}") << "Titre"
                                   << int(Qt::AlignHCenter) << 0.0 << 0.0 << 0.0;
    QTest::newRow("pard resets") << QByteArray("{\\rtf1\\pard\\qc Titre\\par\\pard corps\\par}") << "corps"
                                 << int(Qt::AlignLeft) << 0.0 << 0.0 << 0.0;
    QTest::newRow("right") << QByteArray("{\\rtf1\\qr droite}") << "droite" << int(Qt::AlignRight) << 0.0 << 0.0
                           << 0.0;
    QTest::newRow("justified") << QByteArray("{\\rtf1\\qj justifie\\par}") << "justifie" << int(Qt::AlignJustify)
                               << 0.0 << 0.0 << 0.0;
    QTest::newRow("hanging indent and spacing")
        << QByteArray("{\\rtf1\\pard\\li720\\fi-360\\sb120 puce\\par}") << "puce" << int(Qt::AlignLeft) << 48.0
        << -24.0 << 8.0;
    QTest::newRow("format at the paragraph end counts")
        << QByteArray("{\\rtf1 debut \\qc\\par}") << "debut" << int(Qt::AlignHCenter) << 0.0 << 0.0 << 0.0;
}

void TestRtfReader::paragraphFormats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, word);
    QFETCH(int, alignment);
    QFETCH(double, leftMargin);
    QFETCH(double, indent);
    QFETCH(double, before);

    QTextDocument document;
    QVERIFY(readRtf(rtf, document));
    const QTextBlockFormat format = blockFormatOf(document, word);
    QCOMPARE(int(format.alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(format.leftMargin(), leftMargin);
    QCOMPARE(format.textIndent(), indent);
    QCOMPARE(format.topMargin(), before);
}

void TestRtfReader::hangingIndentTab()
{
    // A bullet list as word processors write it: the text after the bullet's
    // tab starts where the wrapped lines of the item start.
    QTextDocument document;
    QVERIFY(readRtf("{\\rtf1\\pard\\li720\\fi-360 \\bullet\\tab un deux trois quatre cinq six sept huit neuf dix "
                    "onze douze treize quatorze quinze seize\\par}",
                    document));
    document.setTextWidth(200);
    document.documentLayout(); // lays the document out
    const QTextBlock item = document.firstBlock();
    QTextLayout *layout = item.layout();
    QVERIFY(layout->lineCount() > 1);
    const qreal textStart = layout->lineAt(0).cursorToX(2); // after the bullet and its tab
    const qreal wrappedStart = layout->lineAt(1).cursorToX(layout->lineAt(1).textStart());
    QCOMPARE(textStart, wrappedStart);
    QVERIFY(layout->lineAt(0).cursorToX(0) < textStart); // the bullet hangs to the left
}

void TestRtfReader::defaultTabStop_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<double>("pixels");
    QTest::newRow("half an inch when not given") << QByteArray("{\\rtf1 a}") << 48.0;
    QTest::newRow("deftab") << QByteArray("{\\rtf1\\deftab360 a}") << 24.0;
    QTest::newRow("zero ignored") << QByteArray("{\\rtf1\\deftab0 a}") << 48.0;
}

void TestRtfReader::defaultTabStop()
{
    QFETCH(QByteArray, rtf);
    QFETCH(double, pixels);
    QTextDocument document;
    QTextOption option = document.defaultTextOption();
    option.setTabStopDistance(5);
    document.setDefaultTextOption(option); // what an earlier document left
    QVERIFY(readRtf(rtf, document));
    QCOMPARE(document.defaultTextOption().tabStopDistance(), pixels);
}

void TestRtfReader::notRtf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("Bonjour");
    QTest::newRow("brace only") << QByteArray("{\\rt");
    QTest::newRow("html") << QByteArray("<html>{\\rtf1 a}</html>");
}

void TestRtfReader::notRtf()
{
    QFETCH(QByteArray, bytes);
    QTextDocument document;
    document.setPlainText(QStringLiteral("old"));
    QVERIFY(!readRtf(bytes, document));
    QVERIFY(document.isEmpty());
}

void TestRtfReader::loadFile()
{
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("aide.rtf"));
    const QString bad = folder.filePath(QStringLiteral("autre.rtf"));
    writeFile(good, "{\\rtf1 Aide\\par}");
    writeFile(bad, "pas du RTF");

    QTextDocument document;
    loadRtfFile(good, document);
    QCOMPARE(document.toPlainText(), QStringLiteral("Aide\n"));

    const auto failureOf = [&](const QString &path) {
        try {
            loadRtfFile(path, document);
        } catch (const Failure &failure) {
            return failure.code();
        }
        return FailureCode(0);
    };
    QCOMPARE(failureOf(bad), FailureCode::InvalidFileFormat);
    QVERIFY(document.isEmpty());
    QCOMPARE(failureOf(folder.filePath(QStringLiteral("absent.rtf"))), FailureCode::FileNotFound);
    QCOMPARE(failureOf(folder.path()), FailureCode::FileNotFound);
    QCOMPARE(failureDescription(FailureCode::InvalidFileFormat), QStringLiteral("Format de fichier non valide"));
}

void TestRtfReader::hostileInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("mustContain");

    QByteArray noise(1 << 20, '\0');
    QRandomGenerator random(20240611);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    QTest::newRow("1 MB of random bytes") << QByteArray("{\\rtf1 debut ") + noise << QStringLiteral("debut");

    QByteArray symbols(1 << 20, '\0');
    const char alphabet[] = "{}\\'*ub0123456789-; a\xe9";
    for (char &byte : symbols)
        byte = alphabet[random.bounded(int(sizeof alphabet) - 1)];
    QTest::newRow("1 MB of RTF symbols") << QByteArray("{\\rtf1 debut ") + symbols << QStringLiteral("debut");

    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 a") + QByteArray(200000, '{') + "\\b fond" +
                                         QByteArray(200000, '}') + "fin}"
                                  << QStringLiteral("afondfin");
    QTest::newRow("binary length past the end") << QByteArray("{\\rtf1 a\\bin2147483647 xyz") << QStringLiteral("a");
    QTest::newRow("many format changes") << QByteArray("{\\rtf1 ") + QByteArray("{\\b x}{\\i y}").repeated(20000) + "}"
                                         << QStringLiteral("xyxy");
}

void TestRtfReader::hostileInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, mustContain);
    QTextDocument document;
    QVERIFY(readRtf(rtf, document));
    QVERIFY(document.toPlainText().contains(mustContain));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtf_reader.moc"
