// Number readings and writings under a point locale and a comma locale.

#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/text_file.h"
#include "support/test_support.h"

#include <QtTest>

#include <cerrno>
#include <optional>

using namespace testing;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void val_data();
    void val();
    void roundHalfEven_data();
    void roundHalfEven();
    void localeConversion_data();
    void localeConversion();
    void numberToText_data();
    void numberToText();
    void cintRange_data();
    void cintRange();
    void failureDescriptions();
    void textLines_data();
    void textLines();
    void lineWithoutEnd_data();
    void lineWithoutEnd();
    void latin1Fallback();
    void readPastEnd();
    void notRegularFiles_data();
    void notRegularFiles();
    void writeReplacesOnlyWhenComplete_data();
    void writeReplacesOnlyWhenComplete();
};

void TestNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed");      // read as a box the user typed
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("failure"); // empty: read
    const auto row = [](const char *name, const QString &text, double expected, bool typed = false) {
        QTest::newRow(name) << text << typed << expected << QString();
    };
    row("plain", "1745.2", 1745.2);
    row("leading blanks", "   12.5abc", 12.5);
    row("comma stops", "2599,43", 2599.0);
    row("negative", "-3.5", -3.5);
    row("plus", "+7", 7.0);
    row("exponent", "1.5e3x", 1500.0);
    row("bare exponent letter", "2e", 2.0);
    row("letters", "abc", 0.0);
    row("empty", "", 0.0);
    row("point only", ".", 0.0);
    row("leading point", ".25", 0.25);
    row("second point stops", "1.2.3", 1.2);
    row("underflow", "-1e-400", 0.0);
    row("blanks inside the digits", " - 1 2 . 5 e 1x", -125.0);
    row("typed comma", "6,7", 6.7, true);
    row("typed point", "6.7", 6.7, true);
    row("typed comma and exponent", "-1,5e3 mm", -1500.0, true);
    row("typed second comma stops", "54,8,2", 54.8, true);
    const QString overflow = QStringLiteral("Dépassement de capacité");
    QTest::newRow("beyond a double") << "1e400" << false << 0.0 << overflow;
    QTest::newRow("beyond a double, negative") << " - 1 e 4 0 0" << false << 0.0 << overflow;
    QTest::newRow("typed beyond a double") << "1,5e400" << true << 0.0 << overflow;
}

void TestNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(bool, typed);
    QFETCH(double, expected);
    QFETCH(QString, failure);
    for (const QLocale &locale : {pointLocale(), commaLocale()}) {
        ScopedLocale scoped(locale);
        try {
            const double value = typed ? typedLeadingNumber(text) : Val(text);
            QVERIFY2(failure.isEmpty(), qPrintable(QString::number(value)));
            QCOMPARE(value, expected);
        } catch (const Failure &f) {
            QCOMPARE(f.description(), failure);
        }
    }
}

void TestNumbers::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("2.4999") << 2.4999 << 2.0;
    QTest::newRow("2.5001") << 2.5001 << 3.0;
}

void TestNumbers::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(::roundHalfEven(value), expected);
}

void TestNumbers::localeConversion_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<bool>("typed");      // read as a box the user typed
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("failure"); // empty: converted
    QTest::addColumn<double>("expected");
    const auto row = [](const char *name, bool comma, const QString &text, const QString &failure,
                        double expected, bool typed = false) {
        QTest::newRow(name) << comma << typed << text << failure << expected;
    };
    const QString mismatch = QStringLiteral("Incompatibilité de type");
    row("point in point locale", false, "1200.5", "", 1200.5);
    row("comma in comma locale", true, "1200,5", "", 1200.5);
    row("point in comma locale", true, "1200.5", mismatch, 0.0);
    row("letters", false, "abc", mismatch, 0.0);
    row("empty", false, "", mismatch, 0.0);
    row("blanks around", false, " 7 ", "", 7.0);
    row("negative comma", true, "-0,25", "", -0.25);
    row("beyond a double", true, "-1e400", "Dépassement de capacité", 0.0);
    row("not a number", false, "nan", mismatch, 0.0);
    row("typed comma in point locale", false, "1200,5", "", 1200.5, true);
    row("typed comma in comma locale", true, "1200,5", "", 1200.5, true);
    row("typed point in point locale", false, "1200.5", "", 1200.5, true);
    row("typed point in comma locale", true, "1200.5", mismatch, 0.0, true);
    row("typed two commas", false, "1,200,5", mismatch, 0.0, true);
    row("typed empty", true, "", mismatch, 0.0, true);
}

