#pragma once
// The catalogue query: one HTTP GET to the catalogue service, whose whole
// answer is stored byte for byte in the answer file.
//
// The texts of the job fields go into the URL exactly as typed, without
// escaping or checking: the service is the judge of what it was sent.

#include <QByteArray>
#include <QString>
#include <optional>

// The right ascension pair's value: "h+m+s" ("+" is the URL form of a blank).
QString raQueryText(const QString &hours, const QString &minutes, const QString &seconds);

// The declination pair's value: the sign ("-" when the sign caption is "-",
// nothing otherwise) then "d+m+s".
QString decQueryText(const QString &signCaption, const QString &degrees, const QString &minutes,
                     const QString &seconds);

// The whole URL of the query to `host` ("name:port"), with the twelve keys in
// their fixed order. A point always follows the faint magnitude text.
QString catalogueUrl(const QString &host, const QString &epoch, const QString &ra, const QString &dec,
                     const QString &radiusArcmin, const QString &magFaint);

// Builds the query from the five texts, deletes the previous answer file
// (when it is an ordinary file) and downloads the new answer into it. Returns
// why the answer file could not be written, or an empty text.
QString QueryCatalogue(const QString &host, const QString &answerPath, const QString &epoch, const QString &ra,
                    const QString &dec, const QString &radiusArcmin, const QString &magFaint);

// How long a transfer may wait: to connect, and without receiving a byte.
struct TransferLimits {
    long connectSeconds = 60;
    long stallSeconds = 60;
};

// The body of the answer to a GET of `url`, whatever its HTTP status; nothing
// when the URL is refused, the service cannot be reached, or the transfer
// fails or stalls before the body is complete.
std::optional<QByteArray> fetchUrl(const QString &url, const TransferLimits &limits = {});

// Writes the body of the answer to `url` into the file at `path`, replacing
// what the file held; a failed transfer gives an empty file. The file is
// written whole or not at all. Returns why the file could not be written, or
// an empty text (a failed transfer is not a failure here: it writes an empty
// answer).
QString DownloadToFile(const QString &url, const QString &path, const TransferLimits &limits = {});
