// The catalogue service: star list, query keys, cone selection, records, and
// its HTTP face.

#include "catalogue_service.h"
#include "astrometry/catalogue_parser.h"
#include "support/test_support.h"
#include "tools/sample_sky/sample_sky.h"

#include <httplib.h>

#include <QScopeGuard>
#include <QtTest>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace catalogue;

class TestCatalogueService : public QObject {
    Q_OBJECT
private slots:
    void starList();
    void starListErrors_data();
    void starListErrors();
    void query_data();
    void query();
    void malformedQuery_data();
    void malformedQuery();
    void angularDistance_data();
    void angularDistance();
    void selection();
    void recordColumns_data();
    void recordColumns();
    void emptyAnswerHasNoRecords();
    void overHttp();
    void idleConnectionsDoNotHoldTheService();
    void burstOfConnectionsAllAnswered();
    void unreadableRequestLine_data();
    void unreadableRequestLine();
    void bodyRefusedUnread_data();
    void bodyRefusedUnread();
    void drippingHeadIsCut();
    void keptTargetsAreBounded();
    void logEscapesControlBytes_data();
    void logEscapesControlBytes();
    void sampleSkyStarList();
};

namespace {
const QByteArray kProgramQuery = "catalogue=usnoa&epoch=2000.0&chart=0&ra=1+34+50&dec=22+01+11&object=&radmax=20"
                                 "&magbright=0&magfaint=13.&format=2&sort=mr&nout=5000";

// A TCP connection to the service that speaks only when told to.
class RawConnection {
public:
    explicit RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(quint16(port));
        connected_ = fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    }
    ~RawConnection()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    bool connected() const { return connected_; }
    bool send(const QByteArray &bytes) const
    {
        return ::send(fd_, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
    }
    // What arrives until the service ends the connection, or until
    // `received` holds `stop` when one is given; false when neither came
    // after `boundMs` (a guard: the test then fails instead of waiting for
    // ever).
    bool read(QByteArray &received, qint64 boundMs, const QByteArray &stop = {}) const
    {
        QDeadlineTimer deadline(boundMs);
        while (stop.isEmpty() || !received.contains(stop)) {
            pollfd ready{fd_, POLLIN, 0};
            if (::poll(&ready, 1, int(deadline.remainingTime())) <= 0)
                return false;
            char piece[4096];
            const ssize_t n = ::recv(fd_, piece, sizeof(piece), 0);
            if (n <= 0)
                return true; // an end, or a reset
            received.append(piece, n);
        }
        return true;
    }

    int fd() const { return fd_; }

private:
    int fd_;
    bool connected_ = false;
};

QByteArray programRequest()
{
    return "GET /skycat/servers/usnoa_res?" + kProgramQuery + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

QByteArray withKey(const QByteArray &key, const QByteArray &value)
{
    QByteArray query = kProgramQuery;
    const qsizetype start = query.indexOf("&" + key + "=") + key.size() + 2;
    qsizetype end = query.indexOf('&', start);
    if (end < 0)
        end = query.size();
    return query.replace(start, end - start, value);
}
} // namespace

void TestCatalogueService::starList()
{
    const std::vector<Star> stars = parseStarList(QStringLiteral("# identifier ra dec mag\r\n"
                                                                 "\n"
                                                                 "U1200-00000001 23.70833 22.01972 11.2\r\n"
                                                                 "  U2\t0\t-90   -1.5  \n"
                                                                 "U3 359.99999 90 99.9"));
    QCOMPARE(stars.size(), size_t(3));
    QCOMPARE(stars[0].id, QStringLiteral("U1200-00000001"));
    QCOMPARE(stars[0].raDeg, 23.70833);
    QCOMPARE(stars[0].decDeg, 22.01972);
    QCOMPARE(stars[0].magnitude, 11.2);
    QCOMPARE(stars[1].id, QStringLiteral("U2"));
    QCOMPARE(stars[1].decDeg, -90.0);
    QCOMPARE(stars[1].magnitude, -1.5);
    QCOMPARE(stars[2].raDeg, 359.99999);
}

void TestCatalogueService::starListErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("three fields") << "U1 1 2 3\nU2 1 2\n" << "line 2: expected";
    QTest::newRow("five fields") << "U1 1 2 3 4" << "line 1: expected";
    QTest::newRow("identifier without U") << "# c\nA1 1 2 3" << "line 2: the identifier";
    QTest::newRow("identifier too long") << "U1234567890ABCD 1 2 3" << "line 1: the identifier";
    QTest::newRow("comma decimal") << "U1 1,5 2 3" << "line 1: right ascension";
    QTest::newRow("ra 360") << "U1 360 2 3" << "line 1: right ascension";
    QTest::newRow("dec beyond the pole") << "U1 1 90.5 3" << "line 1: declination";
    QTest::newRow("magnitude too wide") << "U1 1 2 100" << "line 1: magnitude";
    QTest::newRow("magnitude not a number") << "U1 1 2 bright" << "line 1: magnitude";
}