void TestNumbers::localeConversion()
{
    QFETCH(bool, comma);
    QFETCH(bool, typed);
    QFETCH(QString, text);
    QFETCH(QString, failure);
    QFETCH(double, expected);
    ScopedLocale scoped(comma ? commaLocale() : pointLocale());
    const auto read = [&] { return typed ? typedLocaleNumber(text) : CDbl(text); };
    if (failure.isEmpty()) {
        QCOMPARE(read(), expected);
    } else {
        try {
            read();
            QFAIL("expected a failure");
        } catch (const Failure &f) {
            QCOMPARE(f.description(), failure);
        }
    }
}

void TestNumbers::numberToText_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("expected");
    QTest::newRow("15 digits") << false << 1745.20069808028 << false << "1745.20069808028";
    QTest::newRow("15 digits comma") << true << 1745.20069808028 << false << "1745,20069808028";
    QTest::newRow("rounded to 15") << false << 2.0 / 3.0 << false << "0.666666666666667";
    QTest::newRow("whole") << false << 2000.0 << false << "2000";
    QTest::newRow("no grouping comma") << true << 1234567.0 << false << "1234567";
    QTest::newRow("negative") << true << -12.5 << false << "-12,5";
    QTest::newRow("zero") << false << 0.0 << false << "0";
    QTest::newRow("single 7 digits") << false << 1.0 / 3.0 << true << "0.3333333";
    QTest::newRow("single pixel") << true << 123.25 << true << "123,25";
}

void TestNumbers::numberToText()
{
    QFETCH(bool, comma);
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QString, expected);
    ScopedLocale scoped(comma ? commaLocale() : pointLocale());
    const QString text = single ? CStrSingle(float(value)) : CStr(value);
    QVERIFY2(text == expected, qPrintable(text + " != " + expected));
}

void TestNumbers::cintRange_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("max") << 32767.0 << true << 32767;
    QTest::newRow("min") << -32768.0 << true << -32768;
    QTest::newRow("rounds into range") << 32767.4 << true << 32767;
    QTest::newRow("rounds out of range") << 32767.5 << false << 0;
    QTest::newRow("half to even") << 2.5 << true << 2;
    QTest::newRow("too low") << -32769.0 << false << 0;
}

void TestNumbers::cintRange()
{
    QFETCH(double, value);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    if (ok) {
        QCOMPARE(CInt(value), expected);
        return;
    }
    try {
        CInt(value);
        QFAIL("expected an overflow");
    } catch (const Failure &f) {
        QCOMPARE(f.code(), FailureCode::Overflow);
        QCOMPARE(f.description(), QStringLiteral("Dépassement de capacité"));
    }
}

void TestNumbers::failureDescriptions()
{
    QCOMPARE(Failure(FailureCode::FileNotFound).description(), QStringLiteral("Fichier introuvable"));
    QCOMPARE(Failure(FailureCode::ReadPastEnd).description(),
             QStringLiteral("Tentative de lecture au-delà de la fin du fichier"));
    QCOMPARE(Failure(FailureCode::DivisionByZero).description(), QStringLiteral("Division par zéro"));
    QCOMPARE(Failure(FailureCode::SubscriptOutOfRange).description(),
             QStringLiteral("L'indice n'appartient pas à la sélection"));
}

