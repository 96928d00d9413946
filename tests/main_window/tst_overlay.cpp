// The catalogue overlay and the full map.

#include "solve_fixture.h"
#include "support/catalogue_fixture.h"
#include "support/sample_job.h"
#include "tools/sample_sky/sample_sky.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace testing;

class TestOverlay : public QObject {
    Q_OBJECT
private slots:
    void markersOnStars_data();
    void markersOnStars();
    void starsDrawn_data();
    void starsDrawn();
    void fieldCentre_data();
    void fieldCentre();
    void fieldCentreNotNumbers_data();
    void fieldCentreNotNumbers();
    void modelWithoutInverse_data();
    void modelWithoutInverse();
    void fullMapWithoutSolution();
    void fullMap_data();
    void fullMap();
    void roadOnSampleSky();
};

namespace {
using synthetic::Field;

Field fieldOf(int count, double rotation = 61, bool mirror = true)
{
    return synthetic::randomField(synthetic::affineModel(rotation, 1.0, mirror, 360000, 72000), count, 1000, 800, 3);
}

// Types a field centre (the fields take two characters each) and gives it
// in scaled units.
PlanePoint typeCentre(Form1 &form, const QList<int> &ra, const QString &sign, const QList<int> &dec, double scaleRa,
                      double scaleDec)
{
    for (int i = 0; i < 3; ++i) {
        form.txt_ra[size_t(i)]->setText(QString::number(ra[i]));
        form.txt_dec[size_t(i)]->setText(QString::number(dec[i]));
    }
    form.txt_dec_sign_show[0]->setText(sign);
    const double raDeg = (ra[0] + ra[1] / 60.0 + ra[2] / 3600.0) * 15;
    const double decDeg = (dec[0] + dec[1] / 60.0 + dec[2] / 3600.0) * (sign == QStringLiteral("-") ? -1 : 1);
    return {raDeg * scaleRa, decDeg * scaleDec};
}

PlanePoint typeCentre(Form1 &form, const QList<int> &ra, const QString &sign, const QList<int> &dec, double scale)
{
    return typeCentre(form, ra, sign, dec, scale, scale);
}
} // namespace

void TestOverlay::markersOnStars_data()
{
    QTest::addColumn<double>("rotation");
    QTest::addColumn<bool>("mirror");
    QTest::newRow("upright") << 0.0 << false;
    QTest::newRow("rotated 37") << 37.0 << false;
    QTest::newRow("mirrored 200") << 200.0 << true;
}

void TestOverlay::markersOnStars()
{
    QFETCH(double, rotation);
    QFETCH(bool, mirror);
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = fieldOf(120, rotation, mirror);
    f.useField(field);
    f.setModel(field.truth);

    form.map();

    // Each marker is centred on its star's image position, to single precision.
    for (int k = 1; k <= field.count(); ++k) {
        const PlanePoint marker = markerCentre(form, k);
        QVERIFY2(std::fabs(marker.x - field.pixel[size_t(k)].x) < 1e-3
                     && std::fabs(marker.y - field.pixel[size_t(k)].y) < 1e-3,
                 qPrintable(QStringLiteral("star %1").arg(k)));
        QVERIFY(form.star[size_t(k)].Visible);
    }
    QVERIFY(!form.star[size_t(field.count() + 1)].Visible);
    QCOMPARE(form.mapState, QStringLiteral("done"));
}

void TestOverlay::starsDrawn_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("mapState");
    QTest::addColumn<int>("drawn");
    QTest::newRow("stars in use") << 600 << "" << 497;
    QTest::newRow("after a solve") << 600 << "done" << 497;
    QTest::newRow("full map draws all parsed") << 600 << "loading" << 600;
    QTest::newRow("no star") << 0 << "" << 0;
}

