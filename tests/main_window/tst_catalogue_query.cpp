// The catalogue query URL and the transfer of an answer into the answer file.

#include "main_window/catalogue_query.h"
#include "main_window/form1.h"
#include "support/catalogue_fixture.h"
#include "support/raw_server.h"
#include "support/test_support.h"

#include <QtTest>
#include <map>
#include <thread>

using namespace testing;

class TestCatalogueQuery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { bypassProxyForLoopback(); }
    void url_data();
    void url();
    void bodyStoredExactly_data();
    void bodyStoredExactly();
    void shorterAnswerLeavesNoTrace();
    void failedTransferGivesEmptyFile_data();
    void failedTransferGivesEmptyFile();
    void answerThatCannotBeWrittenLeavesNoOlderOne();
    void requestHeaders();
    void queryDeletesTheOldAnswer();
};

void TestCatalogueQuery::url_data()
{
    QTest::addColumn<QStringList>("ra");   // h, m, s
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QStringList>("dec");  // d, m, s
    QTest::addColumn<QString>("epoch");
    QTest::addColumn<QString>("radius");
    QTest::addColumn<QString>("mag");
    QTest::addColumn<QString>("target");

    const QStringList ra{"1", "34", "50"}, dec{"22", "01", "11"};
    const QString start = "/skycat/servers/usnoa_res?catalogue=usnoa&epoch=";
    QTest::newRow("usual job") << ra << "+" << dec << "2000.0" << "20" << "13"
                               << start + "2000.0&chart=0&ra=1+34+50&dec=22+01+11&object=&radmax=20"
                                          "&magbright=0&magfaint=13.&format=2&sort=mr&nout=5000";
    QTest::newRow("southern field") << ra << "-" << dec << "2000.0" << "20" << "13"
                                    << start + "2000.0&chart=0&ra=1+34+50&dec=-22+01+11&object=&radmax=20"
                                               "&magbright=0&magfaint=13.&format=2&sort=mr&nout=5000";
    QTest::newRow("empty seconds") << QStringList{"1", "34", ""} << "+" << dec << "2000.0" << "20" << "13"
                                   << start + "2000.0&chart=0&ra=1+34+&dec=22+01+11&object=&radmax=20"
                                              "&magbright=0&magfaint=13.&format=2&sort=mr&nout=5000";
    QTest::newRow("decimal magnitude gets a second point")
        << ra << "+" << dec << "2000.0" << "15" << "13.5"
        << start + "2000.0&chart=0&ra=1+34+50&dec=22+01+11&object=&radmax=15"
                   "&magbright=0&magfaint=13.5.&format=2&sort=mr&nout=5000";
    // A French user types the decimal comma; the service reads only a point.
    // The position's texts keep theirs, as typed.
    QTest::newRow("comma in the magnitude and the radius")
        << ra << "+" << QStringList{"22", "01", "11,5"} << "2000.0" << "20,5" << "13,5"
        << start + "2000.0&chart=0&ra=1+34+50&dec=22+01+11,5&object=&radmax=20.5"
                   "&magbright=0&magfaint=13.5.&format=2&sort=mr&nout=5000";
    QTest::newRow("all empty") << QStringList{"", "", ""} << "+" << QStringList{"", "", ""} << "" << "" << ""
                               << start + "&chart=0&ra=++&dec=++&object=&radmax="
                                          "&magbright=0&magfaint=.&format=2&sort=mr&nout=5000";
    QTest::newRow("texts go in as typed") << QStringList{" 1", "3&4", "5 0"} << "?" << dec << "2000,0" << "2 0" << "a"
                                          << start + "2000,0&chart=0&ra= 1+3&4+5 0&dec=22+01+11&object=&radmax=2 0"
                                                     "&magbright=0&magfaint=a.&format=2&sort=mr&nout=5000";
}

void TestCatalogueQuery::url()
{
    QFETCH(QStringList, ra);
    QFETCH(QString, sign);
    QFETCH(QStringList, dec);
    QFETCH(QString, epoch);
    QFETCH(QString, radius);
    QFETCH(QString, mag);
    QFETCH(QString, target);
    const QString url = catalogueUrl(QStringLiteral("sky.example:8765"), epoch, raQueryText(ra[0], ra[1], ra[2]),
                                     decQueryText(sign, dec[0], dec[1], dec[2]), radius, mag);
    QCOMPARE(url, QStringLiteral("http://sky.example:8765") + target);
}

void TestCatalogueQuery::bodyStoredExactly_data()
{
    QTest::addColumn<int>("size");
    for (int size : {0, 1, 2047, 2048, 2049, 4096, 100000, 3 * 1024 * 1024})
        QTest::addRow("%d bytes", size) << size;
}

void TestCatalogueQuery::bodyStoredExactly()
{
    QFETCH(int, size);
    RawServer server;
    QTemporaryDir dir;
    const QString path = dir.filePath("data.txt");
    QVERIFY(DownloadToFile(server.url(QStringLiteral("/body?n=%1").arg(size)), path).ok());
    QVERIFY(QFileInfo(path).isFile());
    const QByteArray stored = readFile(path);
    QCOMPARE(stored.size(), qsizetype(size));
    QVERIFY(stored == bodyOf(size));
}

void TestCatalogueQuery::shorterAnswerLeavesNoTrace()
{
    RawServer server;
    QTemporaryDir dir;
    const QString path = dir.filePath("data.txt");
    DownloadToFile(server.url("/body?n=100000"), path);
    DownloadToFile(server.url("/body?n=10"), path);
    QCOMPARE(readFile(path), bodyOf(10));
}