void TestNumbers::textLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("whole"); // decoding the whole text gives the same lines
    constexpr qsizetype cap = TextFileReader::kMaxLineBytes;
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << true;
    QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList{"a", "b"} << true;
    QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList{"a", "b"} << true;
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"} << true;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << true;
    QTest::newRow("utf8") << QByteArray("d\xc3\xa9" "cideur\r\n") << QStringList{QStringLiteral("décideur")}
                          << true;
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf" "a\r\nb") << QStringList{"a", "b"} << true;
    // One line from a Windows editor does not turn the UTF-8 lines around it.
    QTest::newRow("windows-1252 line")
        << QByteArray("d\xc3\xa9j\xc3\xa0\r\n\x92\x9c\x80 d\xe9j\xe0\r\n")
        << QStringList{QStringLiteral("déjà"), QStringLiteral("\u2019\u0153\u20ac déjà")} << true;
    // Each of the 32 bytes where the code page differs from Latin-1, as the
    // code page's own chart gives it; the five it leaves unassigned (0x81,
    // 0x8D, 0x8F, 0x90, 0x9D) keep their Latin-1 control meaning.
    constexpr char16_t windows1252[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int byte = 0x80; byte <= 0x9F; ++byte)
        QTest::addRow("windows-1252 0x%X", byte)
            << QByteArray("a") + char(byte) + "b\r\n"
            << QStringList{u'a' + QString(QChar(windows1252[byte - 0x80])) + u'b'} << true;
    QTest::newRow("cr lf across two reads") << QByteArray(64 * 1024 - 1, 'x') + "\r\nb"
                                            << QStringList{QString(64 * 1024 - 1, u'x'), "b"} << true;
    // A line longer than any field keeps its beginning; the next line follows.
    QTest::newRow("enormous line") << QByteArray(cap + 100, 'y') + "\r\nz" << QStringList{QString(cap, u'y'), "z"}
                                   << false;
    QTest::newRow("cut inside a character")
        << "a" + QString(cap / 2, u'\u00e9').toUtf8() + "\r\nz"
        << QStringList{u'a' + QString(cap / 2 - 1, u'\u00e9'), "z"} << false;
    // A line is looked through up to a bound for its end.
    QTest::newRow("line end as the bound's last byte")
        << QByteArray(TextFileReader::kMaxLineScanBytes - 1, 'y') + "\r\nz" << QStringList{QString(cap, u'y'), "z"}
        << false;
}

void TestNumbers::textLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(bool, whole);
    if (whole)
        QCOMPARE(splitTextLines(decodeText(bytes)), lines);
    QTemporaryDir dir;
    writeFile(dir.filePath("f.txt"), bytes);
    TextFileReader reader(dir.filePath("f.txt"));
    QStringList read;
    while (!reader.atEnd())
        read << reader.readLine();
    QCOMPARE(read, lines);
}

void TestNumbers::lineWithoutEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseSize"); // the file is then made this long, without a byte on the disk
    QTest::addColumn<QStringList>("lines");
    constexpr qint64 bound = TextFileReader::kMaxLineScanBytes;
    constexpr qint64 huge = qint64(16) * 1024 * 1024 * 1024;
    QTest::newRow("16 GB without a line end") << QByteArray() << huge << QStringList{};
    QTest::newRow("a line, then 16 GB without a line end") << QByteArray("a\r\n") << huge << QStringList{"a"};
    QTest::newRow("line end one byte past the bound")
        << "a\r\n" + QByteArray(bound, 'y') + "\r\nz" << qint64(0) << QStringList{"a"};
}

