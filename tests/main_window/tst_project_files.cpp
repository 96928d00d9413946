// Project files and the defaults file: formats, dialogs, failures.

#include "main_window/job_lines.h"
#include "platform/check_value.h"
#include "platform/text_file.h"
#include "support/catalogue_fixture.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include <optional>

using namespace testing;

class TestProjectFiles : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void extension_data();
    void extension();
    void dialogSettingsAndCancel();
    void shortProjectFile_data();
    void shortProjectFile();
    void signLineSetsLabelOnly();
    void imageAfterOpening();
    void checkBoxLine_data();
    void checkBoxLine();
    void openResetsMarksAndFlags();
    void saveFailureKeepsOldFile();
    void saveOnAFullDiskKeepsOldFile();
    void defaultsFile();
    void defaultsFileFailureIsReported();
};

namespace {
const QStringList kProject = {
    "12",   "2599.43", "2601.5", "22",  "01", "11", "+", "20 ",  "2000.0",
    "13,5", "16",      "01",     "34",  "50", "7",  "C:\\ciel\\m33 été.jpg", "1"};

QStringList projectFieldValues(const Form1 &form)
{
    QStringList values;
    for (const JobLine &line : projectLines(form))
        values << line.value();
    return values;
}

// A frame whose bytes hold many more than 17 line ends.
QImage manyStars()
{
    std::vector<SyntheticStar> stars;
    for (int k = 0; k < 400; ++k)
        stars.push_back({double((k * 37) % 390 + 5), double((k * 53) % 290 + 5), 60.0 + (k * 29) % 190});
    return drawStarField(400, 300, stars);
}

QByteArray crlfJoined(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += l.toUtf8() + "\r\n";
    return bytes;
}
} // namespace

void TestProjectFiles::roundTrip_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::newRow("blanks, signs, accents")
        << QStringList{" 10", "2599.43", "2601", "-5", "3", "4.", "-", "  ", "2000.0",
                       "13,5", "16", "1", "34", "50", "7", "dossier/ciel é ß.png", "2"};
    // Longer than the two characters the position boxes take when typed.
    QTest::newRow("position texts past two characters")
        << QStringList{"10", "3600", "3600", "-22", "030", "11.75", "+", "20", "2000.0",
                       "13", "16", "1", "34", "50.25", "7", "sky.png", "1"};
}

void TestProjectFiles::roundTrip()
{
    QFETCH(QStringList, values);
    FormFixture source;
    const auto lines = projectLines(*source.form);
    QCOMPARE(int(lines.size()), 17);
    for (int i = 0; i < 17; ++i)
        lines[size_t(i)].store(values[i]);
    QCOMPARE(projectFieldValues(*source.form), values);

    const QString path = source.path("job.pam");
    source.dialogs.fileAnswers.push_back(path);
    source.form->mnu_save_Click();
    QCOMPARE(readFile(path), crlfJoined(values));

    FormFixture target;
    target.dialogs.fileAnswers.push_back(path);
    target.form->mnu_open_Click();
    QCOMPARE(projectFieldValues(*target.form), values);
    // The next save writes them back unchanged.
    const QString again = target.path("again.pam");
    target.dialogs.fileAnswers.push_back(again);
    target.form->mnu_save_Click();
    QCOMPARE(readFile(again), crlfJoined(values));
}

void TestProjectFiles::extension_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "job" << "job.pam";
    QTest::newRow("has .pam") << "job.pam" << "job.pam";
    QTest::newRow("capital .PAM") << "job.PAM" << "job.PAM.pam";
    QTest::newRow(".pam in a folder") << "a.pam.d/job" << "a.pam.d/job";
}

void TestProjectFiles::extension()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    FormFixture f;
    QDir(f.folder.path()).mkdir("a.pam.d");
    f.dialogs.fileAnswers.push_back(f.path(chosen));
    f.form->mnu_save_Click();
    QVERIFY2(QFile::exists(f.path(written)), qPrintable(written));
    QCOMPARE(splitTextLines(decodeText(readFile(f.path(written)))).size(), 17);
    QVERIFY(f.dialogs.messages().isEmpty());
}