void TestCatalogueService::starListErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        parseStarList(text);
        QFAIL("the list was accepted");
    } catch (const StarListError &e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(message), e.what());
    }
}

void TestCatalogueService::query_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<double>("raDeg");
    QTest::addColumn<double>("decDeg");
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("magFaint");
    QTest::addColumn<int>("maxStars");

    const double ra = (1 + 34 / 60.0 + 50 / 3600.0) * 15, dec = 22 + 1 / 60.0 + 11 / 3600.0;
    QTest::newRow("as the program sends it") << kProgramQuery << ra << dec << 20.0 << 13.0 << 5000;
    QTest::newRow("negative declination") << withKey("dec", "-22+01+11") << ra << -dec << 20.0 << 13.0 << 5000;
    QTest::newRow("negative below one degree") << withKey("dec", "-0+30+00") << ra << -0.5 << 20.0 << 13.0 << 5000;
    QTest::newRow("escaped plus sign") << withKey("dec", "%2B22+01+11") << ra << dec << 20.0 << 13.0 << 5000;
    QTest::newRow("empty seconds") << withKey("ra", "1+34+") << (1 + 34 / 60.0) * 15 << dec << 20.0 << 13.0 << 5000;
    QTest::newRow("empty degrees") << withKey("dec", "-+30+0") << ra << -0.5 << 20.0 << 13.0 << 5000;
    QTest::newRow("empty hours") << withKey("ra", "+0+2") << 2 / 3600.0 * 15 << dec << 20.0 << 13.0 << 5000;
    QTest::newRow("hours only") << withKey("ra", "2") << 30.0 << dec << 20.0 << 13.0 << 5000;
    QTest::newRow("decimal magnitude, two points") << withKey("magfaint", "13.5.") << ra << dec << 20.0 << 13.5 << 5000;
    QTest::newRow("nout") << withKey("nout", "7") << ra << dec << 20.0 << 13.0 << 7;
    QTest::newRow("only the needed keys") << QByteArray("ra=0+0+0&dec=0+0+0&radmax=5&magfaint=10.") << 0.0 << 0.0
                                          << 5.0 << 10.0 << 5000;
}

void TestCatalogueService::query()
{
    QFETCH(QByteArray, query);
    QFETCH(double, raDeg);
    QFETCH(double, decDeg);
    QFETCH(double, radius);
    QFETCH(double, magFaint);
    QFETCH(int, maxStars);
    QString why;
    const std::optional<ConeQuery> q = parseConeQuery(query, &why);
    QVERIFY2(q, qPrintable(why));
    QVERIFY(std::fabs(q->raDeg - raDeg) < 1e-9);
    QVERIFY(std::fabs(q->decDeg - decDeg) < 1e-9);
    QCOMPARE(q->radiusArcmin, radius);
    QCOMPARE(q->magFaint, magFaint);
    QCOMPARE(q->magBright, 0.0);
    QCOMPARE(q->maxStars, maxStars);
}

void TestCatalogueService::malformedQuery_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no ra") << withKey("ra", "").replace("&ra=", "&xx=");
    QTest::newRow("ra of letters") << withKey("ra", "a+b+c");
    QTest::newRow("ra of four parts") << withKey("ra", "1+2+3+4");
    QTest::newRow("ra empty") << withKey("ra", "");
    QTest::newRow("ra 24 hours") << withKey("ra", "24+0+0");
    QTest::newRow("sign inside") << withKey("dec", "22+-01+11");
    QTest::newRow("dec beyond the pole") << withKey("dec", "91+0+0");
    QTest::newRow("magnitude of letters") << withKey("magfaint", "abc.");
    QTest::newRow("negative radius") << withKey("radmax", "-5");
    QTest::newRow("other catalogue") << withKey("catalogue", "gsc");
    QTest::newRow("other sort") << withKey("sort", "ra");
    QTest::newRow("nout not a number") << withKey("nout", "many");
}