void TestOverlay::starsDrawn()
{
    QFETCH(int, total);
    QFETCH(QString, mapState);
    QFETCH(int, drawn);
    ScopedLocale locale(pointLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = fieldOf(total);
    f.useField(field);
    f.setModel(field.truth);
    typeCentre(form, {6, 40, 3}, QStringLiteral("+"), {19, 59, 10}, SolveFixture::kScale);
    // A marker beyond those drawn keeps its place and its visibility.
    form.star[size_t(drawn + 1)] = Mark{12.5f, 34.5f, 8, true};
    form.mapState = mapState;

    form.map();

    for (int k = 1; k <= drawn; ++k)
        QVERIFY(form.star[size_t(k)].Visible);
    QCOMPARE(form.star[size_t(drawn + 1)].Left, 12.5f);
    QCOMPARE(form.star[size_t(drawn + 1)].Top, 34.5f);
    QVERIFY(form.star[size_t(drawn + 1)].Visible);
    QVERIFY(!form.star[size_t(drawn + 2)].Visible);
    // The field centre is placed and shown even with no star.
    QVERIFY(form.centerpic.Visible);
    QCOMPARE(form.mapState, QStringLiteral("done"));
}

void TestOverlay::fieldCentre_data()
{
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QList<int>>("ra");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QList<int>>("dec");
    QTest::addColumn<QString>("raSecondsTyped"); // empty: the seconds of `ra` as a whole number
    QTest::newRow("north, point") << false << QList<int>{6, 40, 3} << "+" << QList<int>{20, 0, 0} << "";
    QTest::newRow("north, comma") << true << QList<int>{6, 40, 3} << "+" << QList<int>{19, 59, 59} << "";
    // The sign covers minutes and seconds: -12 30 0 is -12.5 degrees.
    QTest::newRow("south, comma") << true << QList<int>{23, 59, 59} << "-" << QList<int>{12, 30, 0} << "";
    // Any caption other than "-" is north.
    QTest::newRow("odd caption is north") << false << QList<int>{0, 0, 1} << "x" << QList<int>{1, 2, 3} << "";
    // A comma typed under a point locale is a decimal point too.
    QTest::newRow("comma typed in a point locale")
        << false << QList<int>{6, 40, 3} << "+" << QList<int>{20, 0, 0} << "3,0";
}

void TestOverlay::fieldCentre()
{
    QFETCH(bool, comma);
    QFETCH(QList<int>, ra);
    QFETCH(QString, sign);
    QFETCH(QList<int>, dec);
    QFETCH(QString, raSecondsTyped);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    // Two scales, so that one taken for the other shows.
    form.scaleRa = SolveFixture::kScale * 0.9;
    const PlanePoint centre = typeCentre(form, ra, sign, dec, form.scaleRa, form.scaleDec);
    if (!raSecondsTyped.isEmpty())
        form.txt_ra[2]->setText(raSecondsTyped);
    // A model that puts the typed centre on pixel (500, 400).
    PlateModel model = synthetic::affineModel(30, 1.0, true, 0, 0);
    const PlanePoint at = synthetic::forward(model, 500, 400);
    model.coefC = centre.x - at.x;
    model.coefF = centre.y - at.y;
    f.setModel(model);

    form.map();

    // Centred with half of its own 17 pixels.
    QVERIFY(form.centerpic.Visible);
    QVERIFY2(std::fabs(form.centerpic.Left - (500 - 8.5)) < 1e-2, qPrintable(QString::number(form.centerpic.Left)));
    QVERIFY2(std::fabs(form.centerpic.Top - (400 - 8.5)) < 1e-2, qPrintable(QString::number(form.centerpic.Top)));

    // Drawn as the design's pink mark of 17 x 17 pixels over the image.
    QImage sky(1000, 800, QImage::Format_RGB32);
    sky.fill(Qt::black);
    form.Picture1->setPicture(sky);
    const QRect around(470, 370, 60, 60);
    const QImage shot = form.Picture1->grab(around).toImage();
    QRect drawn;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb c = shot.pixel(x, y);
            if (c == qRgb(0, 0, 0))
                continue;
            QCOMPARE(QColor(c), QColor(255, 128, 255));
            drawn |= QRect(x, y, 1, 1);
        }
    QCOMPARE(drawn.size(), QSize(17, 17));
    QVERIFY2(drawn.contains(500 - around.left(), 400 - around.top()),
             qPrintable(QStringLiteral("%1,%2").arg(drawn.x()).arg(drawn.y())));
}

void TestOverlay::fieldCentreNotNumbers_data()
{
    QTest::addColumn<int>("field"); // 0..2 right ascension, 3..5 declination
    QTest::addColumn<QString>("text");
    QTest::newRow("empty hours") << 0 << "";
    QTest::newRow("letters in seconds") << 2 << "3s";
    QTest::newRow("empty degrees") << 3 << "";
    QTest::newRow("point in a comma locale") << 5 << "1.";
}