void TestNumbers::lineWithoutEnd()
{
    // The file is taken as ending before a line still without its end at
    // the bound, and nothing much past the bound is read.
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparseSize);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    QFile file(dir.filePath("defaut.cfg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    if (sparseSize > 0 && !file.resize(sparseSize))
        QSKIP("this file system refuses a sparse file this long");
    file.close();
    TextFileReader reader(file.fileName());
    QStringList read;
    int failure = 0;
    while (!reader.atEnd() && failure == 0) {
        try {
            read << reader.readLine();
        } catch (const Failure &f) {
            failure = int(f.code());
        }
    }
    QCOMPARE(read, lines);
    QCOMPARE(failure, int(FailureCode::ReadPastEnd));
    QVERIFY(reader.atEnd());
    // Up to one read piece past the bound, after the lines before.
    QVERIFY2(reader.bytesRead() <= 8 + TextFileReader::kMaxLineScanBytes + 64 * 1024,
             qPrintable(QString::number(reader.bytesRead())));
}

void TestNumbers::latin1Fallback()
{
    QCOMPARE(decodeText(QByteArray("Etoile d\xe9j\xe0")), QStringLiteral("Etoile déjà"));
}

void TestNumbers::readPastEnd()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("f.txt"), "one\r\n");
    TextFileReader reader(dir.filePath("f.txt"));
    QCOMPARE(reader.readLine(), QStringLiteral("one"));
    try {
        reader.readLine();
        QFAIL("expected a failure");
    } catch (const Failure &f) {
        QCOMPARE(f.code(), FailureCode::ReadPastEnd);
    }
    try {
        TextFileReader missing(dir.filePath("missing.txt"));
        QFAIL("expected a failure");
    } catch (const Failure &f) {
        QCOMPARE(f.description(), QStringLiteral("Fichier introuvable"));
    }
}

void TestNumbers::notRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("readerFailure"); // 0: the line reader opens it
    QTest::addColumn<int>("bytesFailure");
    const int missing = int(FailureCode::FileNotFound);
    QTest::newRow("a folder") << "folder" << missing << missing;
    // Opening a named pipe without a writer waits for one, reading it for
    // data: the opening itself refuses it.
    QTest::newRow("a named pipe") << "pipe" << missing << missing;
    QTest::newRow("a device") << "device" << missing << missing;
    QTest::newRow("larger than a help document") << "large" << 0 << int(FailureCode::OutOfMemory);
}

void TestNumbers::notRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(int, readerFailure);
    QFETCH(int, bytesFailure);
    QTemporaryDir dir;
    QString path = dir.filePath("f");
    std::optional<UnwrittenPipe> pipe;
    if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("f"));
    } else if (kind == "pipe") {
        QVERIFY(pipe.emplace(path).created());
    } else if (kind == "device") {
        path = QStringLiteral("/dev/null");
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(kMaxWholeFileBytes + 1)); // sparse: no disk used
    }
    const auto failureOf = [](const auto &read) {
        try {
            read();
        } catch (const Failure &failure) {
            return int(failure.code());
        }
        return 0;
    };
    QCOMPARE(failureOf([&] {
                 QFile file;
                 openFileForReading(file, path);
             }),
             readerFailure);
    QCOMPARE(failureOf([&] { TextFileReader reader(path); }), readerFailure);
    QCOMPARE(failureOf([&] { readFileBytes(path); }), bytesFailure);
    // One byte more than a caller's own limit is too much as well.
    QCOMPARE(failureOf([&] { readFileBytes(path, 0); }), kind == "large" ? bytesFailure : readerFailure);
    QVERIFY(!pipe || !pipe->released());
}

void TestNumbers::writeReplacesOnlyWhenComplete_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("description");
    QTest::newRow("written") << "" << QString();
    QTest::newRow("written through a link") << "link" << QString();
    QTest::newRow("a folder in its place") << "folder" << QStringLiteral("Erreur d'accès au chemin/fichier");
    QTest::newRow("no such folder") << "gone" << QStringLiteral("Chemin d'accès introuvable");
    QTest::newRow("read-only folder") << "ro" << QStringLiteral("Permission refusée");
    QTest::newRow("full disk") << "full" << QStringLiteral("Disque plein");
    // Replaced by a file, a pipe that some program reads would be gone.
    QTest::newRow("a named pipe in its place") << "pipe" << QStringLiteral("Erreur d'accès au chemin/fichier");
    // The new file is in place, but whether it lasts is not known.
    QTest::newRow("folder sync fails")
        << "sync fails"
        << QStringLiteral("Fichier enregistré, mais son écriture sur le disque n'est pas confirmée "
                          "(Erreur d'entrée/sortie de périphérique)");
}

