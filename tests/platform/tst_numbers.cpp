// Number readings and writings under a point locale and a comma locale.

#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/text_file.h"
#include "support/test_support.h"

#include <QtTest>

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
    void latin1Fallback();
    void readPastEnd();
    void writeReplacesOnlyWhenComplete();
};

void TestNumbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "1745.2" << 1745.2;
    QTest::newRow("leading blanks") << "   12.5abc" << 12.5;
    QTest::newRow("comma stops") << "2599,43" << 2599.0;
    QTest::newRow("negative") << "-3.5" << -3.5;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("exponent") << "1.5e3x" << 1500.0;
    QTest::newRow("bare exponent letter") << "2e" << 2.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("leading point") << ".25" << 0.25;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("underflow") << "-1e-400" << 0.0;
    QTest::newRow("blanks inside the digits") << " - 1 2 . 5 e 1x" << -125.0;
}

void TestNumbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    for (const QLocale &locale : {pointLocale(), commaLocale()}) {
        ScopedLocale scoped(locale);
        QCOMPARE(Val(text), expected);
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
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("failure"); // empty: converted
    QTest::addColumn<double>("expected");
    const QString mismatch = QStringLiteral("Incompatibilité de type");
    QTest::newRow("point in point locale") << false << "1200.5" << "" << 1200.5;
    QTest::newRow("comma in comma locale") << true << "1200,5" << "" << 1200.5;
    QTest::newRow("point in comma locale") << true << "1200.5" << mismatch << 0.0;
    QTest::newRow("letters") << false << "abc" << mismatch << 0.0;
    QTest::newRow("empty") << false << "" << mismatch << 0.0;
    QTest::newRow("blanks around") << false << " 7 " << "" << 7.0;
    QTest::newRow("negative comma") << true << "-0,25" << "" << -0.25;
    QTest::newRow("beyond a double") << true << "-1e400" << "Dépassement de capacité" << 0.0;
    QTest::newRow("not a number") << false << "nan" << mismatch << 0.0;
}

void TestNumbers::localeConversion()
{
    QFETCH(bool, comma);
    QFETCH(QString, text);
    QFETCH(QString, failure);
    QFETCH(double, expected);
    ScopedLocale scoped(comma ? commaLocale() : pointLocale());
    if (failure.isEmpty()) {
        QCOMPARE(CDbl(text), expected);
    } else {
        try {
            CDbl(text);
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
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList{"a", "b"};
    QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("utf8") << QByteArray("d\xc3\xa9" "cideur\r\n") << QStringList{QStringLiteral("décideur")};
}

void TestNumbers::textLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(splitTextLines(decodeText(bytes)), lines);
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

void TestNumbers::writeReplacesOnlyWhenComplete()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    writeTextLines(path, {QStringLiteral("é"), QString()});
    QCOMPARE(readFile(path), QByteArray("\xc3\xa9\r\n\r\n"));
    // A folder that cannot be written: the failure is reported, nothing is lost.
    QVERIFY(QDir(dir.path()).mkdir("ro"));
    const QString roPath = dir.filePath("ro/p.txt");
    writeFile(roPath, "old\r\n");
    QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(dir.filePath("ro")).isWritable())
        QSKIP("running with rights that ignore folder permissions");
    QVERIFY_THROWS_EXCEPTION(Failure, writeTextLines(roPath, {QStringLiteral("new")}));
    QCOMPARE(readFile(roPath), QByteArray("old\r\n"));
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
