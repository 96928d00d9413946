// The catalogue service over HTTP.

#include "catalogue_service.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace catalogue {

namespace {
// A connection whose request has not fully come this long after a worker took
// it up is dropped, whether it sends nothing or drips a byte now and then; a
// request arrives within milliseconds of its connection.
constexpr int kRequestDeadlineMs = 3000;
// The query has no body: anything beyond this is refused unread.
constexpr size_t kMaxBodyBytes = 4096;
// The most connections served at the same time; beyond it they wait their
// turn, each for at most the request deadline behind an idle one.
constexpr size_t kMaxWorkers = 256;

// One thread per connection being served, started when a connection finds
// every thread busy and kept for later ones: connections that send nothing
// hold a thread each until their timeout, but never the one a real query
// needs.
class GrowingPool : public httplib::TaskQueue {
public:
    explicit GrowingPool(size_t maxThreads) : maxThreads_(maxThreads) {}

    void enqueue(std::function<void()> job) override
    {
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
            if (jobs_.size() > idle_ && threads_.size() < maxThreads_) {
                try {
                    threads_.emplace_back([this] { work(); });
                } catch (const std::system_error &) {
                    // No thread to spare: the connection waits for a busy one.
                }
            }
        }
        wake_.notify_one();
    }

    void shutdown() override
    {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        // The accepting thread, the only one that starts threads, is the one
        // stopping the pool: the list no longer changes.
        for (std::thread &thread : threads_)
            thread.join();
    }

private:
    void work()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                ++idle_;
                wake_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
                --idle_;
                if (jobs_.empty())
                    return; // stopping, and nothing left to serve
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
        }
    }

    const size_t maxThreads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    size_t idle_ = 0; // threads waiting for a job
    bool stopping_ = false;
};

// One connection: reads end at the request's deadline, however the bytes
// trickle in; writes (the answer) have a deadline of their own per call.
class DeadlineStream : public httplib::Stream {
public:
    DeadlineStream(socket_t sock, std::chrono::steady_clock::time_point deadline) : sock_(sock), deadline_(deadline) {}

    bool is_readable() const override { return wait(POLLIN, remainingMs()); }
    bool is_writable() const override { return wait(POLLOUT, kRequestDeadlineMs); }
    ssize_t read(char *ptr, size_t size) override
    {
        if (!wait(POLLIN, remainingMs()))
            return -1;
        return ::recv(sock_, ptr, size, 0);
    }
    ssize_t write(const char *ptr, size_t size) override
    {
        if (!wait(POLLOUT, kRequestDeadlineMs))
            return -1;
        return ::send(sock_, ptr, size, MSG_NOSIGNAL);
    }
    void get_remote_ip_and_port(std::string &ip, int &port) const override { address(false, ip, port); }
    void get_local_ip_and_port(std::string &ip, int &port) const override { address(true, ip, port); }
    socket_t socket() const override { return sock_; }

private:
    int remainingMs() const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
        return int(std::max<long long>(0, left.count()));
    }
    bool wait(short events, int timeoutMs) const
    {
        pollfd ready{sock_, events, 0};
        int n;
        do
            n = ::poll(&ready, 1, timeoutMs);
        while (n < 0 && errno == EINTR);
        return n > 0 && (ready.revents & (events | POLLHUP | POLLERR));
    }
    void address(bool local, std::string &ip, int &port) const
    {
        sockaddr_storage storage{};
        socklen_t length = sizeof(storage);
        auto *addr = reinterpret_cast<sockaddr *>(&storage);
        ip.clear();
        port = 0;
        if ((local ? ::getsockname(sock_, addr, &length) : ::getpeername(sock_, addr, &length)) != 0)
            return;
        char text[INET6_ADDRSTRLEN] = {};
        if (storage.ss_family == AF_INET) {
            const auto *in = reinterpret_cast<const sockaddr_in *>(addr);
            ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text));
            port = ntohs(in->sin_port);
        } else if (storage.ss_family == AF_INET6) {
            const auto *in6 = reinterpret_cast<const sockaddr_in6 *>(addr);
            ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof(text));
            port = ntohs(in6->sin6_port);
        }
        ip = text;
    }

    socket_t sock_;
    std::chrono::steady_clock::time_point deadline_;
};

// The library's server, but each connection is read through a
// DeadlineStream: its own timeout only bounds the wait between two bytes.
// One request per connection: the program's query never reuses one, and a
// connection is closed after its answer, also after the 400 for a request
// line that cannot be read (a NUL or a blank in it), instead of being kept
// for another request.
class DeadlineServer : public httplib::Server {
private:
    bool process_and_close_socket(socket_t sock) override
    {
        DeadlineStream stream(sock, std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestDeadlineMs));
        bool closed = false;
        const bool ok = process_request(stream, true, closed, nullptr);
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return ok;
    }
};
} // namespace

QByteArray escapeForLog(const QByteArray &bytes)
{
    QByteArray text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || c == '\\')
            text += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text;
}

struct Service::Impl {
    Sky sky;
    DeadlineServer server;
    std::thread thread;
    int port = 0;
    socket_t listening = INVALID_SOCKET; // the last socket made to listen on
    std::atomic<bool> loopEnded = false;
    mutable std::mutex mutex;
    std::deque<QByteArray> targets; // the newest kKeptTargets
    std::function<void(const QByteArray &)> logger;
};

Service::Service(std::vector<Star> stars) : Service(Sky::ofList(std::move(stars))) {}

Service::Service(Sky sky) : impl_(std::make_unique<Impl>())
{
    impl_->sky = std::move(sky);
    Impl *impl = impl_.get();
    // Every request is logged as received, whatever its path.
    impl->server.set_pre_routing_handler([impl](const httplib::Request &request, httplib::Response &response) {
        const QByteArray target = QByteArray::fromStdString(request.target);
        {
            const std::lock_guard lock(impl->mutex);
            impl->targets.push_back(target);
            if (impl->targets.size() > kKeptTargets)
                impl->targets.pop_front();
            if (impl->logger)
                impl->logger(target);
        }
        // The query has no use for a body: a large one (or one of unknown
        // length) is refused before it is read, whatever the method.
        const bool chunked = request.has_header("Transfer-Encoding");
        const QByteArray length = QByteArray::fromStdString(request.get_header_value("Content-Length"));
        bool numeric = false;
        const qulonglong bodyBytes = length.toULongLong(&numeric);
        if (chunked || (!length.isEmpty() && (!numeric || bodyBytes > kMaxBodyBytes))) {
            response.status = 413;
            response.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    impl->server.Get("/skycat/servers/usnoa_res", [impl](const httplib::Request &request, httplib::Response &response) {
        const Answer answer = answerTarget(impl->sky, QByteArray::fromStdString(request.target));
        response.status = answer.status;
        response.set_content(answer.body.toStdString(), "text/html");
    });
    impl->server.new_task_queue = [] { return new GrowingPool(kMaxWorkers); };
    impl->server.set_payload_max_length(kMaxBodyBytes);
    // SO_REUSEADDR only: the library's default also sets SO_REUSEPORT, which
    // would let a second service silently share a fixed port.
    impl->server.set_socket_options([impl](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<char *>(&yes), sizeof(yes));
        impl->listening = sock;
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
    // The library listens with a backlog of 5: in a burst of connections (a
    // few dozen idle clients) the system drops some, a real query among
    // them, to be retried a second later. Listening again on the bound
    // socket only enlarges its queue.
    ::listen(impl_->listening, SOMAXCONN);
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
    return QList<QByteArray>(impl_->targets.begin(), impl_->targets.end());
}

} // namespace catalogue
