// The plate solution of the main window: the review of candidates and the
// solve command, on synthetic fields, with scripted answers to the questions.

#include "solve_fixture.h"

#include "astrometry/pattern_search.h"
#include "platform/numbers.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace testing;

class TestSolution : public QObject {
    Q_OBJECT
private slots:
    void acceptsTrueSolution_data();
    void acceptsTrueSolution();
    void declineEveryCandidate();
    void decisionBox_data();
    void decisionBox();
    void noCandidateAfterEarlierSolution();
    void collinearPicks();
    void candidateWithoutInverse();
    void unusableFields_data();
    void unusableFields();
    void commandWithoutSelection_data();
    void commandWithoutSelection();
    void manyStars_data();
    void manyStars();
    void commandSolvesAndRedraws();
    void readoutsFollowThePicture_data();
    void readoutsFollowThePicture();
    void fifthPickUnderWizard_data();
    void fifthPickUnderWizard();
};

namespace {
using synthetic::Field;
using synthetic::Picks;

const StarPattern kChosen = {17, 3, 88, 41, 60};

Field realisticField(double rotation, bool mirror, int count = 150)
{
    return synthetic::randomField(synthetic::affineModel(rotation, 1.0, mirror, 360000, 72000), count, 1000, 800,
                                  5);
}

// A field with its answer file, its drawn image and picks on kChosen, ready
// for the solve command.
Field useImagedJob(SolveFixture &f, double rotation, bool mirror, int count, quint32 seed)
{
    const Field field = realisticField(rotation, mirror, count);
    f.useField(field);
    f.useImage(field, 1000, 800);
    f.usePicks(synthetic::picksOn(field, kChosen, 1.0, seed));
    return field;
}

// Ten candidates of the same five stars.
void usePentagon(SolveFixture &f)
{
    Field field;
    field.truth = synthetic::affineModel(0, 1, false, 0, 0);
    const Picks picks = synthetic::regularPentagon(field, 360000, 72000);
    f.useField(field);
    f.usePicks(picks);
}

// Five stars and five picks, given point by point.
void useFivePoints(SolveFixture &f, const double (&stars)[5][2], const double (&picksAt)[5][2])
{
    Field field;
    field.truth = synthetic::affineModel(0, 1, false, 0, 0);
    Picks picks;
    for (int p = 0; p < 5; ++p) {
        field.add(stars[p][0], stars[p][1]);
        picks.x[size_t(p + 1)] = picksAt[p][0];
        picks.y[size_t(p + 1)] = picksAt[p][1];
    }
    f.useField(field);
    f.usePicks(picks);
}

std::vector<StarPattern> searchOf(const Form1 &form)
{
    PatternSearch search;
    search.setPicks(form.selX.data(), form.selY.data());
    search.setStars(form.stars.starX.data(), form.stars.starY.data(), form.stars.starCount);
    return search.search(7.0).candidates;
}

PlateModel fitOf(const Form1 &form, const StarPattern &row)
{
    const PlanePoint picks[3] = {{form.selX[1], form.selY[1]}, {form.selX[2], form.selY[2]}, {form.selX[3], form.selY[3]}};
    PlanePoint sky[3];
    for (int p = 0; p < 3; ++p)
        sky[p] = {form.stars.starX[size_t(row[size_t(p)])], form.stars.starY[size_t(row[size_t(p)])]};
    return *fitPlateModel(picks, sky);
}

QStringList questionsOf(const ScriptedDialogs &dialogs)
{
    QStringList prompts;
    for (const ScriptedDialogs::Shown &s : dialogs.shown)
        if (s.kind == ScriptedDialogs::Shown::Message && s.style == MsgBoxStyle::YesNo)
            prompts << s.text;
    return prompts;
}
} // namespace

void TestSolution::acceptsTrueSolution_data()
{
    QTest::addColumn<double>("rotation");
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("tolerance");
    QTest::addColumn<QString>("threshold");
    QTest::newRow("upright, point") << 0.0 << false << false << "7" << "10";
    QTest::newRow("rotated 37, point") << 37.0 << false << false << "7.5" << "9.5";
    QTest::newRow("mirrored 200, comma") << 200.0 << true << true << "7,5" << "9,5";
    QTest::newRow("mirrored 291, comma") << 291.0 << true << true << "6" << "10";
    // A comma typed under a point locale is a decimal point too.
    QTest::newRow("rotated 37, comma typed in a point locale") << 37.0 << false << false << "7,5" << "9,5";
}