void TestProjectFiles::dialogSettingsAndCancel()
{
    FormFixture f;
    f.tables.MessageTexts[12] = "Ouvrir";
    f.tables.MessageTexts[13] = "Projet (*.pam)|*.pam";
    f.tables.MessageTexts[14] = "Enregistrer";
    const QStringList before = projectFieldValues(*f.form);
    f.form->mnu_open_Click(); // cancelled: empty answer
    f.form->mnu_save_Click();
    QCOMPARE(int(f.dialogs.shown.size()), 2);
    const auto &open = f.dialogs.shown[0];
    QCOMPARE(open.kind, ScriptedDialogs::Shown::Open);
    QCOMPARE(open.request.title, QStringLiteral("Ouvrir"));
    QCOMPARE(open.request.filter, QStringLiteral("Projet (*.pam)|*.pam"));
    QCOMPARE(open.request.initialFolder, f.folder.path());
    QCOMPARE(f.dialogs.shown[1].kind, ScriptedDialogs::Shown::Save);
    QCOMPARE(f.dialogs.shown[1].request.title, QStringLiteral("Enregistrer"));
    QCOMPARE(projectFieldValues(*f.form), before);
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), QStringList());
    QCOMPARE(qtFileFilter("Projet (*.pam)|*.pam"), QStringLiteral("Projet (*.pam)"));
    QCOMPARE(qtFileFilter("Projet|*.pam|Tous|*.*"), QStringLiteral("Projet (*.pam);;Tous (*.*)"));
}

void TestProjectFiles::shortProjectFile_data()
{
    QTest::addColumn<QString>("file"); // what lies under the project's name
    QTest::addColumn<QString>("message");
    const QString pastEnd = QStringLiteral("Tentative de lecture au-delà de la fin du fichier");
    QTest::newRow("16 lines") << "16 lines" << pastEnd;
    // Opening it would wait for a writer for ever: it is a missing file.
    QTest::newRow("a named pipe") << "pipe" << QStringLiteral("Fichier introuvable");
    // Not projects at all: their lines must not end up in the fields.
    QTest::newRow("a three-line note") << "note" << pastEnd;
    QTest::newRow("an image") << "image" << QStringLiteral("Incompatibilité de type");
}

void TestProjectFiles::shortProjectFile()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    FormFixture f;
    f.form->txt_url->setText("old.png");
    f.form->txt_epoch->setText("2000.0"); // disabled: the user cannot type it again
    f.form->imageLoaded = true;
    f.form->solutionValid = true;
    f.form->star[3].Visible = true;
    const QStringList before = projectFieldValues(*f.form);
    const QString path = f.path("short.pam");
    std::optional<UnwrittenPipe> namedPipe;
    if (file == "pipe")
        QVERIFY(namedPipe.emplace(path).created());
    else if (file == "note")
        writeFile(path, "Champ M33\r\nSeeing 3''\r\nA refaire\r\n");
    else if (file == "image")
        QVERIFY(manyStars().save(path, "PNG"));
    else
        writeFile(path, crlfJoined(kProject.mid(0, 16)));
    f.dialogs.fileAnswers.push_back(path);
    f.form->mnu_open_Click();
    QVERIFY(!namedPipe || !namedPipe->released());
    // Nothing of what was read is stored: every field, the epoch box and the
    // sign label hold what they held.
    QCOMPARE(projectFieldValues(*f.form), before);
    QCOMPARE(f.dialogs.messages(), QStringList{message});
    QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::OkOnlyWarning);
    // No reload, no flag reset, no mark hidden.
    QVERIFY(f.form->imageLoaded);
    QVERIFY(f.form->solutionValid);
    QVERIFY(f.form->star[3].Visible);
}

void TestProjectFiles::signLineSetsLabelOnly()
{
    FormFixture f;
    QStringList lines = kProject;
    lines[6] = "-";
    lines[7] = "20"; // no blank in the query
    const QString path = f.path("south.pam");
    writeFile(path, crlfJoined(lines));
    f.dialogs.fileAnswers.push_back(path);
    f.form->mnu_open_Click();
    QCOMPARE(f.form->txt_dec_sign_show[0]->text(), QStringLiteral("-"));
    QVERIFY(f.form->txt_dec_sign[1]->isChecked());
    QVERIFY(!f.form->txt_dec_sign[0]->isChecked());
    // The next query takes the label's sign.
    CatalogueFixture service;
    service.pointAt(*f.form);
    f.form->DownloadData_Click();
    QCOMPARE(service.receivedTargets().size(), 1);
    QVERIFY2(service.receivedTargets().constFirst().contains("dec=-22+01+11"),
             service.receivedTargets().constFirst().constData());
}

