// A job far from the sample sky, as a user does it on their own frame: the
// program's own catalogue service started as ./run.sh starts it (the sample's
// star list beside the whole sky, here a small index file of the test's own),
// a frame rendered at 8h51m +11°49', the download, five picks and the solve.

#include "catalogue_service.h"
#include "main_window/form1.h"
#include "sky_index.h"
#include "support/catalogue_fixture.h"
#include "support/index_file.h"
#include "support/sample_job.h"
#include "support/test_support.h"
#include "tools/sample_sky/sample_sky.h"

#include <QLineEdit>
#include <QtTest>
#include <cmath>

using namespace testing;

class TestFarField : public QObject {
    Q_OBJECT
private slots:
    void solvesFromTheWholeSky();
};

void TestFarField::solvesFromTheWholeSky()
{
    ScopedLocale locale(pointLocale());
    FormFixture f;
    Form1 &form = *f.form;

    sample_sky::SkyProjection projection = sample_sky::sampleProjection();
    projection.centreRaDeg = (8 + 51 / 60.0) * 15;
    projection.centreDecDeg = 11 + 49 / 60.0;
    const sample_sky::SampleSky far = sample_sky::makeSampleSky(77, projection);
    QVERIFY(far.image.save(f.path(QStringLiteral("far.png"))));

    // The service as ./run.sh starts it: the sample's list, and the whole sky.
    QTemporaryDir catalogueFolder;
    std::vector<IndexStar> wholeSky;
    for (const sample_sky::SampleStar &s : far.stars)
        wholeSky.push_back({s.raDeg, s.decDeg, float(s.magnitude)});
    const QString indexFile = catalogueFolder.filePath(QStringLiteral("index-tycho2-07.fits"));
    QVERIFY(writeIndexFile(indexFile, wholeSky));
    const sample_sky::SampleSky sample = sample_sky::makeSampleSky();
    catalogue::Sky sky;
    sky.addList(serviceStars(sample));
    QStringList problems;
    sky.setWholeSky(std::make_shared<catalogue::SkyIndex>(
        catalogue::SkyIndex::load(catalogue::SkyIndex::filesIn(catalogueFolder.path()), &problems)));
    QCOMPARE(problems, QStringList());
    catalogue::Service service(std::move(sky));
    bypassProxyForLoopback();
    QVERIFY(service.start(0));
    form.catalogueHost = QStringLiteral("127.0.0.1:%1").arg(service.port());

    // The job as typed for this frame.
    typeSampleJob(form, far);
    form.txt_url->setText(QStringLiteral("far.png"));
    const int ra[3] = {8, 51, 0}, dec[3] = {11, 49, 0};
    for (size_t i = 0; i < 3; ++i) {
        form.txt_ra[i]->setText(QString::number(ra[i]));
        form.txt_dec[i]->setText(QString::number(dec[i]));
    }

    form.DownloadData_Click();
    QCOMPARE(service.receivedTargets().size(), 1);
    QVERIFY2(service.receivedTargets()[0].contains("ra=8+51+0&dec=11+49+0"), service.receivedTargets()[0].constData());

    form.SelectStar_Click();
    const std::vector<sample_sky::SampleStar> picked = pickBrightStars(form, far);
    QCOMPARE(int(picked.size()), 5);
    QVERIFY(form.selectionDone);
    f.dialogs.questionAnswers = {MsgBoxResult::Yes, MsgBoxResult::Yes};
    form.startCalcul_Click();
    QVERIFY2(form.solutionValid, qPrintable(f.dialogs.messages().join(u'|')));
    QVERIFY(form.stars.starTotal > 20);
    for (int k = 1; k <= form.stars.starTotal; ++k)
        QVERIFY2(form.stars.starId[size_t(k)].startsWith(QStringLiteral("UT2-")), qPrintable(form.stars.starId[size_t(k)]));

    // Each picked star's marker sits on it: the whole sky's star at its place.
    for (const sample_sky::SampleStar &s : picked) {
        const QString id = catalogue::skyStarId(s.raDeg, s.decDeg);
        int best = 0;
        double bestDistance = 1e9;
        for (int k = 1; k <= form.stars.starCount; ++k) {
            const Mark &m = form.star[size_t(k)];
            const double d = std::hypot(m.Left + m.Height / 2 - s.pixel.x(), m.Top + m.Height / 2 - s.pixel.y());
            if (m.Visible && d < bestDistance) {
                best = k;
                bestDistance = d;
            }
        }
        QVERIFY2(best > 0 && bestDistance < 3, qPrintable(QStringLiteral("%1: %2 px").arg(id).arg(bestDistance)));
    }
}

QTEST_MAIN(TestFarField)
#include "tst_far_field.moc"
