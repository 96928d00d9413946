// Reading the language file into its five tables: block boundaries, entry
// numbers, line ends, and files that cannot be used.

#include "localisation/language_file.h"
#include "platform/text_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QtTest>

#include <optional>

using namespace testing;

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void blocks_data();
    void blocks();
    void unusableFiles_data();
    void unusableFiles();
    void loadLeavesFileClosed();
};

namespace {
// The entries of every table that the file gave, as "C[1]=text" (C, C2, F,
// W, S; "C[1]=" for an empty line), so a failed comparison shows where an
// entry went. A filled entry not marked given would read "C[1]?=text".
QStringList filledEntries(const LanguageTables &t)
{
    QStringList out;
    auto dump = [&out](const char *name, const auto &table, const auto &given) {
        for (size_t i = 0; i < table.size(); ++i)
            if (given[i] || !table[i].isEmpty())
                out << QStringLiteral("%1[%2]%3=%4")
                           .arg(QLatin1String(name))
                           .arg(i)
                           .arg(given[i] ? QString() : QStringLiteral("?"))
                           .arg(table[i]);
    };
    dump("C", t.ConfigTexts, t.ConfigGiven);
    dump("C2", t.Config2Texts, t.Config2Given);
    dump("F", t.FormTexts, t.FormGiven);
    dump("W", t.WizardTexts, t.WizardGiven);
    dump("S", t.SuggestionTexts, t.SuggestionGiven);
    for (size_t i = 0; i < t.MessageTexts.size(); ++i)
        if (!t.MessageTexts[i].isEmpty())
            out << QStringLiteral("M[%1]=%2").arg(i).arg(t.MessageTexts[i]);
    return out;
}

QByteArray crlf(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QStringList numbered(const QString &prefix, int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << prefix + QString::number(i);
    return lines;
}

const QStringList kRestAfterForm = {"[FORM]", "[WIZARD]", "[SUGESTIONS]", "[END]"};
const QStringList kTailAfterForm = {"C2[2]=[FORM]", "F[1]=[WIZARD]", "W[1]=[SUGESTIONS]", "S[0]=[END]"};
} // namespace

void TestLanguageFile::blocks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("markers only") << crlf({"T", "[CONFIG2]", "[FORM]", "[WIZARD]", "[SUGESTIONS]", "[END]"})
                                  << QStringList{"C[1]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=[WIZARD]",
                                                 "W[1]=[SUGESTIONS]", "S[0]=[END]"};
    QTest::newRow("short block 1")
        << crlf(QStringList{"T", "a", "b", "c", "d", "[CONFIG2]", "e"} + kRestAfterForm)
        << QStringList{"C[1]=a", "C[2]=b", "C[3]=c", "C[4]=d", "C[5]=[CONFIG2]", "C2[1]=e"} + kTailAfterForm;
    QTest::newRow("title line is the first marker")
        << crlf(QStringList{"[CONFIG2]", "e"} + kRestAfterForm)
        << QStringList{"C2[1]=e"} + kTailAfterForm;
    QTest::newRow("hints start at entry 0")
        << crlf({"T", "[CONFIG2]", "[FORM]", "[WIZARD]", "[SUGESTIONS]", "h0", "h1", "[END]"})
        << QStringList{"C[1]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=[WIZARD]", "W[1]=[SUGESTIONS]",
                       "S[0]=h0", "S[1]=h1", "S[2]=[END]"};
    QTest::newRow("markers in another case or with blanks are content")
        << crlf(QStringList{"T", "[config2]", " [CONFIG2]", "[CONFIG2] ", "[CONFIG2]", "[form]"}
                + kRestAfterForm)
        << QStringList{"C[1]=[config2]", "C[2]= [CONFIG2]", "C[3]=[CONFIG2] ", "C[4]=[CONFIG2]",
                       "C2[1]=[form]"} + kTailAfterForm;
    QTest::newRow("empty lines are entries")
        << crlf(QStringList{"T", "", "a", "", "[CONFIG2]", "", ""} + kRestAfterForm)
        << QStringList{"C[1]=", "C[2]=a", "C[3]=", "C[4]=[CONFIG2]", "C2[1]=", "C2[2]=", "C2[3]=[FORM]",
                       "F[1]=[WIZARD]", "W[1]=[SUGESTIONS]", "S[0]=[END]"};
    QTest::newRow("texts taken verbatim")
        << crlf(QStringList{"T", "  Nom : ; ' # x  ", "[CONFIG2]", "\t"} + kRestAfterForm)
        << QStringList{"C[1]=  Nom : ; ' # x  ", "C[2]=[CONFIG2]", "C2[1]=\t"} + kTailAfterForm;
    QTest::newRow("lines after [END] are not read")
        << crlf({"T", "[CONFIG2]", "[FORM]", "[WIZARD]", "[SUGESTIONS]", "[END]", "more", "[END]", "[CONFIG2]"})
        << QStringList{"C[1]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=[WIZARD]", "W[1]=[SUGESTIONS]", "S[0]=[END]"};

