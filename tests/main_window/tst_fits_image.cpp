// FITS frames through the image load: what is read, how it is shown, and the
// files it refuses.

#include "astrometry/star_pick.h"
#include "platform/failure.h"
#include "solve_fixture.h"
#include "support/fits_frames.h"
#include "support/test_support.h"

#include <QLineEdit>
#include <QtTest>
#include <cmath>
#include <limits>

using namespace testing;

class TestFitsImage : public QObject {
    Q_OBJECT
private slots:
    void loadsFrame_data();
    void loadsFrame();
    void snapLandsOnTheDataStar_data();
    void snapLandsOnTheDataStar();
    void renderedFieldSolvesLikeItsPng();
};

namespace {

// Physical values of a 3 x 2 frame, first stored row first, and their grey
// levels as shown with that row at the bottom: the 1st percentile (here the
// minimum, 0) is black, the maximum (100) white, the square root between.
const std::vector<double> kValues{0, 10, 20, 30, 40, 100};
const QList<int> kBottomUp{140, 161, 255, 0, 81, 114};
const QList<int> kTopDown{0, 81, 114, 140, 161, 255};

std::vector<double> stored(double scale, double zero)
{
    std::vector<double> s;
    for (const double v : kValues)
        s.push_back((v - zero) / scale);
    return s;
}

QByteArray scaled(int bitpix, double scale, double zero)
{
    return fitsImage(bitpix, 3, 2, stored(scale, zero),
                     {fitsCard("BSCALE", QByteArray::number(scale)), fitsCard("BZERO", QByteArray::number(zero))});
}

// What the image box shows, its top row first, as grey levels.
QList<int> shownGrey(const Form1 &form)
{
    QList<int> grey;
    for (int y = 0; y < form.Picture1->height(); ++y)
        for (int x = 0; x < form.Picture1->width(); ++x) {
            const int packed = form.Picture1->Point(x, y);
            grey << (packed % 256 == packed / 65536 ? packed % 256 : -1);
        }
    return grey;
}

// A primary header with no data before an image extension of the frame.
QByteArray inExtension()
{
    return fitsHeader({fitsCard("SIMPLE", "T"), fitsCard("BITPIX", 8), fitsCard("NAXIS", 0), fitsCard("EXTEND", "T")})
        + fitsHeader({fitsCard("XTENSION", "'IMAGE   '"), fitsCard("BITPIX", 16), fitsCard("NAXIS", 2),
                      fitsCard("NAXIS1", 3), fitsCard("NAXIS2", 2), fitsCard("PCOUNT", 0), fitsCard("GCOUNT", 1)})
        + fitsData(16, kValues);
}

} // namespace

