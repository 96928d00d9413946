#include "main_window/catalogue_query.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace {
constexpr const char *kAgent = "VB OpenUrl";
constexpr const char *kQueryPath = "/skycat/servers/usnoa_res";
// The body arrives in pieces of this size at most, as the transfer always read it.
constexpr long kReadPiece = 2048;

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t appendToBody(char *data, size_t size, size_t count, void *userData)
{
    auto *body = static_cast<QByteArray *>(userData);
    body->append(data, qsizetype(size * count));
    return size * count;
}

struct CurlDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
} // namespace

QString raQueryText(const QString &hours, const QString &minutes, const QString &seconds)
{
    return hours + u'+' + minutes + u'+' + seconds;
}

QString decQueryText(const QString &signCaption, const QString &degrees, const QString &minutes,
                     const QString &seconds)
{
    const QString sign = signCaption == QStringLiteral("-") ? QStringLiteral("-") : QString();
    return sign + degrees + u'+' + minutes + u'+' + seconds;
}

QString catalogueUrl(const QString &host, const QString &epoch, const QString &ra, const QString &dec,
                     const QString &radiusArcmin, const QString &magFaint)
{
    return QStringLiteral("http://") + host + QLatin1String(kQueryPath) +
           QStringLiteral("?catalogue=usnoa&epoch=") + epoch + QStringLiteral("&chart=0&ra=") + ra +
           QStringLiteral("&dec=") + dec + QStringLiteral("&object=&radmax=") + radiusArcmin +
           QStringLiteral("&magbright=0&magfaint=") + magFaint + QStringLiteral(".&format=2&sort=mr&nout=5000");
}

QString QueryCatalogue(const QString &host, const QString &answerPath, const QString &epoch, const QString &ra,
                    const QString &dec, const QString &radiusArcmin, const QString &magFaint)
{
    const QString url = catalogueUrl(host, epoch, ra, dec, radiusArcmin, magFaint);
    if (QFileInfo(answerPath).isFile())
        QFile::remove(answerPath);
    return DownloadToFile(url, answerPath);
}

std::optional<QByteArray> fetchUrl(const QString &url, const TransferLimits &limits)
{
    initCurlOnce();
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return std::nullopt;
    const QByteArray urlBytes = url.toUtf8();
    QByteArray body;
    CURL *h = curl.get();
    // Proxy settings come from the environment, as libcurl reads them by
    // default; libcurl keeps no cache, so every answer is a fresh one.
    curl_easy_setopt(h, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(h, CURLOPT_USERAGENT, kAgent);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReadPiece);
    // A dead or stalled service must not freeze the window for ever.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendToBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(h) != CURLE_OK)
        return std::nullopt;
    return body;
}

QString DownloadToFile(const QString &url, const QString &path, const TransferLimits &limits)
{
    // A transfer cut short is stored as an empty answer rather than as a
    // truncated catalogue that would parse as a smaller, plausible one.
    const QByteArray body = fetchUrl(url, limits).value_or(QByteArray());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(body) != body.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
