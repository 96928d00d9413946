// The sample sky generator: repeatable output, an image that agrees with its
// star list, a projection that maps both ways, and a project the program opens.

#include "main_window/job_lines.h"
#include "support/test_support.h"
#include "tools/sample_sky/sample_sky.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <map>
#include <set>

using namespace testing;
using namespace sample_sky;

class TestSampleSky : public QObject {
    Q_OBJECT
private slots:
    void sameSeedSameFiles();
    void starList();
    void imageAgreesWithStarList_data();
    void imageAgreesWithStarList();
    void projectionRoundTrip_data();
    void projectionRoundTrip();
    void coefficientsMatchImageScale();
    void projectionFile();
    void projectionFileFailures_data();
    void projectionFileFailures();
    void projectOpensInProgram_data();
    void projectOpensInProgram();
    void configurationFile();
    void unwritableFolderIsReported();
    void brightStarsForPicking();
};

namespace {

const QStringList kAllFiles = {kStarListFile, kImageFile, kProjectionFile, kProjectFile, kConfigFile};

struct ListedStar {
    QString id;
    double raDeg, decDeg, magnitude;
};

// Reads the star list as the catalogue service would, without the generator's help.
std::vector<ListedStar> readStarList(const QString &path)
{
    std::vector<ListedStar> stars;
    for (const QString &line : QString::fromUtf8(readFile(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() != 4)
            qFatal("bad star line: %s", qPrintable(line));
        stars.push_back({f[0], f[1].toDouble(), f[2].toDouble(), f[3].toDouble()});
    }
    return stars;
}

QStringList crlfLines(const QString &path)
{
    QString text = QString::fromUtf8(readFile(path));
    if (!text.endsWith(QStringLiteral("\r\n")))
        return {};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

double angularDistanceArcmin(double ra1, double dec1, double ra2, double dec2)
{
    const double k = M_PI / 180;
    const double c = std::sin(dec1 * k) * std::sin(dec2 * k) + std::cos(dec1 * k) * std::cos(dec2 * k) * std::cos((ra1 - ra2) * k);
    return std::acos(std::clamp(c, -1.0, 1.0)) / k * 60;
}

int grey(const QImage &image, QPoint p)
{
    return qGray(image.pixel(p));
}

// The middle grey level of the image: its background.
int medianLevel(const QImage &image)
{
    std::vector<qint64> histogram(256, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++histogram[size_t(grey(image, QPoint(x, y)))];
    int median = 0;
    for (qint64 seen = 0; seen + histogram[size_t(median)] < qint64(image.width()) * image.height() / 2;)
        seen += histogram[size_t(median++)];
    return median;
}

// A saturated pixel says only "full": JPEG ripples of a few levels over a
// saturated core carry no position, so every such pixel counts as the top.
int brightness(const QImage &image, QPoint p)
{
    constexpr int kSaturated = 248;
    return std::min(grey(image, p), kSaturated);
}

// Climbs from `start` to ever brighter neighbours until none is brighter.
QPoint climbToMaximum(const QImage &image, QPoint start)
{
    QPoint here = start;
    for (;;) {
        QPoint best = here;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint n = here + QPoint(dx, dy);
                if (image.rect().contains(n) && brightness(image, n) > brightness(image, best))
                    best = n;
            }
        if (best == here)
            return here;
        here = best;
    }
}

} // namespace

void TestSampleSky::sameSeedSameFiles()
{
    QTemporaryDir first, second, other;
    generateSampleSky(first.path());
    generateSampleSky(second.path() + QStringLiteral("/new/sub")); // missing folders are created
    generateSampleSky(other.path(), kDefaultSeed + 1);
    for (const QString &name : kAllFiles) {
        const QByteArray bytes = readFile(QDir(first.path()).filePath(name));
        QVERIFY2(!bytes.isEmpty(), qPrintable(name));
        QVERIFY2(bytes == readFile(second.path() + QStringLiteral("/new/sub/") + name), qPrintable(name));
    }
    // The seed is used: another seed gives another sky on the same projection.
    QVERIFY(readFile(QDir(first.path()).filePath(kStarListFile)) != readFile(QDir(other.path()).filePath(kStarListFile)));
    QVERIFY(readFile(QDir(first.path()).filePath(kImageFile)) != readFile(QDir(other.path()).filePath(kImageFile)));
    QCOMPARE(readFile(QDir(first.path()).filePath(kProjectFile)), readFile(QDir(other.path()).filePath(kProjectFile)));
}

void TestSampleSky::starList()
{
    QTemporaryDir dir;
    const SampleSky sky = generateSampleSky(dir.path());
    const QByteArray bytes = readFile(dir.filePath(kStarListFile));
    const std::vector<ListedStar> stars = readStarList(dir.filePath(kStarListFile));
    QVERIFY2(stars.size() >= 2000 && stars.size() <= 8000, qPrintable(QString::number(stars.size())));
    QCOMPARE(stars.size(), sky.stars.size());

    // Fields as the catalogue record columns take them.
    const QRegularExpression line(QStringLiteral(R"(^U\d{4}_\d{8} \d{1,3}\.\d{5} -?\d{1,2}\.\d{5} \d{1,2}\.\d$)"));
    for (const QByteArray &raw : bytes.split('\n'))
        if (!raw.isEmpty() && !raw.startsWith('#'))
            QVERIFY2(line.match(QString::fromUtf8(raw)).hasMatch(), raw.constData());

    std::set<QString> ids;
    std::map<int, int> perMagnitude;
    const SkyProjection &p = sky.projection;
    for (const ListedStar &s : stars) {
        QVERIFY2(ids.insert(s.id).second, qPrintable(s.id));
        // The zone is the 7.5-degree band of south polar distance.
        QCOMPARE(s.id.mid(1, 4).toInt(), 75 * int(std::floor((s.decDeg + 90) / 7.5)));
        QVERIFY(s.magnitude >= 8.0 && s.magnitude <= 17.0);
        // The field covers the whole image (half-diagonal 30') with a margin.
        QVERIFY(angularDistanceArcmin(s.raDeg, s.decDeg, p.centreRaDeg, p.centreDecDeg) < 36.1);
        ++perMagnitude[int(std::floor(s.magnitude))];
    }
    // Counts rise toward faint magnitudes, as on the real sky.
    for (int m = 12; m <= 15; ++m) {
        const double ratio = double(perMagnitude[m + 1]) / perMagnitude[m];
        QVERIFY2(ratio > 1.8 && ratio < 3.5, qPrintable(QStringLiteral("%1 -> %2: %3").arg(m).arg(m + 1).arg(ratio)));
    }
    // The default search (20', down to magnitude 13) finds a good few dozen stars.
    int inSearch = 0;
    for (const ListedStar &s : stars)
        if (s.magnitude <= 13.0 && angularDistanceArcmin(s.raDeg, s.decDeg, p.centreRaDeg, p.centreDecDeg) <= 20)
            ++inSearch;
    QVERIFY2(inSearch >= 30 && inSearch <= 380, qPrintable(QString::number(inSearch)));
}

void TestSampleSky::imageAgreesWithStarList_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::newRow("default seed") << kDefaultSeed;
    QTest::newRow("seed 1") << quint64(1);
    QTest::newRow("seed 987654321") << quint64(987654321);
}

void TestSampleSky::imageAgreesWithStarList()
{
    QFETCH(quint64, seed);
    QTemporaryDir dir;
    generateSampleSky(dir.path(), seed);
    // Everything from the files, as the program and the service see them.
    const QImage image(dir.filePath(kImageFile));
    const SkyProjection projection = readProjection(dir.filePath(kProjectionFile));
    QCOMPARE(image.size(), QSize(projection.width, projection.height));
    QVERIFY(image.isGrayscale());
    const int median = medianLevel(image);
    QVERIFY2(median >= 5 && median <= 30, qPrintable(QString::number(median))); // a dark sky

    int checked = 0, centred = 0;
    QPointF offsetSum;
    std::map<int, std::pair<double, int>> peakByBand; // two-magnitude bands
    for (const ListedStar &s : readStarList(dir.filePath(kStarListFile))) {
        QPointF at;
        QVERIFY(projection.skyToPixel(s.raDeg, s.decDeg, &at));
        if (!QRectF(2, 2, projection.width - 5, projection.height - 5).contains(at))
            continue;
        const QPoint nearest(int(std::lround(at.x())), int(std::lround(at.y())));
        if (s.magnitude < 14.0) {
            const QPoint top = climbToMaximum(image, nearest);
            QVERIFY2(std::abs(top.x() - at.x()) <= 1.0 && std::abs(top.y() - at.y()) <= 1.0,
                     qPrintable(QStringLiteral("%1 mag %2 at (%3, %4): maximum at (%5, %6)")
                                    .arg(s.id).arg(s.magnitude).arg(at.x()).arg(at.y()).arg(top.x()).arg(top.y())));
            ++checked;
            // Unsaturated spots: their light is centred on the position, so
            // the image uses the same pixel convention as the projection.
            if (grey(image, top) < 200) {
                double sum = 0;
                QPointF moment;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx) {
                        const double light = std::max(0, grey(image, nearest + QPoint(dx, dy)) - median);
                        sum += light;
                        moment += QPointF(nearest + QPoint(dx, dy)) * light;
                    }
                offsetSum += moment / sum - at;
                ++centred;
            }
        }
        auto &[levels, count] = peakByBand[std::min(int(s.magnitude) / 2, 8)];
        levels += grey(image, nearest);
        ++count;
        if (s.magnitude <= 9.5) // bright stars saturate (give or take JPEG ripples)
            QVERIFY2(grey(image, nearest) >= 248, qPrintable(s.id));
    }
    QVERIFY2(checked >= 100, qPrintable(QString::number(checked)));
    const QPointF meanOffset = offsetSum / centred;
    QVERIFY2(std::abs(meanOffset.x()) < 0.1 && std::abs(meanOffset.y()) < 0.1,
             qPrintable(QStringLiteral("(%1, %2) over %3 stars").arg(meanOffset.x()).arg(meanOffset.y()).arg(centred)));