void TestCatalogueService::malformedQuery()
{
    QFETCH(QByteArray, query);
    QString why;
    QVERIFY(!parseConeQuery(query, &why));
    QVERIFY(!why.isEmpty());
    const Answer answer = answerTarget({{"U1", 23.7, 22.0, 10}}, "/skycat/servers/usnoa_res?" + query);
    QCOMPARE(answer.status, 400);
    StarTable table;
    parseCatalogueAnswer(answer.body, 1, 1, table);
    QCOMPARE(table.starTotal, 0);
}

void TestCatalogueService::angularDistance_data()
{
    QTest::addColumn<double>("ra1");
    QTest::addColumn<double>("dec1");
    QTest::addColumn<double>("ra2");
    QTest::addColumn<double>("dec2");
    QTest::addColumn<double>("expected");
    QTest::newRow("along the equator") << 10.0 << 0.0 << 11.0 << 0.0 << 1.0;
    QTest::newRow("along a meridian") << 10.0 << 20.0 << 10.0 << 21.5 << 1.5;
    QTest::newRow("across RA 0") << 359.5 << 0.0 << 0.5 << 0.0 << 1.0;
    QTest::newRow("RA shrinks at 60 deg") << 10.0 << 60.0 << 12.0 << 60.0 << 0.99996192;
    QTest::newRow("across the pole") << 0.0 << 89.0 << 180.0 << 89.0 << 2.0;
    QTest::newRow("antipodes") << 0.0 << 0.0 << 180.0 << 0.0 << 180.0;
}

void TestCatalogueService::angularDistance()
{
    QFETCH(double, ra1);
    QFETCH(double, dec1);
    QFETCH(double, ra2);
    QFETCH(double, dec2);
    QFETCH(double, expected);
    const double d = angularDistanceDeg(ra1, dec1, ra2, dec2);
    QVERIFY2(std::fabs(d - expected) < 1e-6, qPrintable(QString::number(d, 'g', 12)));
}

void TestCatalogueService::selection()
{
    // Centre RA 10, Dec 60; radius 30' (0.5 deg). At Dec 60 one degree of
    // RA is half a degree of sky, so RA 10.9 is inside but Dec 60.6 is not.
    const std::vector<Star> stars = {
        {"UA", 10.0, 60.0, 12.0},   {"UB", 10.9, 60.0, 11.0},  {"UC", 10.0, 60.6, 10.0},
        {"UD", 9.5, 60.2, 12.0},    {"UE", 10.0, 60.0, 13.01}, {"UF", 10.0, 59.7, 12.0},
        {"UG", 10.0, 60.0, -0.5},   {"UH", 10.0, 60.0, 13.0},
    };
    ConeQuery q;
    q.raDeg = 10;
    q.decDeg = 60;
    q.radiusArcmin = 30;
    q.magFaint = 13;
    auto ids = [](const std::vector<Star> &chosen) {
        QStringList list;
        for (const Star &s : chosen)
            list << s.id;
        return list;
    };
    // Brightest first; equal magnitudes keep the list's order; the bright
    // limit 0 leaves out a negative magnitude.
    QCOMPARE(ids(selectStars(stars, q)), (QStringList{"UB", "UA", "UD", "UF", "UH"}));
    q.maxStars = 2;
    QCOMPARE(ids(selectStars(stars, q)), (QStringList{"UB", "UA"}));
    q.maxStars = 0;
    QVERIFY(selectStars(stars, q).empty());
}

void TestCatalogueService::recordColumns_data()
{
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("mag");
    QTest::addColumn<QString>("raText");
    QTest::addColumn<QString>("decText");
    QTest::addColumn<QString>("magText");
    QTest::newRow("usual") << 23.708333 << 22.019722 << 11.24 << " 23.70833" << "+22.01972" << "11.2";
    QTest::newRow("south, small") << 1.5 << -2.25 << 9.0 << "  1.50000" << " -2.25000" << " 9.0";
    QTest::newRow("widest") << 359.999999 << -89.999999 << -9.9 << "360.00000" << "-90.00000" << "-9.9";
}