void TestNumbers::writeReplacesOnlyWhenComplete()
{
    QFETCH(QString, situation);
    QFETCH(QString, description);
    QTemporaryDir dir;
    SmallDisk disk;
    std::optional<UnwrittenPipe> pipe;
    QString path = dir.filePath("p.txt");
    writeFile(path, "old\r\n");
    if (situation == "pipe") {
        QVERIFY(QFile::remove(path));
        QVERIFY(pipe.emplace(path).created());
    } else if (situation == "link") {
        // The file the link names is replaced, in its own folder, which is
        // the one to sync.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(dir.path()).mkdir("real"));
        writeFile(dir.filePath("real/p.txt"), "old\r\n");
        QVERIFY(QFile::link(dir.filePath("real/p.txt"), path));
    } else if (situation == "folder") {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(dir.path()).mkdir("p.txt"));
    } else if (situation == "gone") {
        path = dir.filePath("gone/p.txt");
    } else if (situation == "ro") {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFileInfo(dir.path()).isWritable()) {
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("running with rights that ignore folder permissions");
        }
    } else if (situation == "full") {
        SKIP_WITHOUT_SMALL_DISK(disk);
        path = disk.path("p.txt");
        writeFile(path, "old\r\n");
        disk.fill();
    }

    // The folder sync, seen: where it was asked and what the file held then.
    const QByteArray written("\xc3\xa9\r\n\r\n");
    QStringList syncedFolders;
    QList<QByteArray> heldWhenSynced;
    const FolderSync sync = [&](const QString &folder) {
        syncedFolders << folder;
        heldWhenSynced << readFile(QFileInfo(path).canonicalFilePath());
        return situation == "sync fails" ? EIO : syncFolder(folder);
    };
    const QString fileFolder = situation == "link" ? dir.filePath("real") : QFileInfo(path).absolutePath();
    const QStringList lines{QStringLiteral("é"), QString()};
    if (description.isEmpty()) {
        writeTextLines(path, lines, sync);
        QCOMPARE(readFile(path), written);
        // Synced once, on the folder of the file replaced, after the rename.
        QCOMPARE(syncedFolders, QStringList{fileFolder});
        QCOMPARE(heldWhenSynced, QList<QByteArray>{written});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.txt"});
        QCOMPARE(QFileInfo(path).isSymLink(), situation == "link");
        if (situation == "link")
            QCOMPARE(QDir(dir.filePath("real")).entryList(QDir::Files | QDir::Hidden), QStringList{"p.txt"});
        return;
    }
    QString reported;
    try {
        writeTextLines(path, lines, sync);
    } catch (const Failure &failure) {
        reported = failure.description();
    }
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(reported, description);
    if (situation == "sync fails") {
        QCOMPARE(readFile(path), written);
        QCOMPARE(syncedFolders, QStringList{fileFolder});
        QCOMPARE(heldWhenSynced, QList<QByteArray>{written});
        return;
    }
    QVERIFY(syncedFolders.isEmpty());
    if (situation == "pipe") {
        // Still the pipe, and nothing waited on it.
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        QVERIFY(!pipe->released());
    }
    // The old file stays whole and no temporary file is left beside it.
    if (situation != "folder" && situation != "gone" && situation != "pipe")
        QCOMPARE(readFile(path), QByteArray("old\r\n"));
    const QDir folder = QFileInfo(path).dir();
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("p.txt")),
             QFileInfo(path).isFile() ? QStringList{"p.txt"} : QStringList{});
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