void TestFitsImage::loadsFrame_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("grey"); // empty: refused
    QTest::addColumn<int>("failure");
    const int none = -1;
    const int invalid = int(FailureCode::InvalidPicture);
    const QByteArray sixteen = fitsImage(16, 3, 2, kValues);
    const auto simple = [](int bitpix, int naxis) {
        return QList<QByteArray>{fitsCard("SIMPLE", "T"), fitsCard("BITPIX", bitpix), fitsCard("NAXIS", naxis)};
    };

    QTest::newRow("BITPIX 8, .fit") << "frame.fit" << fitsImage(8, 3, 2, kValues) << kBottomUp << none;
    QTest::newRow("BITPIX 16, .fts") << "frame.fts" << sixteen << kBottomUp << none;
    QTest::newRow("BITPIX 16, BZERO 32768") << "frame.fits" << scaled(16, 1, 32768) << kBottomUp << none;
    QTest::newRow("BITPIX 16, BSCALE 2, BZERO -100") << "frame.fits" << scaled(16, 2, -100) << kBottomUp << none;
    QTest::newRow("BITPIX 32, BSCALE 0.5") << "frame.fits" << scaled(32, 0.5, 0) << kBottomUp << none;
    QTest::newRow("BITPIX -32, BZERO 1000") << "frame.fits" << scaled(-32, 1, 1000) << kBottomUp << none;
    QTest::newRow("BITPIX -64") << "frame.fits" << fitsImage(-64, 3, 2, kValues) << kBottomUp << none;
    {
        // Left out of the stretch, shown black; the low point is then 10.
        std::vector<double> values = kValues;
        values[0] = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("NaN pixel") << "frame.fits" << fitsImage(-32, 3, 2, values)
                                   << QList<int>{120, 147, 255, 0, 0, 85} << none;
    }
    {
        std::vector<double> cube = kValues;
        cube.insert(cube.end(), 6, 5000);
        QTest::newRow("cube: its first plane") << "frame.fits" << fitsImage(16, 3, 2, cube, {}, 2) << kBottomUp
                                               << none;
    }
    QTest::newRow("ROWORDER TOP-DOWN") << "frame.fits"
                                       << fitsImage(16, 3, 2, kValues, {fitsCard("ROWORDER", "'TOP-DOWN'")})
                                       << kTopDown << none;
    QTest::newRow("ROWORDER BOTTOM-UP") << "frame.fits"
                                        << fitsImage(16, 3, 2, kValues, {fitsCard("ROWORDER", "'BOTTOM-UP'")})
                                        << kBottomUp << none;
    QTest::newRow("image in the first extension") << "frame.fits" << inExtension() << kBottomUp << none;

    // Writers may leave the last block short; cfitsio alone would read past the file's end.
    QTest::newRow("last block unpadded") << "frame.fits" << sixteen.left(2880 + 12) << kBottomUp << none;
    QTest::newRow("truncated data") << "frame.fits" << sixteen.left(2880 + 7) << QList<int>{} << invalid;
    {
        QByteArray noEnd = sixteen;
        noEnd.replace(noEnd.indexOf("END     "), 3, "   ");
        QTest::newRow("header without END") << "frame.fits" << noEnd << QList<int>{} << invalid;
    }
    QTest::newRow("damaged header") << "frame.fits"
                                    << QByteArray("SIMPLE  = ").leftJustified(2880, '\x07') + sixteen.mid(2880)
                                    << QList<int>{} << invalid;
    // Gigapixels announced: refused from the header, before any data is read.
    QTest::newRow("bomb: 1000000 x 1000000")
        << "frame.fits" << fitsHeader(simple(16, 2) << fitsCard("NAXIS1", 1000000) << fitsCard("NAXIS2", 1000000))
        << QList<int>{} << int(FailureCode::ImageTooLarge);
    // Within the limit, but far more pixels than the file holds bytes.
    QTest::newRow("bomb within the limit, no data")
        << "frame.fits" << fitsHeader(simple(8, 2) << fitsCard("NAXIS1", 15000) << fitsCard("NAXIS2", 15000))
        << QList<int>{} << invalid;
    QTest::newRow("NAXIS 1000") << "frame.fits" << fitsHeader(simple(16, 1000)) << QList<int>{} << invalid;
    QTest::newRow("NAXIS 0, no extension") << "frame.fits" << fitsHeader(simple(16, 0)) << QList<int>{} << invalid;
    QTest::newRow("one axis") << "frame.fits" << fitsHeader(simple(8, 1) << fitsCard("NAXIS1", 6)) + fitsData(8, kValues)
                              << QList<int>{} << invalid;
    QTest::newRow("BITPIX 0") << "frame.fits"
                              << fitsHeader(simple(0, 2) << fitsCard("NAXIS1", 3) << fitsCard("NAXIS2", 2))
                                     + fitsData(8, kValues)
                              << QList<int>{} << invalid;
    QTest::newRow("negative NAXIS1") << "frame.fits"
                                     << fitsHeader(simple(16, 2) << fitsCard("NAXIS1", -3) << fitsCard("NAXIS2", 2))
                                            + fitsData(16, kValues)
                                     << QList<int>{} << invalid;
    QTest::newRow("empty plane of a cube")
        << "frame.fits"
        << fitsHeader(simple(16, 3) << fitsCard("NAXIS1", 3) << fitsCard("NAXIS2", 2) << fitsCard("NAXIS3", 0))
        << QList<int>{} << invalid;
}

void TestFitsImage::loadsFrame()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, grey);
    QFETCH(int, failure);
    FormFixture f;
    Form1 &form = *f.form;
    // A picture shown before: a refused frame leaves it as it was.
    drawStarField(5, 4, {}).save(f.path(QStringLiteral("before.png")));
    form.txt_url->setText(QStringLiteral("before.png"));
    form.Loadimg_Click();
    writeFile(f.path(name), file);
    form.txt_url->setText(name);

    form.Loadimg_Click();

    if (grey.isEmpty()) {
        QCOMPARE(f.dialogs.messages(), QStringList{name + QStringLiteral(": ") + failureDescription(FailureCode(failure))});
        QVERIFY(!form.imageLoaded);
        QCOMPARE(form.Picture1->size(), QSize(5, 4));
        return;
    }
    QCOMPARE(f.dialogs.messages(), QStringList{});
    QVERIFY(form.imageLoaded);
    QCOMPARE(form.Picture1->size(), QSize(3, 2));
    QCOMPARE(shownGrey(form), grey);
}

void TestFitsImage::snapLandsOnTheDataStar_data()
{
    QTest::addColumn<double>("peak"); // above a sky of 1000, in a 16-bit frame
    QTest::newRow("faint star") << 300.0;
    QTest::newRow("bright star") << 20000.0;
    QTest::newRow("core near saturation") << 63000.0;
}