void TestCatalogueService::recordColumns()
{
    QFETCH(double, ra);
    QFETCH(double, dec);
    QFETCH(double, mag);
    QFETCH(QString, raText);
    QFETCH(QString, decText);
    QFETCH(QString, magText);
    const QByteArray r = formatRecord(4000, {"U0900-12345678", ra, dec, mag});
    QCOMPARE(r.size(), 66);
    QCOMPARE(r.left(5), QByteArray("4000 "));
    QCOMPARE(r.mid(5, 14), QByteArray("U0900-12345678"));
    QCOMPARE(QString::fromLatin1(r.mid(20, 9)), raText);
    QCOMPARE(QString::fromLatin1(r.mid(30, 9)), decText);
    QCOMPARE(QString::fromLatin1(r.mid(40, 4)), magText);
    QCOMPARE(r.at(65), '\n');
    QCOMPARE(r.mid(44, 21), QByteArray(21, ' '));
}

void TestCatalogueService::emptyAnswerHasNoRecords()
{
    // Neither the page's start nor its header may look like a record.
    StarTable table;
    parseCatalogueAnswer(answerPage({}), 1, 1, table);
    QCOMPARE(table.starTotal, 0);
    parseCatalogueAnswer(answerPage({{"U1", 1, 1, 1}}), 1, 1, table);
    QCOMPARE(table.starTotal, 1);
}

void TestCatalogueService::overHttp()
{
    Service service({{"U1", 23.70833, 22.01972, 11.2}});
    QVERIFY(service.start(0));
    QVERIFY(service.port() > 0);
    QList<QByteArray> logged;
    service.setRequestLogger([&](const QByteArray &target) { logged << target; });

    httplib::Client client("127.0.0.1", service.port());
    client.set_url_encode(false); // send the target as the program does
    const std::string good = "/skycat/servers/usnoa_res?" + kProgramQuery.toStdString();
    const httplib::Result ok = client.Get(good);
    QVERIFY(ok);
    QVERIFY2(ok->status == 200, ok->body.c_str());
    QVERIFY(QByteArray::fromStdString(ok->body).contains("</b>   1 U1 "));

    const httplib::Result bad = client.Get("/skycat/servers/usnoa_res?ra=x");
    QVERIFY(bad);
    QCOMPARE(bad->status, 400);
    const httplib::Result elsewhere = client.Get("/other");
    QVERIFY(elsewhere);
    QCOMPARE(elsewhere->status, 404);

    const QList<QByteArray> expected{QByteArray::fromStdString(good), "/skycat/servers/usnoa_res?ra=x", "/other"};
    QCOMPARE(service.receivedTargets(), expected);
    QCOMPARE(logged, expected);

    // A second service cannot take the same port.
    Service second(std::vector<Star>{});
    QVERIFY(!second.start(service.port()));
    service.stop();
    QVERIFY(!client.Get(good));
}

void TestCatalogueService::idleConnectionsDoNotHoldTheService()
{
    Service service({{"U1", 23.70833, 22.01972, 11.2}});
    QVERIFY(service.start(0));
    // Clients that connect and send nothing...
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int k = 0; k < 64; ++k) {
        idle.push_back(std::make_unique<RawConnection>(service.port()));
        QVERIFY(idle.back()->connected());
    }
    const QDeadlineTimer idleBound(4500);

    // ...do not keep a real query waiting. The client's own limit, well
    // under the time after which idle connections are dropped, only keeps
    // the test from waiting for them.
    httplib::Client client("127.0.0.1", service.port());
    client.set_url_encode(false);
    client.set_connection_timeout(1, 0);
    client.set_read_timeout(1, 0);
    const httplib::Result answer = client.Get("/skycat/servers/usnoa_res?" + kProgramQuery.toStdString());
    QVERIFY2(answer, "no answer while idle connections are open");
    QCOMPARE(answer->status, 200);
    QVERIFY(QByteArray::fromStdString(answer->body).contains("</b>   1 U1 "));

    // The service drops them after its 3 s, well before the library's own
    // 5 s (the bound counts from just after they connected).
    for (const std::unique_ptr<RawConnection> &connection : idle) {
        QByteArray received;
        QVERIFY2(connection->read(received, std::max<qint64>(0, idleBound.remainingTime())),
                 "an idle connection was kept beyond 4.5 s");
        QCOMPARE(received, QByteArray());
    }
}