    // Exactly full: 19 lines in block 1 (marker in entry 20), 20 hints
    // (entries 0 to 19, marker in entry 20).
    {
        QStringList expected;
        for (int i = 1; i <= 19; ++i)
            expected << QStringLiteral("C[%1]=c%1").arg(i);
        expected << "C[20]=[CONFIG2]" << "C2[1]=[FORM]" << "F[1]=[WIZARD]" << "W[1]=[SUGESTIONS]";
        for (int i = 1; i <= 20; ++i)
            expected << QStringLiteral("S[%1]=s%2").arg(i - 1).arg(i);
        expected << "S[20]=[END]";
        QTest::newRow("exactly full blocks")
            << crlf(QStringList{"T"} + numbered("c", 19)
                    + QStringList{"[CONFIG2]", "[FORM]", "[WIZARD]", "[SUGESTIONS]"} + numbered("s", 20)
                    + QStringList{"[END]"})
            << expected;
    }
    // Overlong: the lines beyond the table are dropped, the next block still
    // starts after the marker.
    {
        QStringList expected;
        for (int i = 1; i <= 20; ++i)
            expected << QStringLiteral("C[%1]=c%1").arg(i);
        expected << "C2[1]=x" << "C2[2]=[FORM]";
        for (int i = 1; i <= 80; ++i)
            expected << QStringLiteral("F[%1]=f%1").arg(i);
        expected << "W[1]=[SUGESTIONS]";
        for (int i = 1; i <= 21; ++i)
            expected << QStringLiteral("S[%1]=s%2").arg(i - 1).arg(i);
        QTest::newRow("overlong blocks")
            << crlf(QStringList{"T"} + numbered("c", 25) + QStringList{"[CONFIG2]", "x", "[FORM]"}
                    + numbered("f", 90) + QStringList{"[WIZARD]", "[SUGESTIONS]"} + numbered("s", 30)
                    + QStringList{"[END]"})
            << expected;
    }

    const QStringList shortFile = {"C[1]=a", "C[2]=[CONFIG2]", "C2[1]=b", "C2[2]=[FORM]", "F[1]=[WIZARD]",
                                   "W[1]=[SUGESTIONS]", "S[0]=h", "S[1]=[END]"};
    QTest::newRow("lf line ends") << QByteArray("T\na\n[CONFIG2]\nb\n[FORM]\n[WIZARD]\n[SUGESTIONS]\nh\n[END]\n")
                                  << shortFile;
    QTest::newRow("cr line ends") << QByteArray("T\ra\r[CONFIG2]\rb\r[FORM]\r[WIZARD]\r[SUGESTIONS]\rh\r[END]")
                                  << shortFile;
    QTest::newRow("mixed line ends, no final one")
        << QByteArray("T\r\na\n[CONFIG2]\rb\r\n[FORM]\n\n[WIZARD]\r[SUGESTIONS]\nh\r\n[END]")
        << QStringList{"C[1]=a", "C[2]=[CONFIG2]", "C2[1]=b", "C2[2]=[FORM]", "F[1]=", "F[2]=[WIZARD]",
                       "W[1]=[SUGESTIONS]", "S[0]=h", "S[1]=[END]"};
    QTest::newRow("latin-1 file")
        << QByteArray("T\r\nD\xe9\x63ideur\r\n[CONFIG2]\r\n[FORM]\r\n[WIZARD]\r\n[SUGESTIONS]\r\n[END]\r\n")
        << QStringList{QStringLiteral("C[1]=Décideur"), "C[2]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=[WIZARD]",
                       "W[1]=[SUGESTIONS]", "S[0]=[END]"};
    // A stray byte after "[END]" (or on any line) leaves the UTF-8 lines as
    // they are, and a line from a Windows editor keeps its ’ œ €.
    QTest::newRow("one line not in utf-8")
        << QByteArray("T\r\nD\xc3\xa9\x63ideur\r\nl\x92\x9c\x75vre \x80\r\n[CONFIG2]\r\n[FORM]\r\n[WIZARD]\r\n"
                      "[SUGESTIONS]\r\n[END]\r\n\xff\r\n")
        << QStringList{QStringLiteral("C[1]=Décideur"), QStringLiteral("C[2]=l\u2019\u0153uvre \u20ac"),
                       "C[3]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=[WIZARD]", "W[1]=[SUGESTIONS]", "S[0]=[END]"};
    QTest::newRow("utf-8 with byte order mark")
        << QByteArray("\xef\xbb\xbf[CONFIG2]\r\n\xc3\xa9\r\n[FORM]\r\n[WIZARD]\r\n[SUGESTIONS]\r\n[END]\r\n")
        << QStringList{QStringLiteral("C2[1]=é")} + kTailAfterForm;
}

