// The catalogue query URL and the transfer of an answer into the answer file.

#include "main_window/catalogue_query.h"
#include "support/catalogue_fixture.h"
#include "support/test_support.h"

#include <httplib.h>

#include <QtTest>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

using namespace testing;

namespace {
// Bytes 0..255 in a scrambled order, so that line breaks, NULs and high bytes
// all travel through the transfer.
QByteArray bodyOf(int size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        body[i] = char((i * 31 + 7) & 0xff);
    return body;
}

// An HTTP server on 127.0.0.1 whose answers the tests choose:
//   /body?n=N   N bytes of bodyOf(N)
//   /missing    status 404 with a page
//   /stall      a few bytes, then nothing until the server is destroyed
class RawServer {
public:
    RawServer()
    {
        server_.Get("/body", [this](const httplib::Request &request, httplib::Response &response) {
            keepHeaders(request);
            const QByteArray body = bodyOf(std::stoi(request.get_param_value("n")));
            response.set_content(body.toStdString(), "application/octet-stream");
        });
        server_.Get("/missing", [](const httplib::Request &, httplib::Response &response) {
            response.status = 404;
            response.set_content("<html>no such page</html>", "text/html");
        });
        server_.Get("/stall", [this](const httplib::Request &, httplib::Response &response) {
            response.set_chunked_content_provider("text/plain", [this](size_t offset, httplib::DataSink &sink) {
                if (offset == 0)
                    return sink.write("partial", 7);
                for (int i = 0; i < 1000 && !released_; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                sink.done();
                return true;
            });
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0)
            qFatal("cannot listen on 127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~RawServer()
    {
        released_ = true;
        server_.stop();
        thread_.join();
    }
    QString url(const QString &target) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(target); }
    httplib::Headers lastHeaders() const
    {
        const std::lock_guard lock(mutex_);
        return headers_;
    }

private:
    void keepHeaders(const httplib::Request &request)
    {
        const std::lock_guard lock(mutex_);
        headers_ = request.headers;
    }
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<bool> released_ = false;
    mutable std::mutex mutex_;
    httplib::Headers headers_;
};
} // namespace

class TestCatalogueQuery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { bypassProxyForLoopback(); }
    void url_data();
    void url();
    void bodyStoredExactly_data();
    void bodyStoredExactly();
    void errorPageIsStored();
    void shorterAnswerLeavesNoTrace();
    void failedTransferGivesEmptyFile_data();
    void failedTransferGivesEmptyFile();
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
    DownloadToFile(server.url(QStringLiteral("/body?n=%1").arg(size)), path);
    QVERIFY(QFileInfo(path).isFile());
    const QByteArray stored = readFile(path);
    QCOMPARE(stored.size(), qsizetype(size));
    QVERIFY(stored == bodyOf(size));
}

void TestCatalogueQuery::errorPageIsStored()
{
    // No status is examined: the service's error page is the answer.
    RawServer server;
    QTemporaryDir dir;
    DownloadToFile(server.url("/missing"), dir.filePath("data.txt"));
    QCOMPARE(readFile(dir.filePath("data.txt")), QByteArray("<html>no such page</html>"));
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
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("useServer");
    QTest::newRow("nothing listens") << "http://" + unusedLocalHost() + "/body?n=10" << false;
    QTest::newRow("stalls after a few bytes") << "/stall" << true;
    QTest::newRow("blank in the host") << "http://127.0.0 .1:1/x" << false;
    QTest::newRow("not http") << "file:///etc/passwd" << false;
    QTest::newRow("empty host") << "http:///skycat" << false;
}

void TestCatalogueQuery::failedTransferGivesEmptyFile()
{
    QFETCH(QString, url);
    QFETCH(bool, useServer);
    RawServer server;
    if (useServer)
        url = server.url(url);
    QTemporaryDir dir;
    const QString path = dir.filePath("data.txt");
    writeFile(path, "an older answer");
    // Short limits stand in for the minute the program waits.
    DownloadToFile(url, path, TransferLimits{2, 1});
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(readFile(path), QByteArray());
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
