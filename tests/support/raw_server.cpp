#include "support/raw_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testing {

namespace {
using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

QByteArray bodyOf(int size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        body[i] = char((i * 31 + 7) & 0xff);
    return body;
}

RawServer::RawServer(const std::string &catalogueRoute)
{
    std::map<std::string, Handler> routes;
    routes["/body"] = [this](const httplib::Request &request, httplib::Response &response) {
        keepHeaders(request);
        const QByteArray body = bodyOf(request.has_param("n") ? std::stoi(request.get_param_value("n")) : 0);
        response.set_content(body.toStdString(), "application/octet-stream");
    };
    routes["/missing"] = [](const httplib::Request &, httplib::Response &response) {
        response.status = 404;
        response.set_content("<html>no such page</html>", "text/html");
    };
    routes["/broken"] = [](const httplib::Request &, httplib::Response &response) {
        response.status = 500;
        response.set_content("<html>internal error</html>", "text/html");
    };
    routes["/stall"] = [this](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider("text/plain", [this](size_t offset, httplib::DataSink &sink) {
            if (offset == 0)
                return sink.write("partial", 7);
            for (int i = 0; i < 6000 && !released_ && sink.is_writable(); ++i)
                sleepMs(10);
            sink.done();
            return true;
        });
    };
    routes["/drip"] = [this](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink &sink) {
            sleepMs(100);
            return !released_ && sink.write("U", 1);
        });
    };
    routes["/endless"] = [this](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink &sink) {
            static const std::string piece(64 * 1024, 'U');
            return !released_ && sink.write(piece.data(), piece.size());
        });
    };
    routes["/cut"] = [](const httplib::Request &, httplib::Response &response) {
        response.set_content_provider(1000, "text/plain", [](size_t offset, size_t, httplib::DataSink &sink) {
            // Returning false drops the connection.
            return offset == 0 && sink.write("0123456789", 10);
        });
    };
    routes["/loop"] = [](const httplib::Request &, httplib::Response &response) { response.set_redirect("/loop"); };

    for (const auto &[path, handler] : routes)
        server_.Get(path, handler);
    server_.Get("/skycat/servers/usnoa_res", routes.at(catalogueRoute));
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        qFatal("cannot listen on 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running())
        sleepMs(1);

    resetSocket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (resetSocket_ < 0 || ::bind(resetSocket_, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
        ::listen(resetSocket_, 4) != 0 ||
        ::getsockname(resetSocket_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("cannot listen on 127.0.0.1");
    resetPort_ = ntohs(address.sin_port);
    resetThread_ = std::thread([this] { resetConnections(); });
}

RawServer::~RawServer()
{
    released_ = true;
    server_.stop();
    thread_.join();
    ::shutdown(resetSocket_, SHUT_RDWR);
    resetThread_.join();
    ::close(resetSocket_);
}

void RawServer::resetConnections()
{
    for (;;) {
        const int connection = ::accept(resetSocket_, nullptr, nullptr);
        if (connection < 0)
            return;
        char request[4096];
        (void)::recv(connection, request, sizeof(request), 0);
        // A zero linger time makes close() send a reset instead of an end.
        const linger abort{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
        ::close(connection);
    }
}

QString RawServer::url(const QString &target) const
{
    return QStringLiteral("http://") + host() + target;
}

QString RawServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

QString RawServer::resetHost() const
{
    return QStringLiteral("127.0.0.1:%1").arg(resetPort_);
}

httplib::Headers RawServer::lastHeaders() const
{
    const std::lock_guard lock(mutex_);
    return headers_;
}

void RawServer::keepHeaders(const httplib::Request &request)
{
    const std::lock_guard lock(mutex_);
    headers_ = request.headers;
}

} // namespace testing
