// Draws the program's pictures into resources/: the splash picture (721 x 495,
// 24-bit), the main window icon, the help window icon and the light bulb of the
// help window. Deterministic: the same run gives the same files.
//
// Build and run with tools/draw_resources.sh.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kSplashWidth = 721;
constexpr int kSplashHeight = 495;

struct Rgb {
    float r = 0, g = 0, b = 0;
};

// A float canvas so that thousands of faint stars add up smoothly.
class SkyCanvas {
public:
    SkyCanvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * size_t(height)) {}

    Rgb &at(int x, int y) { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }

    void addStar(double cx, double cy, double flux, double sigma, Rgb tint)
    {
        const int reach = int(std::ceil(sigma * 4));
        for (int y = int(cy) - reach; y <= int(cy) + reach + 1; ++y) {
            if (y < 0 || y >= height_)
                continue;
            for (int x = int(cx) - reach; x <= int(cx) + reach + 1; ++x) {
                if (x < 0 || x >= width_)
                    continue;
                const double dx = x - cx, dy = y - cy;
                const float v = float(flux * std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma)));
                Rgb &p = at(x, y);
                p.r += v * tint.r;
                p.g += v * tint.g;
                p.b += v * tint.b;
            }
        }
    }

    QImage toImage() const
    {
        QImage image(width_, height_, QImage::Format_RGB888);
        for (int y = 0; y < height_; ++y) {
            uchar *line = image.scanLine(y);
            for (int x = 0; x < width_; ++x) {
                const Rgb &p = pixels_[size_t(y) * size_t(width_) + size_t(x)];
                // A soft knee keeps bright stars round instead of clipped squares.
                const auto tone = [](float v) { return uchar(std::clamp(255.0f * (1 - std::exp(-v / 255.0f * 1.6f)) / 0.8f, 0.0f, 255.0f)); };
                line[3 * x] = tone(p.r);
                line[3 * x + 1] = tone(p.g);
                line[3 * x + 2] = tone(p.b);
            }
        }
        return image;
    }

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// Smooth value noise for the Milky Way's clouds.
class Noise {
public:
    explicit Noise(std::mt19937 &random)
    {
        std::uniform_real_distribution<float> unit(0, 1);
        for (float &v : grid_)
            v = unit(random);
    }
    float at(double x, double y) const
    {
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        const auto g = [&](int i, int j) { return grid_[size_t(((j & 63) * 64) + (i & 63))]; };
        const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
        const double sx = smooth(fx), sy = smooth(fy);
        const double top = g(x0, y0) * (1 - sx) + g(x0 + 1, y0) * sx;
        const double bottom = g(x0, y0 + 1) * (1 - sx) + g(x0 + 1, y0 + 1) * sx;
        return float(top * (1 - sy) + bottom * sy);
    }
    float fractal(double x, double y) const
    {
        float sum = 0, amplitude = 0.5f;
        for (int octave = 0; octave < 5; ++octave) {
            sum += amplitude * at(x, y);
            x *= 2.03;
            y *= 2.03;
            amplitude *= 0.5f;
        }
        return sum;
    }

private:
    float grid_[64 * 64];
};

Rgb starTint(std::mt19937 &random)
{
    std::uniform_real_distribution<float> unit(0, 1);
    const float t = unit(random);
    if (t < 0.15f)
        return {0.75f, 0.85f, 1.0f}; // hot, bluish
    if (t < 0.30f)
        return {1.0f, 0.85f, 0.65f}; // cool, orange
    return {1.0f, 0.97f, 0.92f};
}