void TestOverlay::fieldCentreNotNumbers()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    ScopedLocale locale(commaLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    const Field stars = fieldOf(50);
    f.useField(stars);
    f.setModel(stars.truth);
    typeCentre(form, {6, 40, 0}, QStringLiteral("+"), {20, 0, 0}, SolveFixture::kScale);
    form.centerpic = Mark{100.5f, 200.5f, 17, true};
    (field < 3 ? form.txt_ra[size_t(field)] : form.txt_dec[size_t(field - 3)])->setText(text);

    form.map();

    // The centre mark stays where it was; the markers are drawn.
    QCOMPARE(form.centerpic.Left, 100.5f);
    QCOMPARE(form.centerpic.Top, 200.5f);
    QVERIFY(form.star[1].Visible && form.star[50].Visible);
    QCOMPARE(form.mapState, QStringLiteral("done"));
    QVERIFY(f.dialogs.shown.empty());
}

void TestOverlay::modelWithoutInverse_data()
{
    QTest::addColumn<QList<double>>("coefficients");
    QTest::addColumn<QString>("said"); // the status line begins so
    QTest::newRow("never fitted") << QList<double>{0, 0, 0, 0, 0, 0} << QStringLiteral("Pas de solution à dessiner");
    QTest::newRow("A E = B D") << QList<double>{1, 2, 360000, 0.5, 1, 72000} << QStringLiteral("Candidat écarté");
}

void TestOverlay::modelWithoutInverse()
{
    QFETCH(QList<double>, coefficients);
    QFETCH(QString, said);
    ScopedLocale locale(pointLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = fieldOf(30);
    f.useField(field);
    f.setModel({coefficients[0], coefficients[1], coefficients[2], coefficients[3], coefficients[4], coefficients[5]});
    typeCentre(form, {6, 40, 0}, QStringLiteral("+"), {20, 0, 0}, SolveFixture::kScale);
    form.star[1] = Mark{5, 6, 8, false};

    form.map();

    QCOMPARE(form.star[1].Left, 5.0f);
    QVERIFY(!form.star[1].Visible);
    QVERIFY(!form.centerpic.Visible);
    QCOMPARE(form.mapState, QString());
    QCOMPARE(f.statusLines().size(), 1);
    QVERIFY2(f.statusLines()[0].startsWith(said), qPrintable(f.statusLines()[0]));
}

void TestOverlay::fullMapWithoutSolution()
{
    SolveFixture f;
    Form1 &form = *f.form;
    form.txt_mag->setText(QStringLiteral("13"));
    form.txt_mag2->setText(QStringLiteral("16"));
    form.solutionValid = false;

    form.FullMap_Click();

    QCOMPARE(form.txt_mag->text(), QStringLiteral("13"));
    QVERIFY(f.statusLines().isEmpty());
    QVERIFY(!QFile::exists(f.path(QStringLiteral("data.txt"))));
    QCOMPARE(form.mapState, QString());
    QCOMPARE(form.sugestion->text(), QStringLiteral("S13"));
}

void TestOverlay::fullMap_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("failure"); // how the download fails, if it does
    QTest::newRow("more than 497 records: all drawn") << 700 << QString();
    QTest::newRow("fewer records than markers shown") << 50 << QString();
    QTest::newRow("no record") << 0 << QString();
    // The answer is then empty: nothing is drawn, and the log says why.
    QTest::newRow("download fails") << 50 << "no service";
    QTest::newRow("answer cannot be written") << 50 << "folder in its place";
}