    // Brightness follows the magnitude, the faintest stars barely above the background.
    QVERIFY(peakByBand.size() >= 4); // 8-9 (few stars), 10-11, 12-13, 14-15, 16-17
    double fainter = 0;
    for (auto it = peakByBand.rbegin(); it != peakByBand.rend(); ++it) {
        const double mean = it->second.first / it->second.second;
        if (it == peakByBand.rbegin())
            QVERIFY2(mean - median > 1 && mean - median < 12, qPrintable(QString::number(mean)));
        else
            QVERIFY2(mean > fainter, qPrintable(QStringLiteral("band %1: %2").arg(it->first).arg(mean)));
        fainter = mean;
    }
}

void TestSampleSky::projectionRoundTrip_data()
{
    QTest::addColumn<QPointF>("pixel");
    QTest::newRow("centre") << QPointF(800, 600);
    QTest::newRow("top left") << QPointF(0, 0);
    QTest::newRow("bottom right") << QPointF(1599, 1199);
    QTest::newRow("top right") << QPointF(1599, 0);
    QTest::newRow("far outside") << QPointF(-2000, 3000);
    QTest::newRow("fraction") << QPointF(123.25, 987.75);
}

void TestSampleSky::projectionRoundTrip()
{
    QFETCH(QPointF, pixel);
    const SkyProjection p = sampleProjection();
    double ra = 0, dec = 0;
    p.pixelToSky(pixel, &ra, &dec);
    QVERIFY(ra >= 0 && ra < 360);
    QPointF back;
    QVERIFY(p.skyToPixel(ra, dec, &back));
    QVERIFY2(std::abs(back.x() - pixel.x()) < 1e-8 && std::abs(back.y() - pixel.y()) < 1e-8,
             qPrintable(QStringLiteral("(%1, %2)").arg(back.x(), 0, 'g', 15).arg(back.y(), 0, 'g', 15)));
}

