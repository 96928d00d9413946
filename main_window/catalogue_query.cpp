#include "main_window/catalogue_query.h"

#include "platform/failure.h"
#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <atomic>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <thread>

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

// What the callbacks of one transfer share with it.
struct TransferState {
    QByteArray body;
    qint64 maxBytes = 0;
    bool tooLong = false;
    const std::atomic<bool> *cancelled = nullptr;
};

size_t appendToBody(char *data, size_t size, size_t count, void *userData)
{
    auto *state = static_cast<TransferState *>(userData);
    const size_t n = size * count;
    // Taking fewer bytes than offered ends the transfer.
    if (state->cancelled->load())
        return 0;
    if (state->body.size() + qint64(n) > state->maxBytes) {
        state->tooLong = true;
        return 0;
    }
    state->body.append(data, qsizetype(n));
    return n;
}

// Called often while the transfer runs, also while nothing arrives.
int stopWhenCancelled(void *userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const TransferState *>(userData)->cancelled->load() ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};

QString hostOf(const QString &url)
{
    const QString authority = QUrl(url).authority();
    return authority.isEmpty() ? url : authority;
}

// Whether the request went out and what came back had no HTTP status line.
bool answeredWithoutStatus(CURL *handle)
{
    long requestBytes = 0;
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_REQUEST_SIZE, &requestBytes);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return requestBytes > 0 && status == 0;
}

FetchResult failed(DownloadCode code, const QString &detail = {})
{
    return {{}, code, detail};
}

FetchResult transferFailure(CURLcode code, const TransferState &state, const QString &url, CURL *handle)
{
    if (state.cancelled->load())
        return failed(DownloadCode::Cancelled);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return failed(DownloadCode::NoServer, hostOf(url));
    case CURLE_OPERATION_TIMEDOUT:
        return failed(DownloadCode::TimedOut);
    case CURLE_FILESIZE_EXCEEDED:
        return failed(DownloadCode::TooLarge);
    case CURLE_WRITE_ERROR:
        if (state.tooLong)
            return failed(DownloadCode::TooLarge);
        break;
    case CURLE_TOO_MANY_REDIRECTS:
        return failed(DownloadCode::TooManyRedirects);
    case CURLE_UNSUPPORTED_PROTOCOL:
        // libcurl gives the same code to an answer in another protocol (no
        // status line) as to a refused scheme: that is the service's fault,
        // not the address's.
        if (answeredWithoutStatus(handle))
            return failed(DownloadCode::IncorrectAnswer);
        [[fallthrough]];
    case CURLE_URL_MALFORMAT:
        return failed(DownloadCode::AddressRefused, url);
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return failed(DownloadCode::Interrupted);
    case CURLE_WEIRD_SERVER_REPLY:
        return failed(DownloadCode::IncorrectAnswer);
    default:
        break;
    }
    return failed(DownloadCode::TransferError, QString::number(int(code)));
}

// The transfer itself, on the calling thread.
FetchResult perform(const QString &url, const TransferLimits &limits, const std::atomic<bool> &cancelled)
{
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return failed(DownloadCode::TransferError);
    const QByteArray urlBytes = url.toUtf8();
    TransferState state;
    state.maxBytes = limits.maxBytes;
    state.cancelled = &cancelled;
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
    // A dead, stalled, dripping or endless service must not hold the
    // command for ever.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, limits.totalSeconds);
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, appendToBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, stopWhenCancelled);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &state);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK)
        return transferFailure(code, state, url, h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    // An error page is no catalogue.
    if (status < 200 || status > 299)
        return failed(DownloadCode::HttpStatus, QString::number(status));
    return {state.body, DownloadCode::Success, {}};
}

// Waits for a worker thread when the scope ends, asking it to stop first if
// it still runs (the wait ended early: the program is closing).
struct StopAndJoin {
    std::thread &worker;
    std::atomic<bool> &cancelled;
    ~StopAndJoin()
    {
        cancelled = true;
        worker.join();
    }
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

namespace {
// A typed number as the service reads it: every comma a decimal point.
QString withPoints(QString typed)
{
    return typed.replace(u',', u'.');
}
} // namespace

QString catalogueUrl(const QString &host, const QString &epoch, const QString &ra, const QString &dec,
                     const QString &radiusArcmin, const QString &magFaint)
{
    return QStringLiteral("http://") + host + QLatin1String(kQueryPath) +
           QStringLiteral("?catalogue=usnoa&epoch=") + epoch + QStringLiteral("&chart=0&ra=") + ra +
           QStringLiteral("&dec=") + dec + QStringLiteral("&object=&radmax=") + withPoints(radiusArcmin) +
           QStringLiteral("&magbright=0&magfaint=") + withPoints(magFaint) +
           QStringLiteral(".&format=2&sort=mr&nout=5000");
}

DownloadOutcome QueryCatalogue(const QString &host, const QString &answerPath, const QString &epoch,
                               const QString &ra, const QString &dec, const QString &radiusArcmin,
                               const QString &magFaint, const TransferLimits &limits, const TransferWait &wait)
{
    const QString url = catalogueUrl(host, epoch, ra, dec, radiusArcmin, magFaint);
    if (QFileInfo(answerPath).isFile())
        QFile::remove(answerPath);
    return DownloadToFile(url, answerPath, limits, wait);
}

FetchResult fetchUrl(const QString &url, const TransferLimits &limits, const TransferWait &wait)
{
    initCurlOnce();
    if (!wait) {
        const std::atomic<bool> never = false;
        return perform(url, limits, never);
    }
    std::atomic<bool> cancelled = false;
    std::atomic<bool> done = false;
    FetchResult result;
    std::thread worker([&] {
        try {
            result = perform(url, limits, cancelled);
        } catch (const std::exception &) {
            result = failed(DownloadCode::TransferError);
        }
        done = true;
    });
    {
        const StopAndJoin join{worker, cancelled};
        wait([&] { return done.load(); }, [&] { cancelled = true; });
    }
    return result;
}

DownloadOutcome DownloadToFile(const QString &url, const QString &path, const TransferLimits &limits,
                               const TransferWait &wait)
{
    // A failed transfer is stored as an empty answer rather than as a
    // truncated catalogue that would parse as a smaller, plausible one.
    const FetchResult fetched = fetchUrl(url, limits, wait);
    DownloadOutcome outcome{fetched.code, fetched.detail, true};
    const QByteArray body = fetched.ok() ? fetched.body : QByteArray();

    try {
        writeWholeFile(path, body);
    } catch (const Failure &failure) {
        outcome.written = false;
        // The failed transfer, when there was one, is the first cause.
        if (outcome.ok())
            outcome = {DownloadCode::NotWritten, failure.description(), false};
        // An older answer that could be neither replaced nor deleted must
        // not pass for this one: emptied, it parses as after a failed
        // transfer. truncate() fails at once on what is not a regular file.
        QFile::resize(path, 0);
    }
    return outcome;
}
