// The optical configuration file: reading every shape of count line and
// record, writing the exact bytes, and never losing the saved library.

#include "dialogs/optical_config_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace testing;

class TestOpticalConfigFile : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void writeExactBytes();
    void writeKeepsTextsAsTyped();
    void roundTrip_data();
    void roundTrip();
    void failedSaveKeepsOldFile();
};

Q_DECLARE_METATYPE(std::optional<FailureCode>)

namespace {
std::vector<OpticalConfig> entriesFrom(const QStringList &flat)
{
    std::vector<OpticalConfig> entries;
    for (qsizetype i = 0; i + 2 < flat.size(); i += 3)
        entries.push_back({flat[i], flat[i + 1], flat[i + 2]});
    return entries;
}

QByteArray records(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "C" + QByteArray::number(i) + "\r\n" + QByteArray::number(i) + "\r\n" + QByteArray::number(-i) + "\r\n";
    return bytes;
}
} // namespace

void TestOpticalConfigFile::read_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QByteArray>("file"); // empty: no file at all
    QTest::addColumn<int>("entries");
    QTest::addColumn<std::optional<FailureCode>>("failure");
    const std::optional<FailureCode> none;
    QTest::newRow("missing file") << false << QByteArray() << 0 << std::optional(FailureCode::FileNotFound);
    QTest::newRow("empty file") << false << QByteArray("", 0) << 0 << std::optional(FailureCode::ReadPastEnd);
    QTest::newRow("count with blanks") << false << " 2 \r\n" + records(2) << 2 << none;
    QTest::newRow("count without blanks") << false << "2\r\n" + records(2) << 2 << none;
    QTest::newRow("count in comma locale") << true << " 2 \r\n" + records(2) << 2 << none;
    QTest::newRow("count rounds half to even") << true << "2,5\r\n" + records(3) << 2 << none;
    QTest::newRow("zero") << false << QByteArray(" 0 \r\n") << 0 << none;
    QTest::newRow("negative") << false << "-1 \r\n" + records(1) << 0 << none;
    QTest::newRow("not a number") << false << "deux\r\n" + records(2) << 0 << std::optional(FailureCode::TypeMismatch);
    QTest::newRow("beyond 16 bits") << false << "40000\r\n" + records(1) << 0 << std::optional(FailureCode::Overflow);
    QTest::newRow("short file") << false << " 3 \r\n" + records(2) + "C3\r\n" << 2
                                << std::optional(FailureCode::ReadPastEnd);
    QTest::newRow("fifteen") << false << " 15 \r\n" + records(15) << 15 << none;
    QTest::newRow("sixteen") << false << " 16 \r\n" + records(16) << 15
                             << std::optional(FailureCode::SubscriptOutOfRange);
    QTest::newRow("lf line ends") << false << QByteArray("1\nA\n1,5\n2\n") << 1 << none;
}

void TestOpticalConfigFile::read()
{
    QFETCH(bool, comma);
    QFETCH(QByteArray, file);
    QFETCH(int, entries);
    QFETCH(std::optional<FailureCode>, failure);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    QTemporaryDir folder;
    const QString path = opticalConfigPath(folder.path());
    QCOMPARE(path, folder.path() + QStringLiteral("/config.cfg"));
    if (!file.isNull())
        writeFile(path, file);

    const OpticalConfigRead read = readOpticalConfigFile(path);
    QCOMPARE(int(read.entries.size()), entries);
    QCOMPARE(read.failure.has_value(), failure.has_value());
    if (failure) {
        QCOMPARE(read.failure->code(), *failure);
        // The box that reports it names the file.
        QCOMPARE(read.failureText(), path + QStringLiteral(": ") + read.failure->description());
    }
    for (int i = 0; i < entries && file.contains("C1"); ++i)
        QCOMPARE(read.entries[size_t(i)],
                 (OpticalConfig{QStringLiteral("C%1").arg(i + 1), QString::number(i + 1), QString::number(-(i + 1))}));
    // The file is closed on every path: it can be removed at once.
    if (!file.isNull())
        QVERIFY(QFile::remove(path));
}

void TestOpticalConfigFile::writeExactBytes()
{
    QTemporaryDir folder;
    const QString path = opticalConfigPath(folder.path());
    writeOpticalConfigFile(path, entriesFrom({"C11", "2599.43", "2709.96", "", "", "", "Lunette", "1", "2"}));
    QCOMPARE(readFile(path), QByteArray(" 3 \r\nC11\r\n2599.43\r\n2709.96\r\n\r\n\r\n\r\nLunette\r\n1\r\n2\r\n"));
    QCOMPARE(readFile(path).count("\r\n"), 10);

    writeOpticalConfigFile(path, {});
    QCOMPARE(readFile(path), QByteArray(" 0 \r\n"));
}

void TestOpticalConfigFile::writeKeepsTextsAsTyped()
{
    QTemporaryDir folder;
    const QString path = opticalConfigPath(folder.path());
    // Commas stay; a line break pasted into a name must not shift the entries after it.
    writeOpticalConfigFile(path, entriesFrom({"T 200/1000\nf/5", "2599,43", " 12 ", "Télé", "0", "0"}));
    QCOMPARE(readFile(path), QByteArray(" 2 \r\nT 200/1000 f/5\r\n2599,43\r\n 12 \r\nT\xc3\xa9l\xc3\xa9\r\n0\r\n0\r\n"));
    const OpticalConfigRead read = readOpticalConfigFile(path);
    QVERIFY(!read.failure);
    QCOMPARE(int(read.entries.size()), 2);
    QCOMPARE(read.entries[1].name, QStringLiteral("Télé"));
}

void TestOpticalConfigFile::roundTrip_data()
{
    QTest::addColumn<bool>("comma");
    QTest::newRow("point locale") << false;
    QTest::newRow("comma locale") << true;
}

void TestOpticalConfigFile::roundTrip()
{
    QFETCH(bool, comma);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    QTemporaryDir folder;
    const QString path = opticalConfigPath(folder.path());
    std::vector<OpticalConfig> entries;
    for (int i = 0; i < kMaxOpticalConfigs; ++i)
        entries.push_back({QStringLiteral("Config#"), QString::number(1000 + i), QStringLiteral("9,5")});
    writeOpticalConfigFile(path, entries);
    const OpticalConfigRead read = readOpticalConfigFile(path);
    QVERIFY(!read.failure);
    QCOMPARE(read.entries, entries);
}

void TestOpticalConfigFile::failedSaveKeepsOldFile()
{
    QTemporaryDir folder;
    const QString path = opticalConfigPath(folder.path());
    writeOpticalConfigFile(path, entriesFrom({"Old", "1", "2"}));
    const QByteArray before = readFile(path);

    // The save is refused part way (no folder for the new file, a folder in
    // the file's place): a failure with a description, and nothing else touched.
    const QStringList unwritable{folder.path() + QStringLiteral("/gone/config.cfg"), folder.path()};
    for (const QString &target : unwritable) {
        bool failed = false;
        try {
            writeOpticalConfigFile(target, entriesFrom({"New", "3", "4"}));
        } catch (const Failure &failure) {
            failed = !failure.description().isEmpty();
        }
        QVERIFY2(failed, qPrintable(target));
    }
    QCOMPARE(readFile(path), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.cfg"});
}

QTEST_APPLESS_MAIN(TestOpticalConfigFile)
#include "tst_optical_config_file.moc"