void drawSkyBackground(SkyCanvas &sky, std::mt19937 &random)
{
    Noise noise(random);
    for (int y = 0; y < kSplashHeight; ++y) {
        for (int x = 0; x < kSplashWidth; ++x) {
            // Night blue, a little lighter toward the horizon at the bottom.
            const float h = float(y) / kSplashHeight;
            Rgb &p = sky.at(x, y);
            p = {2 + 7 * h, 4 + 10 * h, 13 + 22 * h};
            // The Milky Way: a cloudy band crossing from lower left to upper right.
            const double across = (x * 0.42 + y * 0.91 - 430) / 95.0;
            const float band = float(std::exp(-across * across));
            const float cloud = noise.fractal(x / 70.0, y / 70.0);
            const float dust = noise.fractal(x / 25.0 + 17, y / 25.0 + 5);
            const float glow = band * std::max(0.0f, cloud - 0.25f) * (0.45f + 0.55f * dust) * 120;
            p.r += glow * 0.95f;
            p.g += glow * 0.9f;
            p.b += glow * 1.05f;
        }
    }
    std::uniform_real_distribution<double> ux(0, kSplashWidth), uy(0, kSplashHeight), unit(0, 1);
    // Faint stars everywhere, more of them in the band.
    for (int i = 0; i < 5200; ++i) {
        const double x = ux(random), y = uy(random);
        const double across = (x * 0.42 + y * 0.91 - 430) / 95.0;
        if (unit(random) > 0.35 + 0.65 * std::exp(-across * across))
            continue;
        const double flux = 30 + 140 * std::pow(unit(random), 3.0);
        sky.addStar(x, y, flux, 0.55, starTint(random));
    }
    // Fewer bright ones, with a wider halo.
    for (int i = 0; i < 90; ++i) {
        const double x = ux(random), y = uy(random);
        const Rgb tint = starTint(random);
        const double flux = 260 + 900 * std::pow(unit(random), 2.0);
        sky.addStar(x, y, flux, 0.8, tint);
        sky.addStar(x, y, flux * 0.06, 3.0, tint);
    }
}

