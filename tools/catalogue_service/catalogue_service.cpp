// The catalogue service over HTTP.

#include "catalogue_service.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace catalogue {

struct Service::Impl {
    std::vector<Star> stars;
    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::atomic<bool> loopEnded = false;
    mutable std::mutex mutex;
    QList<QByteArray> targets;
    std::function<void(const QByteArray &)> logger;
};

Service::Service(std::vector<Star> stars) : impl_(std::make_unique<Impl>())
{
    impl_->stars = std::move(stars);
    Impl *impl = impl_.get();
    // Every request is logged as received, whatever its path.
    impl->server.set_pre_routing_handler([impl](const httplib::Request &request, httplib::Response &) {
        const QByteArray target = QByteArray::fromStdString(request.target);
        const std::lock_guard lock(impl->mutex);
        impl->targets << target;
        if (impl->logger)
            impl->logger(target);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    impl->server.Get("/skycat/servers/usnoa_res", [impl](const httplib::Request &request, httplib::Response &response) {
        const Answer answer = answerTarget(impl->stars, QByteArray::fromStdString(request.target));
        response.status = answer.status;
        response.set_content(answer.body.toStdString(), "text/html");
    });
    // SO_REUSEADDR only: the library's default also sets SO_REUSEPORT, which
    // would let a second service silently share a fixed port.
    impl->server.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<char *>(&yes), sizeof(yes));
    });
}

Service::~Service()
{
    stop();
}

bool Service::start(int port, const QString &address)
{
    if (impl_->thread.joinable())
        return false;
    const std::string host = address.toStdString();
    if (port == 0) {
        impl_->port = impl_->server.bind_to_any_port(host);
        if (impl_->port < 0) {
            impl_->port = 0;
            return false;
        }
    } else {
        if (!impl_->server.bind_to_port(host, port))
            return false;
        impl_->port = port;
    }
    // The socket already listens, so early connections wait in the backlog;
    // but stop() only ends a loop that runs, so wait until it does.
    impl_->loopEnded = false;
    impl_->thread = std::thread([impl = impl_.get()] {
        impl->server.listen_after_bind();
        impl->loopEnded = true;
    });
    while (!impl_->server.is_running() && !impl_->loopEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!impl_->loopEnded)
        return true;
    impl_->thread.join();
    return false;
}

void Service::stop()
{
    if (!impl_->thread.joinable())
        return;
    impl_->server.stop();
    impl_->thread.join();
}

int Service::port() const
{
    return impl_->port;
}

void Service::setRequestLogger(std::function<void(const QByteArray &)> logger)
{
    const std::lock_guard lock(impl_->mutex);
    impl_->logger = std::move(logger);
}

QList<QByteArray> Service::receivedTargets() const
{
    const std::lock_guard lock(impl_->mutex);
    return impl_->targets;
}

} // namespace catalogue