void TestCatalogueService::burstOfConnectionsAllAnswered()
{
    // A few hundred connections opened at once all find room in the
    // listening queue: with the library's queue of 5 the system drops most
    // of them, to be tried again only a second or more later.
    Service service({{"U1", 23.70833, 22.01972, 11.2}});
    QVERIFY(service.start(0));
    constexpr int kBurst = 300;
    std::vector<int> sockets;
    auto closeAll = qScopeGuard([&] {
        for (const int fd : sockets)
            ::close(fd);
    });
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(service.port()));
    for (int k = 0; k < kBurst; ++k) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        QVERIFY(fd >= 0);
        sockets.push_back(fd);
        const int rc = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address));
        QVERIFY(rc == 0 || errno == EINPROGRESS);
    }
    // Every connection completes well within the system's first retry.
    QDeadlineTimer connectBound(700);
    for (const int fd : sockets) {
        pollfd ready{fd, POLLOUT, 0};
        QVERIFY2(::poll(&ready, 1, int(std::max<qint64>(0, connectBound.remainingTime()))) == 1,
                 "a connection of the burst was not accepted in time");
        int error = 0;
        socklen_t length = sizeof(error);
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        QCOMPARE(error, 0);
    }
    const QByteArray request = programRequest();
    for (const int fd : sockets)
        QCOMPARE(::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL), ssize_t(request.size()));
    QDeadlineTimer answerBound(20000);
    int answered = 0;
    for (const int fd : sockets) {
        QByteArray received;
        while (!received.contains("</html>")) {
            pollfd ready{fd, POLLIN, 0};
            if (::poll(&ready, 1, int(std::max<qint64>(0, answerBound.remainingTime()))) <= 0)
                break;
            char piece[4096];
            const ssize_t n = ::recv(fd, piece, sizeof(piece), 0);
            if (n <= 0)
                break;
            received.append(piece, n);
        }
        answered += received.startsWith("HTTP/1.1 200 ") && received.contains("</b>   1 U1 ");
    }
    QCOMPARE(answered, kBurst);
}

void TestCatalogueService::unreadableRequestLine_data()
{
    QTest::addColumn<QByteArray>("requestLine");
    QTest::newRow("NUL in the target") << QByteArray("GET /skycat/servers/usnoa_res?ra=1") + '\0' + "+2 HTTP/1.1\r\n";
    QTest::newRow("blank in the target") << QByteArray("GET /skycat/servers/usnoa_res?ra=1 2 HTTP/1.1\r\n");
}