void drawCrescent(QPainter &p, QPointF centre, double radius)
{
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath shadow;
    shadow.addEllipse(centre + QPointF(-radius * 0.42, -radius * 0.18), radius * 0.93, radius * 0.93);
    const QPainterPath crescent = disc.subtracted(shadow);

    QRadialGradient halo(centre, radius * 2.6);
    halo.setColorAt(0, QColor(255, 240, 205, 70));
    halo.setColorAt(1, QColor(255, 240, 205, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, radius * 2.6, radius * 2.6);

    QRadialGradient light(centre + QPointF(radius * 0.5, radius * 0.2), radius * 1.3);
    light.setColorAt(0, QColor(255, 250, 232));
    light.setColorAt(1, QColor(222, 205, 170));
    p.setBrush(light);
    p.drawPath(crescent);
}

// Five picked stars joined as the program matches them, with pick circles.
void drawPattern(QPainter &p)
{
    const QPointF stars[5] = {{455, 95}, {520, 160}, {470, 225}, {395, 190}, {560, 250}};
    QPen line(QColor(120, 200, 255, 150), 1.2, Qt::DashLine);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if ((i + j) % 2 == 1 || j == i + 1)
                p.drawLine(stars[i], stars[j]);
    p.setPen(QPen(QColor(255, 120, 90, 230), 1.6));
    for (const QPointF &s : stars) {
        p.drawEllipse(s, 8, 8);
        QRadialGradient core(s, 3.5);
        core.setColorAt(0, QColor(255, 255, 255));
        core.setColorAt(1, QColor(255, 255, 255, 0));
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(core);
        p.drawEllipse(s, 3.5, 3.5);
        p.restore();
    }
}

// A faint grid of right ascension and declination lines.
void drawGrid(QPainter &p)
{
    p.setPen(QPen(QColor(150, 180, 255, 38), 1));
    p.setBrush(Qt::NoBrush);
    for (int k = -2; k <= 6; ++k) {
        const double r = 900 + k * 110;
        p.drawEllipse(QPointF(330, 1180), r, r); // declination circles around a pole below
    }
    for (int k = -6; k <= 6; ++k) {
        const double angle = (-90 + k * 9) * M_PI / 180;
        p.drawLine(QPointF(330, 1180), QPointF(330 + 2000 * std::cos(angle), 1180 + 2000 * std::sin(angle)));
    }
}

void drawName(QPainter &p)
{
    // The program's name, set large and low in the sky, with a soft glow made
    // by scaling a small copy of the text up again.
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(92);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
    const QRectF box(0, 330, 690, 120);
    const QString name = QStringLiteral("Sidelune");

    QImage glow(kSplashWidth, kSplashHeight, QImage::Format_ARGB32_Premultiplied);
    glow.fill(Qt::transparent);
    {
        QPainter g(&glow);
        g.setRenderHint(QPainter::TextAntialiasing);
        g.setFont(font);
        g.setPen(QColor(90, 150, 255, 150));
        g.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, name);
    }
    glow = glow.scaled(kSplashWidth / 8, kSplashHeight / 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
               .scaled(kSplashWidth, kSplashHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(0, 0, glow);

    p.setFont(font);
    QLinearGradient silver(0, 350, 0, 440);
    silver.setColorAt(0, QColor(250, 252, 255, 240));
    silver.setColorAt(1, QColor(165, 190, 235, 240));
    p.setPen(QPen(QBrush(silver), 1));
    p.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, name);
}

QImage drawSplash()
{
    std::mt19937 random(1969);
    SkyCanvas sky(kSplashWidth, kSplashHeight);
    drawSkyBackground(sky, random);
    QImage image = sky.toImage().convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawGrid(p);
        drawCrescent(p, QPointF(600, 92), 44);
        drawPattern(p);
        drawName(p);
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage newIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    return icon;
}

// The main window: a crescent and a star in a reticle on a night-blue disc.
QImage drawMainIcon()
{
    QImage icon = newIcon(256);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient night(QPointF(110, 90), 170);
    night.setColorAt(0, QColor(40, 70, 140));
    night.setColorAt(1, QColor(8, 16, 42));
    p.setPen(QPen(QColor(200, 215, 245), 8));
    p.setBrush(night);
    p.drawEllipse(QPointF(128, 128), 118, 118);
    QPainterPath disc;
    disc.addEllipse(QPointF(128, 128), 114, 114);
    p.setClipPath(disc);
    drawCrescent(p, QPointF(108, 118), 62);
    const QPointF star(178, 170);
    p.setPen(QPen(QColor(255, 110, 80), 7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(star, 26, 26);
    for (const QPointF &d : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
        p.drawLine(star + d * 34, star + d * 48);
    QRadialGradient core(star, 13);
    core.setColorAt(0, Qt::white);
    core.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(core);
    p.drawEllipse(star, 13, 13);
    return icon;
}

// The help window: a question mark on a blue disc.
QImage drawHelpIcon()
{
    QImage icon = newIcon(64);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient blue(0, 0, 0, 64);
    blue.setColorAt(0, QColor(90, 150, 235));
    blue.setColorAt(1, QColor(30, 80, 170));
    p.setPen(QPen(QColor(20, 50, 120), 2));
    p.setBrush(blue);
    p.drawEllipse(QRectF(3, 3, 58, 58));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(44);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 1, 64, 64), Qt::AlignCenter, QStringLiteral("?"));
    return icon;
}

// The light bulb beside the manual.
QImage drawBulb()
{
    QImage icon = newIcon(64);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glass(QPointF(28, 20), 26);
    glass.setColorAt(0, QColor(255, 255, 220));
    glass.setColorAt(1, QColor(255, 205, 40));
    p.setPen(QPen(QColor(170, 120, 0), 2));
    p.setBrush(glass);
    QPainterPath bulb;
    bulb.moveTo(23, 44);
    bulb.cubicTo(22, 36, 10, 32, 10, 22);
    bulb.cubicTo(10, 4, 54, 4, 54, 22);
    bulb.cubicTo(54, 32, 42, 36, 41, 44);
    bulb.closeSubpath();
    p.drawPath(bulb);
    p.setPen(QPen(QColor(200, 140, 0), 1.5));
    p.drawLine(QPointF(27, 43), QPointF(29, 28));
    p.drawLine(QPointF(37, 43), QPointF(35, 28));
    p.drawLine(QPointF(29, 28), QPointF(35, 28));
    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(QColor(160, 160, 170));
    p.drawRoundedRect(QRectF(23, 45, 18, 11), 3, 3);
    p.drawLine(QPointF(23, 49), QPointF(41, 49));
    p.drawLine(QPointF(23, 52), QPointF(41, 52));
    p.setBrush(QColor(90, 90, 100));
    p.drawEllipse(QRectF(28, 56, 8, 5));
    return icon;
}

bool save(const QImage &image, const QString &path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    QDir().mkpath(folder);
    const bool ok = save(drawSplash(), folder + QStringLiteral("/splash.png")) &&
                    save(drawMainIcon(), folder + QStringLiteral("/sidelune.png")) &&
                    save(drawHelpIcon(), folder + QStringLiteral("/help.png")) &&
                    save(drawBulb(), folder + QStringLiteral("/bulb.png"));
    return ok ? 0 : 1;
}