void TestFitsImage::snapLandsOnTheDataStar()
{
    QFETCH(double, peak);
    const int width = 48, height = 40;
    // Two stars off the pixel centres, the second fainter and near the first,
    // and a brighter one away from them that sets the white point.
    const std::vector<SyntheticStar> stars{{20.3, 17.6, peak, 1.5}, {26.8, 20.4, peak / 2, 1.2},
                                           {40, 32, 64000 - 1000, 1.5}};
    std::vector<double> levels = starFieldLevels(width, height, stars, 1000);
    for (double &v : levels)
        v = std::min(65535.0, std::round(v));
    FormFixture f;
    Form1 &form = *f.form;
    writeFile(f.path(QStringLiteral("stars.fits")), fits16BitFrame(width, height, levels));
    form.txt_url->setText(QStringLiteral("stars.fits"));
    form.Loadimg_Click();
    QVERIFY(form.imageLoaded);

    const starpick::PixelReader onData = [&](int x, int y) {
        return x < 0 || y < 0 || x >= width || y >= height ? -1 : int(levels[size_t(y) * size_t(width) + size_t(x)]);
    };
    const starpick::PixelReader onImage = [&](int x, int y) { return form.Picture1->Point(x, y); };
    const auto nearestStar = [&](const starpick::Pick &pick) {
        size_t best = 0;
        for (size_t k = 1; k < stars.size(); ++k)
            if (std::hypot(pick.x - stars[k].x, pick.y - stars[k].y)
                < std::hypot(pick.x - stars[best].x, pick.y - stars[best].y))
                best = k;
        return best;
    };
    // A click within 3 pixels of a star snaps onto that star, on the data and
    // on the shown image alike; where the data's pick is the star's core
    // pixel, the image's is that same pixel.
    for (const SyntheticStar &aimed : stars)
        for (int y = int(std::lround(aimed.y)) - 3; y <= int(std::lround(aimed.y)) + 3; ++y)
            for (int x = int(std::lround(aimed.x)) - 3; x <= int(std::lround(aimed.x)) + 3; ++x) {
            const starpick::Pick data = starpick::snapToStar(x, y, onData);
            const starpick::Pick shown = starpick::snapToStar(x, y, onImage);
            const size_t star = nearestStar(data);
            const bool onCore = std::hypot(data.x - stars[star].x, data.y - stars[star].y) < 1;
            QVERIFY2(nearestStar(shown) == star && (!onCore || (data.x == shown.x && data.y == shown.y)),
                     qPrintable(QStringLiteral("pointer (%1, %2): data (%3, %4), image (%5, %6)")
                                    .arg(x).arg(y).arg(data.x).arg(data.y).arg(shown.x).arg(shown.y)));
        }
}

// A field rendered as a PNG and as the 16-bit frame a camera writes: picks
// snapped on each image, the same solution offered and accepted.
void TestFitsImage::renderedFieldSolvesLikeItsPng()
{
    const synthetic::Field field
        = synthetic::randomField(synthetic::affineModel(37, 1.0, true, 360000, 72000), 150, 1000, 800, 5);
    const std::array<int, 5> chosen{17, 3, 88, 41, 60};
    struct Outcome {
        synthetic::Picks picks;
        PlateModel model;
        QStringList questions;
        bool accepted = false;
    };
    const auto solve = [&](bool asFits) {
        SolveFixture f;
        Form1 &form = *f.form;
        f.useField(field);
        f.useImage(field, 1000, 800); // the PNG, and the image path naming it
        if (asFits) {
            std::vector<SyntheticStar> spots;
            for (int k = 1; k <= field.count(); ++k)
                spots.push_back({field.pixel[size_t(k)].x, field.pixel[size_t(k)].y, 30000, 1.5});
            std::vector<double> levels = starFieldLevels(1000, 800, spots, 1000);
            for (double &v : levels)
                v = std::min(65535.0, std::round(v));
            writeFile(f.path(QStringLiteral("field.fits")), fits16BitFrame(1000, 800, levels));
            form.txt_url->setText(QStringLiteral("field.fits"));
        }
        form.Loadimg_Click();
        Outcome out;
        // Each pick a pixel off the star, snapped as a click is.
        for (int p = 1; p <= 5; ++p) {
            const PlanePoint at = field.pixel[size_t(chosen[size_t(p - 1)])];
            const starpick::Pick pick = starpick::snapToStar(
                int(std::lround(at.x)) + 1, int(std::lround(at.y)) - 1,
                [&](int x, int y) { return form.Picture1->Point(x, y); });
            out.picks.x[size_t(p)] = pick.x;
            out.picks.y[size_t(p)] = pick.y;
        }
        f.usePicks(out.picks);
        f.dialogs.questionAnswers = {MsgBoxResult::Yes};
        form.startCalcul_Click();
        for (const ScriptedDialogs::Shown &s : f.dialogs.shown)
            out.questions << s.text;
        out.model = f.model();
        out.accepted = form.solutionValid;
        return out;
    };
    const Outcome png = solve(false);
    const Outcome fits = solve(true);
    QVERIFY(png.accepted);
    QVERIFY(fits.accepted);
    QCOMPARE(fits.picks.x, png.picks.x);
    QCOMPARE(fits.picks.y, png.picks.y);
    QCOMPARE(fits.questions, png.questions);
    QVERIFY(sameModel(fits.model, png.model));
}

QTEST_MAIN(TestFitsImage)
#include "tst_fits_image.moc"