void TestSampleSky::coefficientsMatchImageScale()
{
    QTemporaryDir dir;
    const SampleSky sky = generateSampleSky(dir.path());
    const SkyProjection &p = sky.projection;
    QCOMPARE(p.centreRaDeg, 23.0 + 170.0 / 240); // 1h34m50s
    QCOMPARE(p.centreDecDeg, 22.0 + 71.0 / 3600); // +22°01'11"
    QPointF centre;
    QVERIFY(p.skyToPixel(p.centreRaDeg, p.centreDecDeg, &centre));
    QCOMPARE(centre, QPointF(p.x0, p.y0));

    // The program scales right ascension by Corr Asd and declination by Corr
    // Dec: one pixel at the centre must then be one unit in any direction.
    const QStringList project = crlfLines(dir.filePath(kProjectFile));
    QCOMPARE(project.size(), 17);
    const double corrAsd = project[1].toDouble(), corrDec = project[2].toDouble();
    QVERIFY(std::abs(corrAsd - 2000 * std::cos(p.centreDecDeg * M_PI / 180)) < 1e-3);
    QCOMPARE(corrDec, 2000.0);
    const QPointF steps[] = {{1, 0}, {0, 1}, {0.7071, -0.7071}};
    for (const QPointF &step : steps) {
        double ra0, dec0, ra1, dec1;
        p.pixelToSky(centre - step * 0.5, &ra0, &dec0);
        p.pixelToSky(centre + step * 0.5, &ra1, &dec1);
        const double units = std::hypot((ra1 - ra0) * corrAsd, (dec1 - dec0) * corrDec);
        QVERIFY2(std::abs(units - std::hypot(step.x(), step.y())) < 1e-4, qPrintable(QString::number(units, 'g', 10)));
    }
    // East is to the left and north up, turned by the small rotation.
    double raLeft, decLeft, raUp, decUp;
    p.pixelToSky(centre + QPointF(-100, 0), &raLeft, &decLeft);
    p.pixelToSky(centre + QPointF(0, -100), &raUp, &decUp);
    QVERIFY(raLeft > p.centreRaDeg);
    QVERIFY(decUp > p.centreDecDeg);
    const double turnDeg = std::atan2((raUp - p.centreRaDeg) * corrAsd, (decUp - p.centreDecDeg) * corrDec) * 180 / M_PI;
    QVERIFY2(std::abs(std::abs(turnDeg) - p.rotationDeg) < 0.01 && p.rotationDeg >= 1 && p.rotationDeg <= 3,
             qPrintable(QString::number(turnDeg)));
}