void TestProjectFiles::imageAfterOpening()
{
    FormFixture f;
    QVERIFY(drawStarField(120, 90, {{40, 30}, {80, 60}}).save(f.path("sky.png")));
    QStringList lines = kProject;
    lines[15] = "sky.png";
    const QString path = f.path("sky.pam");
    writeFile(path, crlfJoined(lines));
    f.dialogs.fileAnswers.push_back(path);
    f.form->mnu_open_Click();
    QVERIFY(f.dialogs.messages().isEmpty());
    QVERIFY(f.form->Picture1->hasPicture()); // the image shows...
    QVERIFY(!f.form->imageLoaded);           // ...but counts as not loaded
    // The calibration by image refuses until the image is loaded again...
    f.form->mnu_etalonage_Click();
    QCOMPARE(f.form->pickMode, PickMode::Empty);
    QVERIFY(f.form->Frm[4]->isHidden());
    // ...while "2-Etoiles" loads it by itself and starts at once.
    f.form->SelectStar_Click();
    QCOMPARE(f.form->pickMode, PickMode::Select);
    QVERIFY(f.form->imageLoaded);
}

void TestProjectFiles::checkBoxLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("state");  // expected check value
    QTest::addColumn<bool>("fails");
    QTest::newRow("1 ticks") << "1" << 1 << false;
    QTest::newRow("0 clears") << "0" << 0 << false;
    QTest::newRow("2 greys") << "2" << 2 << false;
    QTest::newRow("letters fail") << "x" << 2 << true;
    QTest::newRow("3 refused") << "3" << 2 << true;
}

void TestProjectFiles::checkBoxLine()
{
    QFETCH(QString, line);
    QFETCH(int, state);
    QFETCH(bool, fails);
    FormFixture f;
    f.form->CheckDecideur->setCheckState(Qt::PartiallyChecked);
    QStringList lines = kProject;
    lines[16] = line;
    const QString path = f.path("check.pam");
    writeFile(path, crlfJoined(lines));
    f.dialogs.fileAnswers.push_back(path);
    const QStringList before = projectFieldValues(*f.form);
    f.form->mnu_open_Click();
    QCOMPARE(checkValueOf(f.form->CheckDecideur->checkState()), state);
    QCOMPARE(projectFieldValues(*f.form), fails ? before : lines);
    if (fails) {
        // The failure alone: the image is not reloaded after it.
        QCOMPARE(f.dialogs.messageCount(), 1);
        const QString message = f.dialogs.messages().constFirst();
        QVERIFY2(message == QStringLiteral("Incompatibilité de type")
                     || message == QStringLiteral("Valeur de propriété non valide"),
                 qPrintable(message));
    }
}

void TestProjectFiles::openResetsMarksAndFlags()
{
    FormFixture f;
    f.form->imageLoaded = true;
    f.form->solutionValid = true;
    f.form->selectionDone = true;
    f.form->pickMode = PickMode::Coor;
    f.form->mapState = "done";
    f.form->clickCount = 3;
    for (int i = 1; i <= 4000; i += 333)
        f.form->star[i].Visible = true;
    f.form->star[4000].Visible = true;
    for (int i = 1; i <= 5; ++i)
        f.form->clicpic[i].Visible = true;
    f.form->centerpic.Visible = true;
    const QString path = f.path("p.pam");
    writeFile(path, crlfJoined(kProject));
    f.dialogs.fileAnswers.push_back(path);
    f.form->mnu_open_Click();
    for (int i = 1; i <= 4000; ++i)
        QVERIFY(!f.form->star[i].Visible);
    for (int i = 1; i <= 5; ++i)
        QVERIFY(!f.form->clicpic[i].Visible);
    QVERIFY(!f.form->imageLoaded);
    QVERIFY(!f.form->solutionValid);
    QVERIFY(!f.form->selectionDone);
    // What opening leaves alone.
    QCOMPARE(f.form->pickMode, PickMode::Coor);
    QCOMPARE(f.form->mapState, QStringLiteral("done"));
    QCOMPARE(f.form->clickCount, 3);
    QVERIFY(f.form->centerpic.Visible);
}

