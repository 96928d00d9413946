#include "support/test_support.h"

#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing {

FormFixture::FormFixture(const std::vector<std::pair<QString, QByteArray>> &files, bool createMarkers)
{
    for (const auto &[name, bytes] : files)
        writeFile(path(name), bytes);
    FormContext context;
    context.programFolder = folder.path();
    context.dialogs = &dialogs;
    context.lang = &tables;
    form = std::make_unique<Form1>(context);
    form->endProgram = [] {};
    if (createMarkers)
        form->createMarkers();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

SmallDisk::SmallDisk()
{
    if (::geteuid() != 0) {
        whyNot_ = QStringLiteral("mounting a small file system needs root");
        return;
    }
    if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                "size=64k,mode=0700")
        != 0) {
        whyNot_ = QStringLiteral("cannot mount a tmpfs: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    const int fd = ::open(QFile::encodeName(path(QStringLiteral("filler"))).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        qFatal("cannot create the filler file: %s", std::strerror(errno));
    const QByteArray block(4096, 'x');
    // Until the disk refuses; then byte by byte for the last partial page.
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    while (::write(fd, block.constData(), 1) > 0) {
    }
    ::close(fd);
}

bool SmallDisk::makeReadOnly()
{
    if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs",
                MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr)
        == 0)
        return true;
    whyNot_ = QStringLiteral("cannot remount the tmpfs read-only: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

UnwrittenPipe::UnwrittenPipe(const QString &path) : path_(QFile::encodeName(path))
{
    created_ = ::mkfifo(path_.constData(), 0600) == 0;
    if (!created_)
        return;
    watchdog_ = std::thread([this] {
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!stop_ && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        // Without a reader waiting, opening for writing fails at once (ENXIO).
        while (!stop_) {
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                released_ = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(10ms);
        }
    });
}

UnwrittenPipe::~UnwrittenPipe()
{
    stop_ = true;
    if (watchdog_.joinable())
        watchdog_.join();
}

std::vector<double> starFieldLevels(int width, int height, const std::vector<SyntheticStar> &stars, double background)
{
    std::vector<double> level(size_t(width) * size_t(height), background);
    for (const SyntheticStar &s : stars) {
        const int r = int(std::ceil(4 * s.sigma));
        for (int y = int(s.y) - r; y <= int(s.y) + r + 1; ++y) {
            if (y < 0 || y >= height)
                continue;
            for (int x = int(s.x) - r; x <= int(s.x) + r + 1; ++x) {
                if (x < 0 || x >= width)
                    continue;
                const double dx = x - s.x, dy = y - s.y;
                level[size_t(y) * size_t(width) + size_t(x)] +=
                    s.peak * std::exp(-(dx * dx + dy * dy) / (2 * s.sigma * s.sigma));
            }
        }
    }
    return level;
}

QImage drawStarField(int width, int height, const std::vector<SyntheticStar> &stars, int background)
{
    const std::vector<double> level = starFieldLevels(width, height, stars, background);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int g = std::min(255, int(std::lround(level[size_t(y) * size_t(width) + size_t(x)])));
            line[x] = qRgb(g, g, g);
        }
    }
    return image;
}

} // namespace testing