void TestSampleSky::projectionFile()
{
    QTemporaryDir dir;
    generateSampleSky(dir.path());
    QCOMPARE(readProjection(dir.filePath(kProjectionFile)), sampleProjection());
}

void TestSampleSky::projectionFileFailures_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("write");
    const QByteArray whole = "ra0_deg 23.7\ndec0_deg 22\nscale_px_per_deg 2000\nrotation_deg 2\n"
                             "x0 800\ny0 600\nwidth 1600\nheight 1200\n";
    QTest::newRow("missing file") << QByteArray() << false;
    QTest::newRow("no scale") << QByteArray(whole).replace("scale_px_per_deg 2000\n", "") << true;
    QTest::newRow("scale not a number") << QByteArray(whole).replace("2000", "two") << true;
    QTest::newRow("empty") << QByteArray() << true;
}

void TestSampleSky::projectionFileFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, write);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("projection.txt"));
    if (write)
        writeFile(path, content);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, readProjection(path));
}

void TestSampleSky::projectOpensInProgram_data()
{
    QTest::addColumn<bool>("commaLocale");
    QTest::newRow("point locale") << false;
    QTest::newRow("comma locale") << true;
}

void TestSampleSky::projectOpensInProgram()
{
    QFETCH(bool, commaLocale);
    ScopedLocale locale(commaLocale ? testing::commaLocale() : pointLocale());
    FormFixture f;
    // The sample lies in the program's folder, where its relative image path points.
    const SampleSky sky = generateSampleSky(f.folder.path());
    f.dialogs.fileAnswers.push_back(f.path(kProjectFile));
    f.form->mnu_open_Click();
    QCOMPARE(f.dialogs.messageCount(), 0);

    QStringList fields;
    for (const JobLine &line : projectLines(*f.form))
        fields << line.value();
    QCOMPARE(fields, crlfLines(f.path(kProjectFile)));
    QCOMPARE(f.form->txt_calcul->text(), QStringLiteral("10"));
    QCOMPARE(f.form->txt_ra[0]->text() + f.form->txt_ra[1]->text() + f.form->txt_ra[2]->text(), QStringLiteral("013450"));
    QCOMPARE(f.form->txt_dec[0]->text() + f.form->txt_dec[1]->text() + f.form->txt_dec[2]->text(), QStringLiteral("220111"));
    QCOMPARE(f.form->txt_dec_sign_show[0]->text(), QStringLiteral("+"));
    QCOMPARE(f.form->txt_distance->text(), QStringLiteral("20"));
    QCOMPARE(f.form->txt_epoch->text(), QStringLiteral("2000.0"));
    QCOMPARE(f.form->txt_mag->text(), QStringLiteral("13"));
    QCOMPARE(f.form->txt_mag2->text(), QStringLiteral("16"));
    QCOMPARE(f.form->txt_tolerance->text(), QStringLiteral("7"));
    QCOMPARE(f.form->txt_url->text(), kImageFile);
    QCOMPARE(f.form->CheckDecideur->checkState(), Qt::Checked);
    // The coefficients keep their point whatever the locale.
    QCOMPARE(f.form->txt_corrasd->text().toDouble(), std::round(sky.projection.corrAsd() * 1e6) / 1e6);
    QCOMPARE(f.form->txt_corrdec->text(), QStringLiteral("2000"));
    QVERIFY(QImage(QDir(f.folder.path()).filePath(f.form->txt_url->text())).size() == QSize(1600, 1200));
}