void TestCatalogueService::unreadableRequestLine()
{
    QFETCH(QByteArray, requestLine);
    QVERIFY(requestLine.endsWith("HTTP/1.1\r\n"));
    Service service({{"U1", 23.70833, 22.01972, 11.2}});
    QVERIFY(service.start(0));
    RawConnection connection(service.port());
    QVERIFY(connection.connected());
    QVERIFY(connection.send(requestLine + "Host: 127.0.0.1\r\n\r\n"));
    QByteArray received;
    QVERIFY2(connection.read(received, 30000, "\r\n\r\n"), "no answer");
    QVERIFY2(received.startsWith("HTTP/1.1 400 "), received.constData());
    // A good query sent after the refusal finds the connection closed.
    (void)connection.send("GET /skycat/servers/usnoa_res?" + kProgramQuery + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QVERIFY2(connection.read(received, 30000), "the connection was kept");
    QCOMPARE(received.count("HTTP/1.1 "), 1);
    QCOMPARE(service.receivedTargets(), QList<QByteArray>());
}

void TestCatalogueService::bodyRefusedUnread_data()
{
    // None of these bodies is ever sent: the refusal must come without them.
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("POST of 200 MB") << QByteArray("POST /skycat/servers/usnoa_res HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                  "Content-Length: 200000000\r\n\r\n");
    QTest::newRow("GET with a body") << QByteArray("GET /skycat/servers/usnoa_res?" + kProgramQuery +
                                                   " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 100000\r\n\r\n");
    QTest::newRow("chunked body") << QByteArray("POST /other HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                "Transfer-Encoding: chunked\r\n\r\n");
    QTest::newRow("length not a number") << QByteArray("POST /other HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                       "Content-Length: lots\r\n\r\n");
}

void TestCatalogueService::bodyRefusedUnread()
{
    QFETCH(QByteArray, head);
    Service service({{"U1", 23.70833, 22.01972, 11.2}});
    QVERIFY(service.start(0));
    RawConnection connection(service.port());
    QVERIFY(connection.connected());
    QVERIFY(connection.send(head));
    // Well under the request's own deadline: a service waiting for the body
    // says nothing in this time.
    QByteArray received;
    QVERIFY2(connection.read(received, 2000, "\r\n\r\n"), "no answer before the body");
    QVERIFY2(received.startsWith("HTTP/1.1 413 "), received.constData());
}

void TestCatalogueService::drippingHeadIsCut()
{
    // A client that sends its request a byte every half second, never
    // leaving the service a second's pause, is dropped all the same.
    Service service({{"U1", 23.70833, 22.01972, 11.2}});
    QVERIFY(service.start(0));
    RawConnection connection(service.port());
    QVERIFY(connection.connected());
    const QByteArray head = "GET /skycat/servers/usnoa_res?" + kProgramQuery + "&pad=" + QByteArray(100, 'x');
    bool dropped = false;
    for (int k = 0; k < head.size() && k < 20 && !dropped; ++k) {
        if (!connection.send(head.mid(k, 1))) {
            dropped = true;
            break;
        }
        pollfd ready{connection.fd(), POLLIN, 0};
        if (::poll(&ready, 1, 500) > 0) {
            char piece[4096];
            dropped = ::recv(connection.fd(), piece, sizeof(piece), 0) <= 0; // a refusal's page comes first
        }
    }
    QVERIFY2(dropped, "a dripping request was kept for 10 s");
}

void TestCatalogueService::keptTargetsAreBounded()
{
    Service service(std::vector<Star>{});
    QVERIFY(service.start(0));
    httplib::Client client("127.0.0.1", service.port());
    const int sent = int(Service::kKeptTargets) + 5;
    for (int k = 0; k < sent; ++k)
        QVERIFY(client.Get("/other?" + std::to_string(k)));
    const QList<QByteArray> kept = service.receivedTargets();
    QCOMPARE(kept.size(), qsizetype(Service::kKeptTargets));
    QCOMPARE(kept.front(), QByteArray("/other?5"));
    QCOMPARE(kept.back(), "/other?" + QByteArray::number(sent - 1));
}

void TestCatalogueService::logEscapesControlBytes_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("logged");
    QTest::newRow("the program's query") << QByteArray("/skycat/servers/usnoa_res?" + kProgramQuery)
                                         << QByteArray("/skycat/servers/usnoa_res?" + kProgramQuery);
    QTest::newRow("forged line") << QByteArray("/a\r\nlistening on x") << QByteArray("/a\\x0d\\x0alistening on x");
    QTest::newRow("terminal escape") << QByteArray("/\x1b[2J\x07") << QByteArray("/\\x1b[2J\\x07");
    QTest::newRow("delete and tab") << QByteArray("/\x7f\t") << QByteArray("/\\x7f\\x09");
    QTest::newRow("backslash itself") << QByteArray("/\\x41") << QByteArray("/\\x5cx41");
    QTest::newRow("UTF-8 kept") << QByteArray("/\xc3\xa9") << QByteArray("/\xc3\xa9");
}

void TestCatalogueService::logEscapesControlBytes()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, logged);
    QCOMPARE(escapeForLog(target), logged);
}

void TestCatalogueService::sampleSkyStarList()
{
    // The sample sky's star list is served as it is written.
    QTemporaryDir dir;
    const sample_sky::SampleSky sky = sample_sky::generateSampleSky(dir.path());
    const std::vector<Star> stars = loadStarList(dir.filePath(sample_sky::kStarListFile));
    QCOMPARE(stars.size(), sky.stars.size());
    for (size_t k = 0; k < stars.size(); ++k) {
        QCOMPARE(stars[k].id, sky.stars[k].id);
        QCOMPARE(stars[k].raDeg, sky.stars[k].raDeg);
        QCOMPARE(stars[k].decDeg, sky.stars[k].decDeg);
        QCOMPARE(stars[k].magnitude, sky.stars[k].magnitude);
    }
    const Answer answer = answerTarget(stars, "/skycat/servers/usnoa_res?" + kProgramQuery);
    QCOMPARE(answer.status, 200);
    StarTable table;
    parseCatalogueAnswer(answer.body, 1, 1, table);
    QVERIFY(table.starTotal > 10);
}

QTEST_GUILESS_MAIN(TestCatalogueService)
#include "tst_catalogue_service.moc"