void TestSolution::acceptsTrueSolution()
{
    QFETCH(double, rotation);
    QFETCH(bool, mirror);
    QFETCH(bool, comma);
    QFETCH(QString, tolerance);
    QFETCH(QString, threshold);
    ScopedLocale locale(comma ? commaLocale() : pointLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = realisticField(rotation, mirror);
    f.useField(field);
    f.usePicks(synthetic::picksOn(field, kChosen, 1.0, 42));
    form.txt_tolerance->setText(tolerance);
    form.txt_calcul->setText(threshold);
    f.dialogs.questionAnswers = {MsgBoxResult::Yes};

    form.Algo();

    const QStringList questions = questionsOf(f.dialogs);
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].startsWith(QStringLiteral("M2 (")) && questions[0].endsWith(u')'), qPrintable(questions[0]));
    QCOMPARE(f.dialogs.shown.back().title, QStringLiteral("M3"));
    QVERIFY(form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Coor);
    // The accepted model takes each pick to its own catalogue star, and each
    // of those stars' markers sits on its pick.
    for (int p = 1; p <= 5; ++p) {
        const int k = kChosen[size_t(p - 1)];
        const PlanePoint sky = synthetic::forward(f.model(), form.selX[size_t(p)], form.selY[size_t(p)]);
        QVERIFY2(std::hypot(sky.x - form.stars.starX[size_t(k)], sky.y - form.stars.starY[size_t(k)]) < 4,
                 qPrintable(QStringLiteral("pick %1").arg(p)));
        const PlanePoint marker = markerCentre(form, k);
        QVERIFY(std::hypot(marker.x - form.selX[size_t(p)], marker.y - form.selY[size_t(p)]) < 4);
        QVERIFY(form.star[size_t(k)].Visible);
    }
    // Close to the model the field was made with.
    QVERIFY(std::fabs(f.model().coefA - field.truth.coefA) < 0.02);
    QVERIFY(std::fabs(f.model().coefE - field.truth.coefE) < 0.02);
    QCOMPARE(form.mapState, QStringLiteral("done"));
    const QStringList lines = f.statusLines();
    QCOMPARE(lines.value(0), QStringLiteral("M6"));
    QCOMPARE(lines.value(1), QStringLiteral("M4"));
    QCOMPARE(lines.constLast(), QStringLiteral("M5"));
    QCOMPARE(form.sugestion->text(), QStringLiteral("S5"));
}

void TestSolution::declineEveryCandidate()
{
    SolveFixture f;
    Form1 &form = *f.form;
    usePentagon(f);
    form.CheckDecideur->setCheckState(Qt::Unchecked);
    const std::vector<StarPattern> rows = searchOf(form);
    QCOMPARE(int(rows.size()), 10);

    form.Algo();

    // Every candidate is put to the user, numbered in search order.
    QStringList expected;
    for (int n = 1; n <= 10; ++n)
        expected << QStringLiteral("M2 (%1/10)").arg(n);
    QCOMPARE(questionsOf(f.dialogs), expected);
    QVERIFY(!form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Zero);
    // The last candidate's fit and markers stay.
    QVERIFY(sameModel(f.model(), fitOf(form, rows.back())));
    for (int k = 1; k <= 5; ++k) {
        const PlanePoint at = *imagePosition(f.model(), form.stars.starX[size_t(k)], form.stars.starY[size_t(k)]);
        const PlanePoint marker = markerCentre(form, k);
        QVERIFY(std::fabs(marker.x - at.x) < 1e-3 && std::fabs(marker.y - at.y) < 1e-3);
    }
    QCOMPARE(f.statusLines(), (QStringList{QStringLiteral("M6"), QStringLiteral("M5")}));
    // Ten candidates among five stars.
    QCOMPARE(form.sugestion->text(), QStringLiteral("S1S4"));
}

void TestSolution::decisionBox_data()
{
    QTest::addColumn<Qt::CheckState>("state");
    QTest::addColumn<QString>("threshold");
    QTest::addColumn<int>("marksAway");
    QTest::addColumn<int>("questions");
    // T = 0 lets nothing coincide: only a cleared box still asks.
    QTest::newRow("ticked, T = 0") << Qt::Checked << "0" << 0 << 0;
    QTest::newRow("greyed, T = 0") << Qt::PartiallyChecked << "0" << 0 << 0;
    QTest::newRow("cleared, T = 0") << Qt::Unchecked << "0" << 0 << 10;
    QTest::newRow("ticked, T = 10") << Qt::Checked << "10" << 0 << 10;
    QTest::newRow("greyed, T = 10") << Qt::PartiallyChecked << "10" << 0 << 10;
    // Every candidate puts its five markers on the pentagon: moving pick
    // marks away leaves 4 coincidences (asked) or 3 (passed over).
    QTest::newRow("ticked, 4 coincidences") << Qt::Checked << "10" << 1 << 10;
    QTest::newRow("ticked, 3 coincidences") << Qt::Checked << "10" << 2 << 0;
    QTest::newRow("cleared, 3 coincidences") << Qt::Unchecked << "10" << 2 << 10;
}

