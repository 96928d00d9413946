// The catalogue service over HTTP.

#include "catalogue_service.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace catalogue {

namespace {
// A connection that sends nothing is dropped after this long; a request
// arrives within milliseconds of its connection.
constexpr time_t kReadTimeoutSeconds = 3;
// The most connections served at the same time; beyond it they wait their
// turn, each for at most the read timeout behind an idle one.
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
} // namespace

struct Service::Impl {
    std::vector<Star> stars;
    httplib::Server server;
    std::thread thread;
    int port = 0;
    socket_t listening = INVALID_SOCKET; // the last socket made to listen on
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
    impl->server.new_task_queue = [] { return new GrowingPool(kMaxWorkers); };
    impl->server.set_read_timeout(kReadTimeoutSeconds, 0);
    impl->server.set_keep_alive_timeout(kReadTimeoutSeconds);
    // One request per connection: the program's query never reuses one, and
    // a connection is closed after its answer, also after the 400 for a
    // request line that cannot be read (a NUL or a blank in it), instead of
    // being kept for another request.
    impl->server.set_keep_alive_max_count(1);
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
    return impl_->targets;
}

} // namespace catalogue