void TestLanguageFile::blocks()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    QTemporaryDir folder;
    writeFile(languageFilePath(folder.path()), file);
    LanguageTables tables;
    const LanguageLoadResult result = LoadLanguage(folder.path(), tables);
    QVERIFY2(result.ok(), qPrintable(result.problem));
    QCOMPARE(filledEntries(tables), expected);
}

void TestLanguageFile::unusableFiles_data()
{
    QTest::addColumn<int>("kind"); // 0 missing, 1 a folder in its place, 2 the bytes below, 3 a named pipe
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("anyText"); // some entry was filled, so the texts are used

    QTest::newRow("missing") << 0 << QByteArray() << QStringLiteral("Fichier introuvable") << QStringList{}
                             << false;
    QTest::newRow("a folder") << 1 << QByteArray() << QStringLiteral("Fichier introuvable") << QStringList{}
                              << false;
    QTest::newRow("a named pipe") << 3 << QByteArray() << QStringLiteral("Fichier introuvable") << QStringList{}
                                  << false;
    QTest::newRow("empty") << 2 << QByteArray() << QStringLiteral("le fichier est vide") << QStringList{}
                           << false;
    QTest::newRow("title only") << 2 << QByteArray("T\r\n")
                                << QStringLiteral("le fichier se termine avant la ligne [CONFIG2]")
                                << QStringList{} << false;
    // The file is taken as ending before a line without its end within the
    // reader's bound: no text was read.
    QTest::newRow("title, then no line end")
        << 2 << QByteArray("T\r\n") + QByteArray(TextFileReader::kMaxLineScanBytes, 'x')
        << QStringLiteral("Tentative de lecture au-delà de la fin du fichier") << QStringList{} << false;
    QTest::newRow("ends in block 2") << 2 << QByteArray("T\r\na\r\n[CONFIG2]\r\nb")
                                     << QStringLiteral("le fichier se termine avant la ligne [FORM]")
                                     << QStringList{"C[1]=a", "C[2]=[CONFIG2]", "C2[1]=b"} << true;
    // Cut inside block 3 after an empty line: that line is given, the
    // entries after it are not.
    QTest::newRow("ends in block 3 after an empty line")
        << 2 << QByteArray("T\r\n[CONFIG2]\r\n[FORM]\r\nTitre\r\n\r\n")
        << QStringLiteral("le fichier se termine avant la ligne [WIZARD]")
        << QStringList{"C[1]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=Titre", "F[2]="} << true;
    QTest::newRow("ends before [END]")
        << 2 << QByteArray("T\r\n[CONFIG2]\r\n[FORM]\r\n[WIZARD]\r\n[SUGESTIONS]\r\nh0\r\n[end]\r\n")
        << QStringLiteral("le fichier se termine avant la ligne [END]")
        << QStringList{"C[1]=[CONFIG2]", "C2[1]=[FORM]", "F[1]=[WIZARD]", "W[1]=[SUGESTIONS]", "S[0]=h0",
                       "S[1]=[end]"}
        << true;
}

void TestLanguageFile::unusableFiles()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    QFETCH(QStringList, expected);
    QFETCH(bool, anyText);
    QTemporaryDir folder;
    const QString path = languageFilePath(folder.path());
    if (kind == 1)
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("lang.cfg")));
    else if (kind == 2)
        writeFile(path, file);
    std::optional<UnwrittenPipe> pipe;
    if (kind == 3)
        QVERIFY(pipe.emplace(path).created());

    LanguageTables tables;
    const LanguageLoadResult result = LoadLanguage(folder.path(), tables);
    QVERIFY(!pipe || !pipe->released());
    QVERIFY(!result.ok());
    QCOMPARE(result.path, path);
    QCOMPARE(result.problem, problem);
    // What was read before the end stays.
    QCOMPARE(filledEntries(tables), expected);
    QCOMPARE(result.anyTextRead, anyText);
    // The one box at start-up names the file and the failure.
    QVERIFY(result.message().contains(path));
    QVERIFY(result.message().contains(problem));
}

void TestLanguageFile::loadLeavesFileClosed()
{
    QTemporaryDir folder;
    const QString path = languageFilePath(folder.path());
    writeFile(path, "T\r\nonly\r\n");
    LanguageTables tables;
    QVERIFY(!LoadLanguage(folder.path(), tables).ok());
    QVERIFY(QFile::remove(path));
}

QTEST_MAIN(TestLanguageFile)
#include "tst_language_file.moc"