void TestSampleSky::configurationFile()
{
    QTemporaryDir dir;
    const SampleSky sky = generateSampleSky(dir.path());
    const QStringList lines = crlfLines(dir.filePath(kConfigFile));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QStringLiteral(" 1 "));
    QVERIFY(!lines[1].isEmpty());
    QCOMPARE(lines[2], crlfLines(dir.filePath(kProjectFile))[1]);
    QCOMPARE(lines[3], QString::number(sky.projection.corrDec()));
}

void TestSampleSky::unwritableFolderIsReported()
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    writeFile(notAFolder, "x");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, generateSampleSky(notAFolder + QStringLiteral("/sky")));
    // A folder in the way of one of the outputs: that file is named.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    QVERIFY(QDir().mkpath(QDir(blocked).filePath(kStarListFile)));
    try {
        generateSampleSky(blocked);
        QFAIL("no failure reported");
    } catch (const std::runtime_error &e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(kStarListFile), e.what());
    }
}

void TestSampleSky::brightStarsForPicking()
{
    const SampleSky sky = makeSampleSky();
    const std::vector<SampleStar> five = brightStars(sky, 5, 13.0, 18.0, 20.0);
    QCOMPARE(int(five.size()), 5);
    for (size_t i = 0; i < five.size(); ++i) {
        const SampleStar &s = five[i];
        QVERIFY(s.magnitude <= 13.0);
        if (i > 0)
            QVERIFY(s.magnitude >= five[i - 1].magnitude);
        QVERIFY(angularDistanceArcmin(s.raDeg, s.decDeg, sky.projection.centreRaDeg, sky.projection.centreDecDeg) <= 18.0);
        QVERIFY(QRectF(20, 20, 1600 - 41, 1200 - 41).contains(s.pixel));
    }
    QVERIFY(brightStars(sky, 0, 13.0, 18.0, 20.0).empty());
}

QTEST_MAIN(TestSampleSky)
#include "tst_sample_sky.moc"
