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

class RawServer::RawListener {
public:
    explicit RawListener(std::optional<QByteArray> answer) : answer_(std::move(answer))
    {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 ||
            ::listen(socket_, 4) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            qFatal("cannot listen on 127.0.0.1");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~RawListener()
    {
        ::shutdown(socket_, SHUT_RDWR);
        thread_.join();
        ::close(socket_);
    }

    int port() const { return port_; }

private:
    void serve()
    {
        for (;;) {
            const int connection = ::accept(socket_, nullptr, nullptr);
            if (connection < 0)
                return;
            char request[4096];
            (void)::recv(connection, request, sizeof(request), 0);
            if (answer_) {
                (void)::send(connection, answer_->constData(), size_t(answer_->size()), MSG_NOSIGNAL);
            } else {
                // A zero linger time makes close() send a reset instead of an end.
                const linger abort{1, 0};
                ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
            }
            ::close(connection);
        }
    }

    std::optional<QByteArray> answer_;
    int socket_ = -1;
    int port_ = 0;
    std::thread thread_;
};

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

    rawListeners_.push_back(std::make_unique<RawListener>(std::nullopt));
}

RawServer::~RawServer()
{
    released_ = true;
    server_.stop();
    thread_.join();
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
    return QStringLiteral("127.0.0.1:%1").arg(rawListeners_.front()->port());
}

QString RawServer::rawHost(const QByteArray &answer)
{
    rawListeners_.push_back(std::make_unique<RawListener>(answer));
    return QStringLiteral("127.0.0.1:%1").arg(rawListeners_.back()->port());
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