void TestOverlay::fullMap()
{
    QFETCH(int, records);
    QFETCH(QString, failure);
    const bool downloadFails = !failure.isEmpty();
    ScopedLocale locale(commaLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    // An accepted solution over 497 stars, drawn.
    const Field solved = fieldOf(497);
    f.useField(solved);
    f.setModel(solved.truth);
    form.map();
    form.solutionValid = true;
    form.pickMode = PickMode::Coor;
    std::vector<Mark> before(form.star.begin(), form.star.begin() + 498);
    // The fainter catalogue round the same field centre.
    const Field faint = synthetic::randomField(solved.truth, records, 1000, 800, 99);
    CatalogueFixture service(catalogueStars(faint, SolveFixture::kScale, SolveFixture::kScale));
    service.pointAt(form);
    typeCentre(form, {6, 40, 0}, QStringLiteral("+"), {20, 0, 0}, SolveFixture::kScale);
    form.txt_distance->setText(QStringLiteral("30"));
    form.txt_mag->setText(QStringLiteral("13"));
    form.txt_mag2->setText(QStringLiteral("16"));
    form.status->clear();
    if (failure == QStringLiteral("no service"))
        service.stop();
    else if (downloadFails) // a folder where the answer goes
        QVERIFY(QFile::remove(f.path("data.txt")) && QDir(f.folder.path()).mkdir("data.txt"));

    form.FullMap_Click();

    QCOMPARE(form.txt_mag->text(), QStringLiteral("13"));
    if (downloadFails)
        records = 0;
    else
        QVERIFY(service.receivedTargets().value(0).contains("magfaint=16."));
    QCOMPARE(form.stars.starTotal, records);
    // Every parsed star is drawn on its image position.
    for (int k = 1; k <= records; ++k) {
        const int index = form.stars.starId[size_t(k)].mid(6).toInt();
        const PlanePoint marker = markerCentre(form, k);
        QVERIFY2(std::hypot(marker.x - faint.pixel[size_t(index)].x, marker.y - faint.pixel[size_t(index)].y) < 0.5,
                 qPrintable(form.stars.starId[size_t(k)]));
        QVERIFY(form.star[size_t(k)].Visible);
    }
    // Markers beyond the new list stay shown where they were.
    for (int k = records + 1; k <= 497; ++k) {
        QVERIFY(form.star[size_t(k)].Visible);
        QCOMPARE(form.star[size_t(k)].Left, before[size_t(k)].Left);
        QCOMPARE(form.star[size_t(k)].Top, before[size_t(k)].Top);
    }
    // Two lines of the download, two of the parse, then these two.
    const QStringList lines = f.statusLines();
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("M11done"));
    QCOMPARE(lines[1], QStringLiteral("M10"));
    QCOMPARE(lines[4].startsWith(QStringLiteral("Échec du téléchargement du catalogue : ")), downloadFails);
    QCOMPARE(lines[5], QStringLiteral("M8"));
    QCOMPARE(form.mapState, QStringLiteral("done"));
    QVERIFY(form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Coor);
    QVERIFY(sameModel(f.model(), solved.truth));
}

void TestOverlay::roadOnSampleSky()
{
    // The whole job on the sample sky: download, five picks, solve, full map.
    ScopedLocale locale(commaLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    const sample_sky::SampleSky sky = sample_sky::generateSampleSky(f.folder.path());
    CatalogueFixture service(serviceStars(sky));
    service.pointAt(form);
    typeSampleJob(form, sky);

    form.DownloadData_Click();
    form.SelectStar_Click();
    QCOMPARE(form.pickMode, PickMode::Select);
    const std::vector<sample_sky::SampleStar> picked = pickBrightStars(form, sky);
    QCOMPARE(int(picked.size()), 5);
    QVERIFY(form.selectionDone);
    f.dialogs.questionAnswers = {MsgBoxResult::Yes, MsgBoxResult::Yes};
    form.startCalcul_Click();

    QVERIFY(form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Coor);
    const int inUse = form.stars.starCount;
    // Each picked star's marker sits on its pick.
    for (int p = 1; p <= 5; ++p) {
        const QString id = picked[size_t(p - 1)].id;
        int k = 1;
        while (k <= inUse && form.stars.starId[size_t(k)] != id)
            ++k;
        QVERIFY2(k <= inUse, qPrintable(id));
        QVERIFY(form.star[size_t(k)].Visible);
        const PlanePoint marker = markerCentre(form, k);
        QVERIFY(std::hypot(marker.x - form.selX[size_t(p)], marker.y - form.selY[size_t(p)]) < 3);
    }

    form.FullMap_Click();

    // The fainter catalogue is drawn, each star close to where it lies.
    QVERIFY(form.stars.starTotal > inUse);
    int close = 0;
    for (int k = 1; k <= form.stars.starTotal; ++k) {
        QVERIFY(form.star[size_t(k)].Visible);
        for (const sample_sky::SampleStar &s : sky.stars)
            if (s.id == form.stars.starId[size_t(k)]) {
                const PlanePoint marker = markerCentre(form, k);
                close += std::hypot(marker.x - s.pixel.x(), marker.y - s.pixel.y()) < 3 ? 1 : 0;
                break;
            }
    }
    QVERIFY2(close >= form.stars.starTotal * 9 / 10, qPrintable(QStringLiteral("%1 of %2").arg(close).arg(form.stars.starTotal)));
    QCOMPARE(f.statusLines().value(0), QStringLiteral("M11done"));
}

QTEST_MAIN(TestOverlay)
#include "tst_overlay.moc"
