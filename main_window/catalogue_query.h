#pragma once
// The catalogue query: one HTTP GET to the catalogue service, whose whole
// answer is stored byte for byte in the answer file.
//
// The texts of the job fields go into the URL as typed, without escaping or
// checking: the service is the judge of what it was sent. Only a comma typed
// as the decimal point in the radius or a magnitude goes as a point, as every
// typed number is read, since the service reads no comma.

#include <QByteArray>
#include <QString>
#include <functional>

// The right ascension pair's value: "h+m+s" ("+" is the URL form of a blank).
QString raQueryText(const QString &hours, const QString &minutes, const QString &seconds);

// The declination pair's value: the sign ("-" when the sign caption is "-",
// nothing otherwise) then "d+m+s".
QString decQueryText(const QString &signCaption, const QString &degrees, const QString &minutes,
                     const QString &seconds);

// The whole URL of the query to `host` ("name:port"), with the twelve keys in
// their fixed order. A point always follows the faint magnitude text; the
// commas of the radius and magnitude texts go as points.
QString catalogueUrl(const QString &host, const QString &epoch, const QString &ra, const QString &dec,
                     const QString &radiusArcmin, const QString &magFaint);

// How long and how much a transfer may take. A transfer beyond any of them
// is a failure.
struct TransferLimits {
    long connectSeconds = 60; // to connect
    long stallSeconds = 60;   // without receiving a byte
    long totalSeconds = 120;  // the whole transfer
    // Far above any real answer (4000 records are about 264 KB).
    qint64 maxBytes = 32 * 1024 * 1024;
};

// While a transfer runs on a thread of its own, its caller waits through
// this: it returns once `finished()` is true, and may call `cancel()` before
// (the transfer then ends soon, as a failure). Without one the caller's
// thread simply blocks.
using TransferWait = std::function<void(const std::function<bool()> &finished, const std::function<void()> &cancel)>;

// How a download ended: the first cause of its failure, or Success. The
// words the user reads are made from it where the status list is written
// (Form1::downloadFailureText).
enum class DownloadCode {
    Success,
    // The transfer failed:
    NoServer,         // nothing answers at the host; detail: the host
    TimedOut,         // no answer within the limits, or it stalled
    HttpStatus,       // an answer whose status is not a success; detail: the status
    AddressRefused,   // a URL the transfer does not take; detail: the URL
    IncorrectAnswer,  // an answer that is not HTTP
    Interrupted,      // the connection broke, or the body was cut short
    TooManyRedirects,
    TooLarge,         // a body beyond the size limit
    Cancelled,        // "Annuler" in the progress box
    TransferError,    // anything else; detail: libcurl's code, when there is one
    // The answer came but was not written; detail: the write's failure.
    NotWritten,
};

// How a transfer ended: the body of a successful answer, or why it failed.
struct FetchResult {
    QByteArray body;
    DownloadCode code = DownloadCode::Success; // never NotWritten
    QString detail;
    bool ok() const { return code == DownloadCode::Success; }
};

// GETs `url`. An answer whose HTTP status is not a success, a refused URL, a
// service that cannot be reached, a transfer cut short, stalled, cancelled
// or beyond `limits` all fail.
FetchResult fetchUrl(const QString &url, const TransferLimits &limits = {}, const TransferWait &wait = {});

// What became of a download: its code and detail (a failed transfer before a
// failed write, when both failed), and whether the answer file was written:
// with the answer, or empty after a failed transfer.
struct DownloadOutcome {
    DownloadCode code = DownloadCode::Success;
    QString detail;
    bool written = true;
    bool ok() const { return code == DownloadCode::Success; }
};

// Writes the body of the answer to `url` into the file at `path`, replacing
// what the file held; a failed transfer gives an empty file. The file is
// written whole or not at all; when it cannot be written, a file left in its
// place is emptied where it can be.
DownloadOutcome DownloadToFile(const QString &url, const QString &path, const TransferLimits &limits = {},
                               const TransferWait &wait = {});

// Builds the query from the five texts, deletes the previous answer file
// (when it is an ordinary file) and downloads the new answer into it.
DownloadOutcome QueryCatalogue(const QString &host, const QString &answerPath, const QString &epoch,
                               const QString &ra, const QString &dec, const QString &radiusArcmin,
                               const QString &magFaint, const TransferLimits &limits = {},
                               const TransferWait &wait = {});
