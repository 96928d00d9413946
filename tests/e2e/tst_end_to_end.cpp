// A whole job as a new user runs it, through the real start-up and the real
// widgets: the wizard, the download from the catalogue service, five picks on
// the magnifier, the solve, click read-outs, the full map, the hover read-out,
// "Super Etalonage", and the project saved and opened again. All on the
// sample sky, whose true projection tells what every answer should be.

#include "catalogue_service.h"
#include "dialogs/wizard.h"
#include "astrometry/readouts.h"
#include "main_window/startup.h"
#include "platform/dialogs.h"
#include "platform/numbers.h"
#include "support/catalogue_fixture.h"
#include "support/modal_answers.h"
#include "support/pointer.h"
#include "support/test_support.h"
#include "tools/sample_sky/sample_sky.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <optional>

using namespace testing;

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void wholeJob_data();
    void wholeJob();
};

namespace {
// An affine model through three stars cannot follow the gnomonic projection
// much closer than a few arc-seconds over this field, the picks snap to whole
// pixels and the read-out gives whole seconds.
constexpr double kReadoutToleranceArcsec = 10;
constexpr double kCoefficientTolerance = 0.005;

using sample_sky::SampleStar;

// Replaces a box's text as typed by the user.
void type(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Every job field of the main window, as the project file holds them.
QStringList jobFields(const Form1 &form)
{
    QStringList values{form.txt_url->text(), form.txt_epoch->text(), form.txt_mag->text(), form.txt_mag2->text(),
                       form.txt_distance->text(), form.txt_calcul->text(), form.txt_tolerance->text(),
                       form.txt_corrasd->text(), form.txt_corrdec->text(), form.txt_dec_sign_show[0]->text(),
                       QString::number(int(form.CheckDecideur->checkState()))};
    for (int i = 0; i < 3; ++i)
        values << form.txt_ra[size_t(i)]->text() << form.txt_dec[size_t(i)]->text();
    return values;
}

// The sky position a "Clic: 1h34'50''  22°1'11''" line gives, in degrees.
std::optional<QPointF> readClickLine(const QString &line)
{
    static const QRegularExpression pattern(
        QStringLiteral("^Clic: (-?)(\\d+)h(\\d+)'(\\d+)''  (-?)(\\d+)\u00b0(\\d+)'(\\d+)''$"));
    const QRegularExpressionMatch m = pattern.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    const auto value = [&m](int first) {
        const double v = m.captured(first + 1).toDouble() + m.captured(first + 2).toDouble() / 60
                         + m.captured(first + 3).toDouble() / 3600;
        return m.captured(first) == QStringLiteral("-") ? -v : v;
    };
    return QPointF(value(1) * 15, value(5));
}

// The marker's centre, where the overlay put its star.
QPointF markerCentre(const Form1 &form, int k)
{
    const Mark &m = form.star[size_t(k)];
    return {markCentreX(m), markCentreY(m)};
}

int markerOf(const Form1 &form, const QString &id)
{
    for (int k = 1; k <= form.stars.starTotal; ++k)
        if (form.stars.starId[size_t(k)].trimmed() == id)
            return k;
    return 0;
}

// The visible marker nearest to `target` that no other marker's hover square
// overlaps, well inside the image; 0 when there is none.
int isolatedMarkerNear(const Form1 &form, QPointF target, QSize image)
{
    int best = 0;
    double bestDistance = 1e9;
    for (int k = 1; k <= form.stars.starTotal; ++k) {
        const QPointF c = markerCentre(form, k);
        if (!form.star[size_t(k)].Visible || c.x() < 20 || c.y() < 20 || c.x() > image.width() - 20
            || c.y() > image.height() - 20)
            continue;
        const double d = std::hypot(c.x() - target.x(), c.y() - target.y());
        if (d >= bestDistance)
            continue;
        bool alone = true;
        for (int j = 1; j <= form.stars.starTotal && alone; ++j) {
            const QPointF o = markerCentre(form, j);
            alone = j == k || !form.star[size_t(j)].Visible || std::abs(o.x() - c.x()) >= 10
                    || std::abs(o.y() - c.y()) >= 10;
        }
        if (alone) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

QPoint wholePixel(QPointF p)
{
    return QPoint(int(std::lround(p.x())), int(std::lround(p.y())));
}

int yesNoQuestions(const ScriptedDialogs &dialogs)
{
    int n = 0;
    for (const ScriptedDialogs::Shown &s : dialogs.shown)
        n += s.kind == ScriptedDialogs::Shown::Message && s.style == MsgBoxStyle::YesNo ? 1 : 0;
    return n;
}
} // namespace

void TestEndToEnd::wholeJob_data()
{
    QTest::addColumn<bool>("comma");
    QTest::newRow("point locale") << false;
    QTest::newRow("comma locale") << true;
}

void TestEndToEnd::wholeJob()
{
    QFETCH(bool, comma);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());

    // ---- The first run: the sample in the program's folder, the service on it.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString languageFile = QFINDTESTDATA("../../resources/lang.cfg");
    QVERIFY2(!languageFile.isEmpty(), "resources/lang.cfg not found");
    QVERIFY(QFile::copy(languageFile, folder.filePath(QStringLiteral("lang.cfg"))));
    const sample_sky::SampleSky sky = sample_sky::generateSampleSky(folder.path());
    const sample_sky::SkyProjection truth = sky.projection;
    CatalogueFixture catalogue(catalogue::loadStarList(folder.filePath(sample_sky::kStarListFile)));

    ScriptedDialogs dialogs;
    Program program({folder.path(), &dialogs, catalogue.host()});
    program.Main();
    Form1 &form = *program.form1();
    form.endProgram = [] {};
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(dialogs.shown.empty(), qPrintable(dialogs.messages().join(u'|')));
    QCOMPARE(form.DownloadData->text(), QStringLiteral("1-Download"));
    QCOMPARE(form.FullMap->text(), QStringLiteral("4-Full map"));
    const QString toleranceBefore = form.txt_tolerance->text();

    // ---- The wizard: what the main window holds comes in, the user's fields go back.
    bool wizardRan = false;
    QString copiedTolerance, copiedEpoch, corrAsdFromLibrary, lastCaption;
    ModalAnswers answers;
    answers.then<Wizard>([&](Wizard &wizard) {
        wizardRan = true;
        copiedTolerance = wizard.txt_tolerance->text();
        copiedEpoch = wizard.txt_epoch->text();
        type(wizard.txt_ra[0], QStringLiteral("1"));
        type(wizard.txt_ra[1], QStringLiteral("34"));
        type(wizard.txt_ra[2], QStringLiteral("50"));
        type(wizard.txt_dec[0], QStringLiteral("22"));
        type(wizard.txt_dec[1], QStringLiteral("01"));
        type(wizard.txt_dec[2], QStringLiteral("11"));
        QTest::mouseClick(wizard.txt_dec_sign[1], Qt::LeftButton);
        type(wizard.txt_mag, QStringLiteral("14"));
        type(wizard.txt_url, sample_sky::kImageFile);
        QTest::mouseClick(wizard.step1, Qt::LeftButton);
        // The sample's optical configuration, chosen from the library.
        QTest::keyClick(wizard.Combo, Qt::Key_Down);
        corrAsdFromLibrary = wizard.txt_corrasd->text();
        QTest::mouseClick(wizard.step2, Qt::LeftButton);
        type(wizard.txt_distance, QStringLiteral("20"));
        type(wizard.txt_calcul, QStringLiteral("10"));
        type(wizard.txt_tolerance, QStringLiteral("7"));
        lastCaption = wizard.step3->text();
        // The fifth pick will ask about the first candidate: Yes.
        dialogs.questionAnswers = {MsgBoxResult::Yes};
        QTest::mouseClick(wizard.step3, Qt::LeftButton);
    });
    form.mnu_wizard->trigger();

    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QVERIFY(wizardRan);
    QCOMPARE(copiedTolerance, toleranceBefore);
    QCOMPARE(copiedEpoch, QStringLiteral("2000.0"));
    QCOMPARE(lastCaption, QStringLiteral("Terminer"));
    QVERIFY2(std::fabs(Val(corrAsdFromLibrary) / truth.corrAsd() - 1) < 1e-6, qPrintable(corrAsdFromLibrary));
    QCOMPARE(form.txt_corrasd->text(), corrAsdFromLibrary);
    QCOMPARE(form.txt_url->text(), sample_sky::kImageFile);
    QCOMPARE(form.txt_dec_sign_show[0]->text(), QStringLiteral("+"));
    QCOMPARE(form.WizardStatus, 1);
    // The download asked the service about the wizard's field.
    QCOMPARE(catalogue.receivedTargets().size(), 1);
    const QByteArray query = catalogue.receivedTargets()[0];
    QVERIFY2(query.contains("ra=1+34+50&dec=22+01+11") && query.contains("radmax=20") &&
                 query.contains("magfaint=14."),
             query.constData());
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("data.txt"))));
    QCOMPARE(form.pickMode, PickMode::Select);
    QVERIFY(form.zoom->isVisible());

    // ---- Five bright stars picked on the magnifier; the fifth solves.
    const std::vector<SampleStar> picked = sample_sky::brightStars(sky, 5, 13, 20, 60);
    QCOMPARE(int(picked.size()), 5);
    for (const SampleStar &s : picked) {
        // A pixel beside the star: the pick snaps onto it.
        const QPoint pointer = wholePixel(s.pixel) + QPoint(1, -1);
        QVERIFY(panIntoView(form, pointer));
        movePointerTo(form, pointer);
        QCOMPARE(QPoint(form.mouseX, form.mouseY), pointer);
        QCOMPARE(clickAt(form, pointer), static_cast<QWidget *>(form.zoom));
    }
    QCOMPARE(form.clickCount, 5);
    for (int p = 1; p <= 5; ++p) {
        const QPointF star = picked[size_t(p - 1)].pixel;
        QVERIFY2(std::hypot(form.selX[size_t(p)] - star.x(), form.selY[size_t(p)] - star.y()) < 1.5,
                 qPrintable(QStringLiteral("pick %1").arg(p)));
    }
    QCOMPARE(yesNoQuestions(dialogs), 1);
    QVERIFY(form.solutionValid);
    QCOMPARE(form.WizardStatus, 0);
    QCOMPARE(form.pickMode, PickMode::Coor);
    QVERIFY(form.zoom->isHidden());
    for (const SampleStar &s : picked) {
        const int k = markerOf(form, s.id);
        QVERIFY2(k > 0 && form.star[size_t(k)].Visible, qPrintable(s.id));
        const QPointF at = markerCentre(form, k);
        QVERIFY2(std::hypot(at.x() - s.pixel.x(), at.y() - s.pixel.y()) < 3, qPrintable(s.id));
    }

    // ---- Click read-outs at ten known pixels, against the true projection.
    const QList<QPoint> known = {{100, 150}, {450, 150}, {800, 150}, {1150, 150}, {1500, 150},
                                 {100, 1050}, {450, 1050}, {800, 1050}, {1150, 1050}, {1500, 1050}};
    double largestArcsec = 0;
    for (const QPoint &pixel : known) {
        QVERIFY(panIntoView(form, pixel));
        movePointerTo(form, pixel);
        QCOMPARE(clickAt(form, pixel), static_cast<QWidget *>(form.Picture1));
        const QString line = form.status->item(0)->text();
        const std::optional<QPointF> read = readClickLine(line);
        QVERIFY2(read, qPrintable(line));
        double raDeg = 0, decDeg = 0;
        truth.pixelToSky(QPointF(pixel), &raDeg, &decDeg);
        const double arcsec = catalogue::angularDistanceDeg(read->x(), read->y(), raDeg, decDeg) * 3600;
        QVERIFY2(arcsec < kReadoutToleranceArcsec,
                 qPrintable(QStringLiteral("%1 at (%2, %3): %4 arcsec")
                                .arg(line).arg(pixel.x()).arg(pixel.y()).arg(arcsec)));
        largestArcsec = std::max(largestArcsec, arcsec);
    }
    qInfo("largest click read-out error: %.2f arcsec", largestArcsec);

    // ---- The full map: the fainter catalogue drawn where its stars lie.
    const int inUse = form.stars.starCount;
    QTest::mouseClick(form.FullMap, Qt::LeftButton);
    QCOMPARE(catalogue.receivedTargets().size(), 2);
    QVERIFY(catalogue.receivedTargets()[1].contains("magfaint=" + form.txt_mag2->text().toLatin1()));
    QVERIFY(form.stars.starTotal > inUse);
    QCOMPARE(form.mapState, QStringLiteral("done"));

    // ---- Hovering a marker names its star.
    const QSize image(truth.width, truth.height);
    const int hovered = isolatedMarkerNear(form, picked[0].pixel, image);
    QVERIFY(hovered > 0);
    const QPoint overMarker = wholePixel(markerCentre(form, hovered));
    QVERIFY(panIntoView(form, overMarker));
    movePointerTo(form, overMarker);
    const QString caption = form.info->text();
    QVERIFY2(caption.startsWith(form.stars.starId[size_t(hovered)] + QStringLiteral(" - Mag=")),
             qPrintable(caption));

    // ---- Super Etalonage over three markers: the scale along each axis.
    form.mnu_superetalonage->trigger();
    QCOMPARE(form.pickMode, PickMode::SuperEtalo);
    QVERIFY(form.Frm[4]->isVisible());
    const int messagesBefore = dialogs.messageCount();
    // One pair mostly along right ascension, one mostly along declination.
    const QPointF targets[3] = {{250, 950}, {1350, 950}, {250, 200}};
    for (const QPointF &target : targets) {
        const int k = isolatedMarkerNear(form, target, image);
        QVERIFY(k > 0);
        const QPoint at = wholePixel(markerCentre(form, k));
        QVERIFY(panIntoView(form, at));
        movePointerTo(form, at);
        QVERIFY2(form.info->text().startsWith(form.stars.starId[size_t(k)]), qPrintable(form.info->text()));
        QVERIFY(!form.Etalo[2]->text().isEmpty());
        QCOMPARE(clickAt(form, at), static_cast<QWidget *>(form.Picture1));
        QTest::mouseClick(form.BoutonEtalo, Qt::LeftButton);
    }
    QCOMPARE(dialogs.messageCount(), messagesBefore + 1); // the result
    const double corrAsd = Val(form.txt_corrasd->text()), corrDec = Val(form.txt_corrdec->text());
    QVERIFY2(std::fabs(corrAsd / truth.corrAsd() - 1) < kCoefficientTolerance,
             qPrintable(QStringLiteral("%1, true %2").arg(form.txt_corrasd->text()).arg(truth.corrAsd())));
    QVERIFY2(std::fabs(corrDec / truth.corrDec() - 1) < kCoefficientTolerance,
             qPrintable(QStringLiteral("%1, true %2").arg(form.txt_corrdec->text()).arg(truth.corrDec())));
    QVERIFY(form.Frm[4]->isHidden());

    // ---- The project saved, the fields changed, the project opened again.
    const QStringList saved = jobFields(form);
    const QString project = folder.filePath(QStringLiteral("job.pam"));
    dialogs.fileAnswers = {folder.filePath(QStringLiteral("job"))};
    form.mnu_save->trigger();
    QVERIFY(QFile::exists(project));
    for (QLineEdit *box : {form.txt_mag, form.txt_mag2, form.txt_distance, form.txt_calcul, form.txt_tolerance,
                           form.txt_corrasd, form.txt_corrdec, form.txt_ra[0], form.txt_ra[1], form.txt_ra[2],
                           form.txt_dec[0], form.txt_dec[1], form.txt_dec[2], form.txt_epoch})
        type(box, QStringLiteral("9"));
    form.txt_dec_sign[0]->click();
    form.CheckDecideur->setCheckState(Qt::Unchecked);
    QVERIFY(jobFields(form) != saved);
    const int messagesBeforeOpen = dialogs.messageCount();
    dialogs.fileAnswers = {project};
    form.mnu_open->trigger();
    QCOMPARE(dialogs.messageCount(), messagesBeforeOpen);
    QCOMPARE(jobFields(form), saved);
    // Opening starts the job afresh on the same image.
    QVERIFY(!form.solutionValid);
    QVERIFY(!form.star[size_t(hovered)].Visible);
    QCOMPARE(form.Picture1->picture().size(), image);
}

int main(int argc, char *argv[])
{
    // The main window is wider than the offscreen platform's own screen; give
    // it a screen like a usual monitor, so that every part of the window can
    // be pointed at.
    QTemporaryDir screenFolder;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screenFolder.isValid()) {
        const QString config = screenFolder.filePath(QStringLiteral("screen.json"));
        writeFile(config, R"({"screens": [{"name": "monitor", "x": 0, "y": 0, "width": 1920, "height": 1200}]})");
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }
    QApplication app(argc, argv);
    TestEndToEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_end_to_end.moc"
