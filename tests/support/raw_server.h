#pragma once
// An HTTP server on 127.0.0.1 whose answers the tests choose, well-behaved or
// hostile:
//   /body?n=N   N bytes of bodyOf(N) (none without n)
//   /missing    status 404 with a page
//   /broken     status 500 with a page
//   /stall      a few bytes, then nothing until the server is destroyed
//   /drip       one byte at a time, slowly, for ever
//   /endless    bytes as fast as they are taken, for ever
//   /cut        announces 1000 bytes, sends 10 and closes the connection
//   /loop       redirects to itself
// The catalogue's own path answers as one of these. Other listeners speak no
// HTTP at all: at resetHost() every connection is reset as soon as the
// request has come, at rawHost(bytes) those bytes are the answer.

#include <QByteArray>
#include <QString>

#include <httplib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace testing {

// Bytes 0..255 in a scrambled order, so that line breaks, NULs and high bytes
// all travel through a transfer.
QByteArray bodyOf(int size);

class RawServer {
public:
    // `catalogueRoute`: what "/skycat/servers/usnoa_res" answers, e.g. "/stall".
    explicit RawServer(const std::string &catalogueRoute = "/body");
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    QString url(const QString &target) const;
    // "127.0.0.1:port", for a form's catalogue host.
    QString host() const;
    // "127.0.0.1:port" of the listener that resets its connections.
    QString resetHost() const;
    // "127.0.0.1:port" of a new listener that answers every request with
    // `answer` as it stands (another protocol, garbage) and closes.
    QString rawHost(const QByteArray &answer);
    httplib::Headers lastHeaders() const;

private:
    // One listener outside HTTP; no answer means a reset.
    class RawListener;
    void keepHeaders(const httplib::Request &request);

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::vector<std::unique_ptr<RawListener>> rawListeners_;
    std::atomic<bool> released_ = false;
    mutable std::mutex mutex_;
    httplib::Headers headers_;
};

} // namespace testing