void TestCatalogueQuery::failedTransferGivesEmptyFile_data()
{
    // A URL starting with "/" goes to the test server; "reset" to its
    // listener that resets connections; "raw:" to a listener that answers
    // the bytes that follow, outside HTTP.
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("failure");
    const QString closed = unusedLocalHost();
    QTest::newRow("nothing listens") << "http://" + closed + "/body?n=10" << false
                                     << "aucun serveur ne répond (" + closed + ")";
    QTest::newRow("connection reset") << "reset" << false << "réponse interrompue";
    QTest::newRow("stalls after a few bytes") << "/stall" << false << "pas de réponse dans le délai";
    QTest::newRow("drips beyond the overall limit") << "/drip" << false << "pas de réponse dans le délai";
    QTest::newRow("body cut short") << "/cut" << false << "réponse interrompue";
    QTest::newRow("redirect loop") << "/loop" << false << "trop de redirections";
    QTest::newRow("error page 404") << "/missing" << false << "erreur 404 du service";
    QTest::newRow("error page 500") << "/broken" << false << "erreur 500 du service";
    QTest::newRow("endless body") << "/endless" << false << "réponse trop longue";
    QTest::newRow("announced body beyond the size limit") << "/body?n=300000" << false << "réponse trop longue";
    QTest::newRow("cancelled") << "/stall" << true << "annulé";
    QTest::newRow("another protocol on the port") << "raw:SSH-2.0-OpenSSH_9.2p1\r\n" << false
                                                  << "réponse incorrecte du service";
    QTest::newRow("binary garbage") << "raw:" + QString::fromLatin1(bodyOf(256)) << false
                                    << "réponse incorrecte du service";
    QTest::newRow("header line without a colon") << "raw:HTTP/1.1 200 OK\r\nno colon\r\n\r\nU" << false
                                                 << "réponse incorrecte du service";
    QTest::newRow("blank in the host") << "http://127.0.0 .1:1/x" << false << "adresse refusée (http://127.0.0 .1:1/x)";
    QTest::newRow("not http") << "file:///etc/passwd" << false << "adresse refusée (file:///etc/passwd)";
    QTest::newRow("empty host") << "http:///skycat" << false << "aucun serveur ne répond (http:///skycat)";
}

void TestCatalogueQuery::failedTransferGivesEmptyFile()
{
    QFETCH(QString, url);
    QFETCH(bool, cancel);
    QFETCH(QString, failure);
    RawServer server;
    if (url == QStringLiteral("reset"))
        url = "http://" + server.resetHost() + "/body?n=10";
    else if (url.startsWith(u'/'))
        url = server.url(url);
    else if (url.startsWith(QStringLiteral("raw:")))
        url = "http://" + server.rawHost(url.mid(4).toLatin1()) + "/skycat/servers/usnoa_res";
    QTemporaryDir dir;
    const QString path = dir.filePath("data.txt");
    writeFile(path, "an older answer");
    // Short limits stand in for the minutes the program waits; a cancelled
    // transfer gets the long ones, so only the cancel can end it early.
    const TransferLimits limits = cancel ? TransferLimits{} : TransferLimits{2, 1, 2, 100000};
    TransferWait wait;
    if (cancel)
        wait = [](const std::function<bool()> &finished, const std::function<void()> &stop) {
            stop();
            while (!finished())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        };
    const DownloadOutcome outcome = DownloadToFile(url, path, limits, wait);
    QCOMPARE(Form1::downloadFailureText(outcome, path), failure);
    QVERIFY(outcome.written);
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(readFile(path), QByteArray());
}

void TestCatalogueQuery::answerThatCannotBeWrittenLeavesNoOlderOne()
{
    // The older answer was not deleted before: on a full disk the new one
    // cannot replace it, and it must not pass for the new one.
    SmallDisk disk;
    SKIP_WITHOUT_SMALL_DISK(disk);
    RawServer server;
    const QString path = disk.path(QStringLiteral("data.txt"));
    writeFile(path, QByteArray(3000, 'U'));
    disk.fill();
    const DownloadOutcome outcome = DownloadToFile(server.url("/body?n=10000"), path);
    QCOMPARE(outcome.code, DownloadCode::NotWritten);
    QCOMPARE(outcome.detail, QStringLiteral("Disque plein"));
    QVERIFY(!outcome.written);
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestCatalogueQuery::requestHeaders()
{
    RawServer server;
    QTemporaryDir dir;
    DownloadToFile(server.url("/body?n=5"), dir.filePath("data.txt"));
    const httplib::Headers headers = server.lastHeaders();
    std::map<std::string, std::string> seen(headers.begin(), headers.end());
    QCOMPARE(QString::fromStdString(seen["User-Agent"]), QStringLiteral("VB OpenUrl"));
    // Nothing beyond what every GET carries.
    for (const auto &[name, value] : headers)
        QVERIFY2(name == "Host" || name == "User-Agent" || name == "Accept" || name == "REMOTE_ADDR" ||
                     name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT",
                 name.c_str());
}

void TestCatalogueQuery::queryDeletesTheOldAnswer()
{
    // Even when the new answer cannot be had, the old one is gone.
    QTemporaryDir dir;
    const QString path = dir.filePath("data.txt");
    writeFile(path, QByteArray(5000, 'U'));
    QueryCatalogue(unusedLocalHost(), path, "2000.0", "1+34+50", "22+01+11", "20", "13");
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).size(), 0);
}

QTEST_GUILESS_MAIN(TestCatalogueQuery)
#include "tst_catalogue_query.moc"
