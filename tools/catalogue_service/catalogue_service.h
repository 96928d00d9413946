#pragma once
// A catalogue query service over star lists and the whole sky (sky_index.h),
// for the program's one query:
//
//   GET /skycat/servers/usnoa_res?catalogue=usnoa&epoch=2000.0&chart=0
//       &ra=1+34+50&dec=-22+01+11&object=&radmax=20&magbright=0&magfaint=13.
//       &format=2&sort=mr&nout=5000
//
// ra is hours, minutes, seconds and dec degrees, minutes, seconds with an
// optional sign, each part after one blank ("+" in the URL); an empty or
// missing part counts as 0 in its own place ("-+30+0" is -0 30 0). radmax
// is in arc-minutes. magfaint may end in a point ("13." or "13.5.").
// catalogue, sort and format, when given, must be
// "usnoa", "mr" and "2"; epoch, chart and object are not used.
//
// The answer holds the stars within radmax of the centre (true angular
// distance) with magbright <= magnitude <= magfaint, brightest first (ties
// keep the list's order), at most nout of them (and never more than 9999, the
// most the number column holds). It is an HTML page whose header line ends in
// "</b>" directly followed by one 66-character record per star:
//
//   columns  1-4   running number, right-aligned
//            6-19  identifier, padded with blanks
//           21-29  right ascension, degrees, 5 decimals
//           31-39  declination, degrees with its sign, 5 decimals
//           41-44  magnitude, 1 decimal
//           45-65  blanks
//           66     line feed
//
// A malformed query gets HTTP 400 and a page with no records.
//
// Star list file: one star per line, "identifier ra_deg dec_deg magnitude"
// separated by blanks, numbers with a point as decimal separator; lines
// starting with '#' and blank lines are skipped. The identifier begins with
// "U" and has at most 14 characters; 0 <= ra_deg < 360, -90 <= dec_deg <= 90
// and -9.9 <= magnitude <= 99.9, so that every record keeps its columns.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace catalogue {

struct Star {
    QString id;       // "U1200-00012345"
    double raDeg = 0;
    double decDeg = 0;
    double magnitude = 0;
};

// A star list that cannot be used: the message names the line.
class StarListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A number with a point as decimal separator, finite; nothing otherwise.
std::optional<double> cNumber(const QString &text);

// Reads a star list file / text as described above; throws StarListError.
std::vector<Star> loadStarList(const QString &path);
std::vector<Star> parseStarList(const QString &text);

// What a query asks for.
struct ConeQuery {
    double raDeg = 0;
    double decDeg = 0;
    double radiusArcmin = 0;
    double magBright = 0;
    double magFaint = 0;
    int maxStars = 5000;
};

// Parses the query part of a request target (after the '?'). On a malformed
// query returns nothing and, when `error` is given, says why.
std::optional<ConeQuery> parseConeQuery(const QByteArray &query, QString *error = nullptr);

// Great-circle distance between two positions, degrees.
double angularDistanceDeg(double ra1Deg, double dec1Deg, double ra2Deg, double dec2Deg);

// The stars that answer the query, in the order they are written.
std::vector<Star> selectStars(const std::vector<Star> &stars, const ConeQuery &query);
// Sorts `stars` brightest first (equal magnitudes keep their order) and keeps
// at most maxStars of them (and never more than 9999).
void keepBrightest(std::vector<Star> &stars, int maxStars);

class SkyIndex;

// The smallest cap round a list's stars, near enough: centred on their mean
// direction and reaching the farthest of them. A list without stars covers
// nothing.
struct Area {
    double raDeg = 0;
    double decDeg = 0;
    double radiusDeg = -1;
    bool contains(double raDeg, double decDeg) const;
};
Area areaOf(const std::vector<Star> &stars);

// Where the answers come from. Each star list answers the queries whose
// centre lies within its area (the first such list, in the order they were
// added); the whole sky answers every other query. Without a whole sky, the
// first list answers them, as a lone list always has.
class Sky {
public:
    static Sky ofList(std::vector<Star> stars);
    void addList(std::vector<Star> stars);
    void setWholeSky(std::shared_ptr<const SkyIndex> index);
    bool hasWholeSky() const { return wholeSky_ != nullptr; }
    std::vector<Star> select(const ConeQuery &query) const;

private:
    struct List {
        std::vector<Star> stars;
        Area area;
    };
    std::vector<std::shared_ptr<const List>> lists_;
    std::shared_ptr<const SkyIndex> wholeSky_;
};

// One record of the answer (65 characters and a line feed); `number` from 1.
QByteArray formatRecord(int number, const Star &star);
// The answer page listing `stars` in order.
QByteArray answerPage(const std::vector<Star> &stars);

struct Answer {
    int status = 200;
    QByteArray body;
};

// The answer to one request target ("/skycat/servers/usnoa_res?...").
Answer answerTarget(const Sky &sky, const QByteArray &target);
Answer answerTarget(const std::vector<Star> &stars, const QByteArray &target);

// A request target as it may be printed: control bytes and the backslash
// written as \xNN, so that a client cannot forge lines or terminal commands.
QByteArray escapeForLog(const QByteArray &bytes);

// The service over HTTP, in a thread of its own. One request per
// connection; a connection whose request has not fully come after a few
// seconds (nothing sent, or a byte now and then) is dropped, and meanwhile
// holds a thread of its own, never a query's. A request body beyond a few
// kilobytes is refused (413) unread.
class Service {
public:
    explicit Service(std::vector<Star> stars);
    explicit Service(Sky sky);
    ~Service(); // stops the service
    Service(const Service &) = delete;
    Service &operator=(const Service &) = delete;

    // Listens on address:port; port 0 picks a free one. False when the
    // address cannot be bound.
    bool start(int port = 0, const QString &address = QStringLiteral("127.0.0.1"));
    void stop();
    int port() const;

    // Called with every request target as received, from the service's
    // threads (one call at a time), before it is answered.
    void setRequestLogger(std::function<void(const QByteArray &)> logger);
    // The newest request targets received (at most kKeptTargets), oldest
    // first.
    QList<QByteArray> receivedTargets() const;
    static constexpr size_t kKeptTargets = 100;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace catalogue