void TestProjectFiles::saveFailureKeepsOldFile()
{
    FormFixture f;
    // A folder where the project file should be: the save cannot happen.
    QDir(f.folder.path()).mkdir("taken.pam");
    f.dialogs.fileAnswers.push_back(f.path("taken.pam"));
    f.form->mnu_save_Click();
    // The box names the file whose save failed.
    QCOMPARE(f.dialogs.messages(), QStringList{f.path("taken.pam") + " : Erreur d'accès au chemin/fichier"});
    QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::OkOnlyWarning);
    QVERIFY(QFileInfo(f.path("taken.pam")).isDir());

    // A read-only folder keeps its old project whole.
    QDir(f.folder.path()).mkdir("ro");
    const QString old = f.path("ro/job.pam");
    writeFile(old, crlfJoined(kProject));
    QFile::setPermissions(f.path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool writable = QFileInfo(f.path("ro")).isWritable();
    if (!writable) {
        f.dialogs.fileAnswers.push_back(old);
        f.form->mnu_save_Click();
        QCOMPARE(f.dialogs.messages().back(), old + " : Permission refusée");
        QCOMPARE(readFile(old), crlfJoined(kProject));
    }
    QFile::setPermissions(f.path("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (writable)
        QSKIP("running with rights that ignore folder permissions");
}

void TestProjectFiles::saveOnAFullDiskKeepsOldFile()
{
    // A full disk keeps the old project whole and says so.
    FormFixture f;
    SmallDisk disk;
    SKIP_WITHOUT_SMALL_DISK(disk);
    const QString onDisk = disk.path("job.pam");
    writeFile(onDisk, crlfJoined(kProject));
    disk.fill();
    f.dialogs.fileAnswers.push_back(onDisk);
    f.form->mnu_save_Click();
    QCOMPARE(f.dialogs.messages().back(), onDisk + " : Disque plein");
    QCOMPARE(readFile(onDisk), crlfJoined(kProject));
}

void TestProjectFiles::defaultsFile()
{
    FormFixture f;
    f.form->txt_calcul->setText("9");
    f.form->txt_corrasd->setText("2599,4");
    f.form->txt_url->setText("ciel.jpg");
    f.form->txt_ra[0]->setText("01");
    f.form->txt_dec[0]->setText("22");
    f.form->CheckDecideur->setCheckState(Qt::Checked);
    f.form->mnu_savedefaut_Click();
    const QByteArray written = readFile(f.path("defaut.cfg"));
    QCOMPARE(written, QByteArray("9\r\n2599.4\r\n\r\n20\r\n13\r\n16\r\n7\r\nciel.jpg\r\n1\r\n"));
    QVERIFY(!written.contains("2000.0"));
    QVERIFY(f.dialogs.shown.empty());

    // The next start reads it back.
    FormFixture next({{QStringLiteral("defaut.cfg"), written}});
    QCOMPARE(next.form->txt_corrasd->text(), QStringLiteral("2599.4"));
    QCOMPARE(next.form->txt_url->text(), QStringLiteral("ciel.jpg"));
    QCOMPARE(next.form->CheckDecideur->checkState(), Qt::Checked);
}

void TestProjectFiles::defaultsFileFailureIsReported()
{
    FormFixture f;
    QDir(f.folder.path()).mkdir("defaut.cfg"); // a folder in the file's place
    f.form->mnu_savedefaut_Click();
    QCOMPARE(f.dialogs.messages(), QStringList{f.path("defaut.cfg") + " : Erreur d'accès au chemin/fichier"});
    QCOMPARE(f.dialogs.shown.back().style, MsgBoxStyle::OkOnlyWarning);
}

QTEST_MAIN(TestProjectFiles)
#include "tst_project_files.moc"