void TestSolution::decisionBox()
{
    QFETCH(Qt::CheckState, state);
    QFETCH(QString, threshold);
    QFETCH(int, marksAway);
    QFETCH(int, questions);
    ScopedLocale locale(pointLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    usePentagon(f);
    for (int c = 5; c > 5 - marksAway; --c)
        form.clicpic[size_t(c)].Left += 300;
    form.CheckDecideur->setCheckState(state);
    form.txt_calcul->setText(threshold);

    form.Algo();

    QCOMPARE(questionsOf(f.dialogs).size(), questions);
    QVERIFY(!form.solutionValid);
    QCOMPARE(f.statusLines().value(0), QStringLiteral("M6"));
}

void TestSolution::noCandidateAfterEarlierSolution()
{
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = realisticField(10, true);
    f.useField(field);
    // Picks that match no five stars: a pattern far larger than the field.
    Picks picks;
    const double at[5][2] = {{0, 0}, {5000, 0}, {0, 7000}, {9000, 9000}, {3000, 8000}};
    for (int p = 1; p <= 5; ++p) {
        picks.x[size_t(p)] = at[p - 1][0];
        picks.y[size_t(p)] = at[p - 1][1];
    }
    f.usePicks(picks);
    const PlateModel earlier = field.truth;
    f.setModel(earlier);
    form.solutionValid = true;
    form.pickMode = PickMode::Coor;

    form.Algo();

    QVERIFY(questionsOf(f.dialogs).isEmpty());
    QVERIFY(!form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Coor);
    QVERIFY(sameModel(f.model(), earlier));
    QCOMPARE(f.statusLines(), (QStringList{QStringLiteral("M6"), QStringLiteral("M5")}));
}

void TestSolution::collinearPicks()
{
    // Picks 1 to 3 on one line define no model: no question, model kept.
    SolveFixture f;
    Form1 &form = *f.form;
    const double stars[5][2] = {{1000, 1000}, {1200, 1000}, {1400, 1000}, {1100, 1300}, {1350, 1250}};
    const double picksAt[5][2] = {{100, 100}, {300, 100}, {500, 100}, {200, 400}, {450, 350}};
    useFivePoints(f, stars, picksAt);
    form.CheckDecideur->setCheckState(Qt::Unchecked);
    const PlateModel earlier = synthetic::affineModel(5, 1, true, 10, 20);
    f.setModel(earlier);
    QVERIFY(!searchOf(form).empty());

    form.Algo();

    QVERIFY(questionsOf(f.dialogs).isEmpty());
    QVERIFY(sameModel(f.model(), earlier));
    const QStringList lines = f.statusLines();
    QCOMPARE(lines.value(0), QStringLiteral("M6"));
    QCOMPARE(lines.filter(QStringLiteral("alignées")).size(), 1);
}

void TestSolution::candidateWithoutInverse()
{
    // Picks 1 to 3 not quite on a line, their three stars exactly on one: the
    // fit exists but cannot be inverted, so nothing is drawn or asked.
    SolveFixture f;
    Form1 &form = *f.form;
    const double stars[5][2] = {{1000, 1000}, {1200, 1000}, {1400, 1000}, {1100, 1300}, {1350, 1250}};
    const double picksAt[5][2] = {{100, 100}, {300, 100}, {500, 103}, {200, 400}, {450, 350}};
    useFivePoints(f, stars, picksAt);
    form.CheckDecideur->setCheckState(Qt::Unchecked);
    const std::vector<StarPattern> rows = searchOf(form);
    QVERIFY(!rows.empty());

    form.Algo();

    QVERIFY(questionsOf(f.dialogs).isEmpty());
    QCOMPARE(linearDeterminant(f.model()), 0.0);
    for (int k = 1; k <= 5; ++k)
        QVERIFY(!form.star[size_t(k)].Visible);
    QVERIFY(!form.centerpic.Visible);
    const QStringList lines = f.statusLines();
    QCOMPARE(lines.value(0), QStringLiteral("M6"));
    QCOMPARE(lines.filter(QStringLiteral("Candidat écarté")).size(), int(rows.size()));
}

void TestSolution::unusableFields_data()
{
    QTest::addColumn<QString>("tolerance");
    QTest::addColumn<QString>("threshold");
    QTest::addColumn<QString>("corrasd");
    QTest::addColumn<QString>("corrdec");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<bool>("searched");
    const auto row = [](const char *name, const QString &tolerance, const QString &threshold, const QString &message,
                        bool searched) {
        QTest::newRow(name) << tolerance << threshold << "3600" << "3600" << message << true << searched;
    };
    row("tolerance not a number", "sept", "10", "Incompatibilité de type", false);
    row("tolerance empty", "", "10", "Incompatibilité de type", false);
    row("threshold not a number", "7", "dix", "Incompatibilité de type", true);
    row("threshold beyond 16 bits", "7", "40000", "Dépassement de capacité", true);
    row("threshold far below", "7", "-32770", "Dépassement de capacité", true);
    row("tolerance beyond a double", "1e400", "10", "Dépassement de capacité", false);
    // An infinite scale would be parsed and searched in vain: the command
    // stops before the catalogue is read.
    QTest::newRow("Corr Asd beyond a double") << "7" << "10" << "1e400" << "3600" << "Dépassement de capacité"
                                              << false << false;
    // A usable Corr Asd beside it is not taken alone either: the scales
    // change together or not at all.
    QTest::newRow("Corr Dec beyond a double") << "7" << "10" << "1800" << "1e400" << "Dépassement de capacité"
                                              << false << false;
}

void TestSolution::unusableFields()
{
    QFETCH(QString, tolerance);
    QFETCH(QString, threshold);
    QFETCH(QString, corrasd);
    QFETCH(QString, corrdec);
    QFETCH(QString, message);
    QFETCH(bool, parsed);
    QFETCH(bool, searched);
    ScopedLocale locale(pointLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = realisticField(37, true);
    f.useField(field);
    f.useImage(field, 1000, 800);
    f.usePicks(synthetic::picksOn(field, kChosen, 1.0, 42));
    form.txt_tolerance->setText(tolerance);
    form.txt_calcul->setText(threshold);
    form.txt_corrdec->setText(corrdec);
    form.txt_corrasd->setText(corrasd);
    form.pickMode = PickMode::Coor;
    form.solutionValid = true;
    f.dialogs.questionAnswers = {MsgBoxResult::Yes};

    form.startCalcul_Click();

    // One OK box with the failure's words; the solve stops where it was.
    QCOMPARE(f.dialogs.messages(), QStringList{message});
    QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::OkOnly);
    QCOMPARE(form.pickMode, PickMode::Coor);
    const QStringList lines = f.statusLines();
    QCOMPARE(lines.contains(QStringLiteral("M18")), parsed);
    if (parsed) {
        QVERIFY(!form.solutionValid);
        QCOMPARE(lines.value(0), QStringLiteral("M5"));
    } else {
        // Neither the parse nor the search ran, and the scales stand.
        QVERIFY(!lines.contains(QStringLiteral("M5")));
        QCOMPARE(form.scaleRa, SolveFixture::kScale);
        QCOMPARE(form.scaleDec, SolveFixture::kScale);
    }
    QVERIFY(!lines.contains(QStringLiteral("M6")));
    // A failing threshold comes after the first candidate was fitted and drawn.
    QCOMPARE(form.star[size_t(kChosen[0])].Visible, searched);
}

void TestSolution::commandWithoutSelection_data()
{
    QTest::addColumn<QString>("corrasd");
    QTest::addColumn<QString>("corrdec");
    QTest::addColumn<double>("scaleRa");
    QTest::addColumn<double>("scaleDec");
    QTest::newRow("plain") << "3600" << "3580.5" << 3600.0 << 3580.5;
    QTest::newRow("leading numbers") << " 1.5e3 px" << "12abc" << 1500.0 << 12.0;
    QTest::newRow("no numbers") << "abc" << "" << 0.0 << 0.0;
}

void TestSolution::commandWithoutSelection()
{
    QFETCH(QString, corrasd);
    QFETCH(QString, corrdec);
    QFETCH(double, scaleRa);
    QFETCH(double, scaleDec);
    ScopedLocale locale(commaLocale());
    SolveFixture f;
    Form1 &form = *f.form;
    form.selectionDone = false;
    form.star[1].Visible = true;
    form.star[4000].Visible = true;
    form.solutionValid = true;
    form.pickMode = PickMode::Coor;
    form.txt_corrasd->setText(corrasd);
    form.txt_corrdec->setText(corrdec);

    form.startCalcul_Click();

    QCOMPARE(form.scaleRa, scaleRa);
    QCOMPARE(form.scaleDec, scaleDec);
    QVERIFY(!form.star[1].Visible);
    QVERIFY(!form.star[4000].Visible);
    QVERIFY(form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Coor);
    QVERIFY(!f.statusLines().contains(QStringLiteral("M5")));
    QCOMPARE(form.sugestion->text(), QStringLiteral("S14"));
}

void TestSolution::manyStars_data()
{
    QTest::addColumn<int>("stars");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("solved");
    QTest::newRow("380 stars, no question") << 380 << false << false << true;
    QTest::newRow("381 stars, declined") << 381 << false << true << false;
    QTest::newRow("381 stars, agreed") << 381 << true << true << true;
}

void TestSolution::manyStars()
{
    QFETCH(int, stars);
    QFETCH(bool, answerYes);
    QFETCH(bool, asked);
    QFETCH(bool, solved);
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = realisticField(37, true, stars);
    f.useField(field);
    f.useImage(field, 1000, 800);
    f.usePicks(synthetic::picksOn(field, kChosen, 1.0, 42));
    const PlateModel earlier = synthetic::affineModel(5, 1, true, 10, 20);
    f.setModel(earlier);
    if (asked)
        f.dialogs.questionAnswers.push_back(answerYes ? MsgBoxResult::Yes : MsgBoxResult::No);
    f.dialogs.questionAnswers.push_back(MsgBoxResult::Yes); // the candidate

    form.startCalcul_Click();

    const QStringList questions = questionsOf(f.dialogs);
    QCOMPARE(questions.value(0) == QStringLiteral("M15"), asked);
    if (asked)
        QCOMPARE(f.dialogs.shown.front().title, QStringLiteral("M16"));
    QCOMPARE(form.solutionValid, solved);
    const QStringList lines = f.statusLines();
    if (!solved) {
        // Declined: logged, nothing searched, markers hidden, model kept.
        QCOMPARE(lines.value(0), QStringLiteral("M17"));
        QVERIFY(!lines.contains(QStringLiteral("M5")));
        QVERIFY(sameModel(f.model(), earlier));
        QCOMPARE(form.pickMode, PickMode::Zero);
        QVERIFY(!form.star[1].Visible);
    } else {
        QVERIFY(!lines.contains(QStringLiteral("M17")));
        QCOMPARE(form.pickMode, PickMode::Coor);
    }
}

void TestSolution::commandSolvesAndRedraws()
{
    SolveFixture f;
    Form1 &form = *f.form;
    useImagedJob(f, 123, true, 300, 7);
    // Markers of an earlier overlay beyond the stars in use disappear.
    form.star[3999].Visible = true;
    f.dialogs.questionAnswers = {MsgBoxResult::Yes};

    form.startCalcul_Click();

    QVERIFY(form.solutionValid);
    QCOMPARE(form.pickMode, PickMode::Coor);
    QVERIFY(!form.star[3999].Visible);
    for (int k = 1; k <= form.stars.starCount; ++k)
        QVERIFY(form.star[size_t(k)].Visible);
    QCOMPARE(form.stars.starCount, 300);
    for (int p = 1; p <= 5; ++p) {
        const PlanePoint marker = markerCentre(form, kChosen[size_t(p - 1)]);
        QVERIFY(std::hypot(marker.x - form.selX[size_t(p)], marker.y - form.selY[size_t(p)]) < 4);
    }
    // No field centre typed: its mark is not placed.
    QVERIFY(!form.centerpic.Visible);
}

void TestSolution::readoutsFollowThePicture_data()
{
    QTest::addColumn<QString>("then");    // what the user does after the accepted solve
    QTest::addColumn<bool>("readsOut");   // the plate still belongs to the picture shown
    QTest::addColumn<bool>("calibrates"); // the calibration from the markers is offered
    QTest::newRow("same picture reloaded") << "reload" << true << true;
    QTest::newRow("same picture, another name") << "./field.png" << true << true;
    QTest::newRow("failed load: the picture stays") << "absent.png" << true << true;
    QTest::newRow("another picture loaded") << "other.png" << false << false;
    QTest::newRow("project opened on the same picture") << "open" << false << false;
    // The accepted plate stands; solutionValid is cleared by the new solve.
    QTest::newRow("solved again, every candidate declined") << "decline" << true << false;
    QTest::newRow("coefficients retyped, solved again") << "retype" << true << false;
}

void TestSolution::readoutsFollowThePicture()
{
    QFETCH(QString, then);
    QFETCH(bool, readsOut);
    QFETCH(bool, calibrates);
    SolveFixture f;
    Form1 &form = *f.form;
    useImagedJob(f, 30, false, 200, 11);
    f.dialogs.questionAnswers = {MsgBoxResult::Yes};
    form.startCalcul_Click();
    QCOMPARE(form.pickMode, PickMode::Coor);
    const auto clickAtFirstPick = [&] {
        form.Picture1_MouseMove(Qt::NoButton, Qt::NoModifier, float(form.selX[1]), float(form.selY[1]));
        form.Picture1_Click();
        return f.statusLines().value(0);
    };
    const QString reading = clickAtFirstPick();

    if (then == QStringLiteral("decline")) {
        f.dialogs.questionAnswers = {MsgBoxResult::No, MsgBoxResult::No, MsgBoxResult::No, MsgBoxResult::No};
        form.startCalcul_Click();
    } else if (then == QStringLiteral("retype")) {
        form.txt_corrasd->setText(CStr(2 * Val(form.txt_corrasd->text())));
        form.startCalcul_Click();
    } else if (then == QStringLiteral("open")) {
        f.dialogs.fileAnswers = {f.path(QStringLiteral("job.pam")), f.path(QStringLiteral("job.pam"))};
        form.mnu_save_Click();
        form.mnu_open_Click();
    } else {
        drawStarField(1000, 800, {{500, 400}}).save(f.path(QStringLiteral("other.png")));
        if (then != QStringLiteral("reload"))
            form.txt_url->setText(then);
        form.Loadimg_Click();
    }

    // Hovering the first pick's marker; clicking there.
    const PlanePoint marker = markerCentre(form, kChosen[0]);
    form.info->clear();
    form.Picture1_MouseMove(Qt::NoButton, Qt::NoModifier, float(marker.x), float(marker.y));
    QCOMPARE(form.info->text().startsWith(QStringLiteral("U0750_")), readsOut);
    const QString line = clickAtFirstPick();
    if (readsOut)
        QCOMPARE(line, reading);
    else
        QCOMPARE(line, QStringLiteral("Clic : pas de solution pour cette image (3-Calcul)"));
    // The calibration from the markers needs an accepted solve on the picture shown.
    form.mnu_superetalonage_Click();
    QCOMPARE(form.pickMode == PickMode::SuperEtalo, calibrates);
}

void TestSolution::fifthPickUnderWizard_data()
{
    QTest::addColumn<int>("wizardStatus");
    QTest::addColumn<bool>("solves");
    QTest::newRow("wizard finished") << 1 << true;
    QTest::newRow("no wizard") << 0 << false;
}

void TestSolution::fifthPickUnderWizard()
{
    QFETCH(int, wizardStatus);
    QFETCH(bool, solves);
    SolveFixture f;
    Form1 &form = *f.form;
    const Field field = realisticField(37, true);
    f.useField(field);
    f.useImage(field, 1000, 800);
    form.Loadimg_Click();
    QVERIFY(form.imageLoaded);
    f.usePicks(synthetic::picksOn(field, kChosen, 0.0, 1));
    form.selectionDone = false;
    form.pickMode = PickMode::Select;
    form.clickCount = 4;
    form.WizardStatus = wizardStatus;
    f.dialogs.questionAnswers = {MsgBoxResult::Yes};

    // The fifth pick, a pixel beside the fifth star.
    const PlanePoint fifth = field.pixel[size_t(kChosen[4])];
    form.mouseX = int(std::nearbyint(fifth.x)) + 1;
    form.mouseY = int(std::nearbyint(fifth.y)) - 1;
    form.doselect();

    QVERIFY(form.selectionDone);
    QCOMPARE(form.WizardStatus, 0);
    QCOMPARE(form.solutionValid, solves);
    QCOMPARE(form.pickMode, solves ? PickMode::Coor : PickMode::Zero);
    QCOMPARE(f.statusLines().contains(QStringLiteral("M5")), solves);
}

QTEST_MAIN(TestSolution)
#include "tst_solution.moc"
