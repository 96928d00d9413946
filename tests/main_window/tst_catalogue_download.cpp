// "1-Download" and the parse of its answer in the main window, against the
// catalogue service running in-process.

#include "astrometry/catalogue_parser.h"
#include "platform/numbers.h"
#include "platform/program_folder.h"
#include "support/catalogue_fixture.h"
#include "support/modal_answers.h"
#include "support/raw_server.h"
#include "support/test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace testing;

class TestCatalogueDownload : public QObject {
    Q_OBJECT
private slots:
    void requestTarget_data();
    void requestTarget();
    void logLines();
    void failedDownloadIsSaid_data();
    void failedDownloadIsSaid();
    void blankInAFieldIsNoCrash();
    void newShorterAnswerReplacesTheOld();
    void readWithoutAnswerFile();
    void roundTrip_data();
    void roundTrip();
};

namespace {
void fillMessages(FormFixture &f)
{
    f.tables.MessageTexts[8] = QStringLiteral("Téléchargement du catalogue...");
    f.tables.MessageTexts[9] = QStringLiteral("Catalogue téléchargé");
    f.tables.MessageTexts[18] = QStringLiteral("Lecture du catalogue...");
    f.tables.MessageTexts[19] = QStringLiteral(" étoiles utilisées");
}

void setCentre(Form1 &form, const QStringList &ra, const QString &sign, const QStringList &dec)
{
    for (int i = 0; i < 3; ++i) {
        form.txt_ra[i]->setText(ra[i]);
        form.txt_dec[i]->setText(dec[i]);
    }
    form.txt_dec_sign_show[0]->setText(sign);
}

QStringList statusLines(const Form1 &form)
{
    QStringList lines;
    for (int i = 0; i < form.status->count(); ++i)
        lines << form.status->item(i)->text();
    return lines;
}

// Stars around RA 1h34m50s (23.70833 deg), Dec +22 01 11 (22.01972 deg),
// with their magnitudes out of order.
std::vector<catalogue::Star> fieldStars()
{
    std::vector<catalogue::Star> stars;
    for (int k = 1; k <= 60; ++k) {
        catalogue::Star s;
        s.id = QStringLiteral("U1125-%1").arg(k, 8, 10, QLatin1Char('0'));
        s.raDeg = 23.70833 + 0.004 * ((k * 7) % 23 - 11);
        s.decDeg = 22.01972 + 0.003 * ((k * 5) % 19 - 9);
        s.magnitude = 9.0 + ((k * 13) % 40) / 10.0;
        stars.push_back(s);
    }
    // Far outside the 20' field.
    stars.push_back({QStringLiteral("U1125-99999999"), 40.0, 22.0, 8.0});
    return stars;
}

QString answerPath(const FormFixture &f)
{
    return f.path(QStringLiteral("data.txt"));
}

// A main window pointed at a service over `stars`, centred on the field,
// with the catalogue's log texts filled in.
struct Job {
    CatalogueFixture catalogue;
    FormFixture f;
    Form1 &form;
    explicit Job(std::vector<catalogue::Star> stars = fieldStars(),
                 const std::vector<std::pair<QString, QByteArray>> &files = {})
        : catalogue(std::move(stars)), f(files), form(*f.form)
    {
        fillMessages(f);
        catalogue.pointAt(form);
        setCentre(form, {"1", "34", "50"}, "+", {"22", "01", "11"});
    }
};
} // namespace

void TestCatalogueDownload::requestTarget_data()
{
    QTest::addColumn<QStringList>("ra");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("target");
    const QString start = "/skycat/servers/usnoa_res?catalogue=usnoa&epoch=2000.0&chart=0&ra=";
    const QString end = "&object=&radmax=20&magbright=0&magfaint=13.&format=2&sort=mr&nout=5000";
    QTest::newRow("northern") << QStringList{"1", "34", "50"} << "+" << start + "1+34+50&dec=22+01+11" + end;
    QTest::newRow("southern") << QStringList{"1", "34", "50"} << "-" << start + "1+34+50&dec=-22+01+11" + end;
    QTest::newRow("empty seconds") << QStringList{"1", "34", ""} << "+" << start + "1+34+&dec=22+01+11" + end;
}

void TestCatalogueDownload::requestTarget()
{
    QFETCH(QStringList, ra);
    QFETCH(QString, sign);
    QFETCH(QString, target);
    Job job(std::vector<catalogue::Star>{});
    setCentre(job.form, ra, sign, {"22", "01", "11"});
    job.form.txt_distance->setText("20");
    job.form.txt_mag->setText("13");
    job.form.DownloadData->click();
    QCOMPARE(job.catalogue.receivedTargets(), QList<QByteArray>{target.toLatin1()});
    QVERIFY(QFileInfo(answerPath(job.f)).isFile());
}

void TestCatalogueDownload::logLines()
{
    Job job;
    job.form.DownloadData_Click();
    // Newest first; the download does not touch the star table.
    QCOMPARE(statusLines(job.form), (QStringList{"Catalogue téléchargé", "Téléchargement du catalogue..."}));
    QCOMPARE(job.f.dialogs.progressShown, QStringList{QStringLiteral("Téléchargement du catalogue…")});
    QCOMPARE(job.form.stars.starTotal, 0);

    job.form.scaleRa = 1;
    job.form.scaleDec = 1;
    job.form.READFILE();
    const int inCone = job.form.stars.starTotal;
    QVERIFY(inCone > 10 && inCone < 61);
    QCOMPARE(statusLines(job.form).mid(0, 2),
             (QStringList{QStringLiteral("%1/%1 étoiles utilisées").arg(inCone), "Lecture du catalogue..."}));
}

namespace {
// What the user does while the transfer runs.
enum UserDuringTransfer {
    Waits,
    PressesAnnuler,
    PressesAnnulerInTheBox,
    ClosesTheWindow,
    PressesAnnulerAfterTheWindowInFrontWent,
};
} // namespace

void TestCatalogueDownload::failedDownloadIsSaid_data()
{
    // "stopped", "bad query", what a test server answers ("/..."), what a
    // listener outside HTTP answers ("raw:..."), or why the answer cannot be
    // written ("folder in its place", "full disk")
    QTest::addColumn<QString>("service");
    QTest::addColumn<int>("user");
    QTest::addColumn<QString>("reason"); // %1: the host asked, %2: the answer file
    QTest::newRow("no service") << "stopped" << int(Waits) << "aucun serveur ne répond (%1)";
    QTest::newRow("error page") << "bad query" << int(Waits) << "erreur 400 du service";
    QTest::newRow("another protocol on the port")
        << "raw:SSH-2.0-OpenSSH_9.2p1\r\n" << int(Waits) << "réponse incorrecte du service";
    QTest::newRow("answer cannot be written") << "folder in its place" << int(Waits)
                                              << "réponse non enregistrée (%2) : Erreur d'accès au chemin/fichier";
    QTest::newRow("full disk") << "full disk" << int(Waits) << "réponse non enregistrée (%2) : Disque plein";
    // A program folder the user cannot write: the older answer can be neither
    // replaced nor emptied.
    QTest::newRow("read-only folder") << "read-only" << int(Waits)
                                      << "réponse non enregistrée (%2) : Permission refusée";
    QTest::newRow("stalled service") << "/stall" << int(Waits) << "pas de réponse dans le délai";
    QTest::newRow("Annuler") << "/stall" << int(PressesAnnuler) << "annulé";
    QTest::newRow("Annuler in the progress box") << "/stall" << int(PressesAnnulerInTheBox) << "annulé";
    QTest::newRow("window closed") << "/stall" << int(ClosesTheWindow) << "annulé";
    QTest::newRow("Annuler after the window in front went")
        << "/stall" << int(PressesAnnulerAfterTheWindowInFrontWent) << "annulé";
}

void TestCatalogueDownload::failedDownloadIsSaid()
{
    QFETCH(QString, service);
    QFETCH(int, user);
    QFETCH(QString, reason);
    Job job(fieldStars(), {{QStringLiteral("data.txt"), QByteArray(3000, 'x')}});
    RawServer hostile(service.startsWith(u'/') ? service.toStdString() : "/body");
    if (service == QStringLiteral("stopped"))
        job.catalogue.stop();
    else if (service == QStringLiteral("bad query"))
        job.form.txt_ra[0]->setText(QStringLiteral("x"));
    else if (service.startsWith(QStringLiteral("raw:")))
        job.form.catalogueHost = hostile.rawHost(service.mid(4).toLatin1());
    else
        job.form.catalogueHost = hostile.host();
    // Short limits stand in for the minutes the program waits. When the user
    // acts they outlast the wait for the box, so that a box that does not
    // come fails the case within seconds; the reason tells what ended the
    // transfer ("annulé", not "pas de réponse dans le délai").
    job.form.transferLimits = user == Waits ? TransferLimits{2, 1, 2, 100000} : TransferLimits{10, 10, 20, 100000};

    QtDialogs realDialogs;
    QString boxLabel, boxButton;
    ModalAnswers answers;
    const bool answersTheBox = user == PressesAnnulerInTheBox || user == PressesAnnulerAfterTheWindowInFrontWent;
    if (user == PressesAnnuler)
        job.f.dialogs.cancelProgress = true;
    if (answersTheBox) {
        job.form.dialogs = &realDialogs;
        // The window's events go on: this runs during the transfer.
        answers.then<QProgressDialog>([&](QProgressDialog &box) {
            boxLabel = box.labelText();
            QPushButton *button = box.findChild<QPushButton *>();
            QVERIFY(button);
            boxButton = button->text();
            button->click();
        });
    }
    QPointer<QWidget> inFront;
    if (user == PressesAnnulerAfterTheWindowInFrontWent) {
        // A window of its own (as the help window is) is in front when the
        // wait begins, and goes for good before the box is due.
        inFront = new QWidget;
        inFront->setAttribute(Qt::WA_DeleteOnClose);
        inFront->show();
        QApplication::setActiveWindow(inFront);
        QVERIFY(QTest::qWaitForWindowActive(inFront));
        QTimer::singleShot(100, inFront, &QWidget::close);
    }
    if (user == ClosesTheWindow) {
        job.form.dialogs = &realDialogs;
        job.form.show();
        job.form.endProgram = [] { QCoreApplication::exit(0); };
        QTimer::singleShot(100, &job.form, [&] { job.form.close(); });
    }
    // The service answers, but the answer cannot be written where it goes.
    SmallDisk disk;
    const bool readOnly = service == QStringLiteral("read-only");
    const bool unwritable =
        service == QStringLiteral("folder in its place") || service == QStringLiteral("full disk") || readOnly;
    if (unwritable)
        job.catalogue.pointAt(job.form);
    if (service == QStringLiteral("folder in its place")) {
        QVERIFY(QFile::remove(answerPath(job.f)));
        QVERIFY(QDir(job.f.folder.path()).mkdir(QStringLiteral("data.txt")));
    } else if (service == QStringLiteral("full disk")) {
        SKIP_WITHOUT_SMALL_DISK(disk);
        job.form.programFolder = QFileInfo(disk.path(QStringLiteral("data.txt"))).path();
        disk.fill();
    } else if (readOnly) {
        // The answer of another field, left by an earlier download.
        SKIP_WITHOUT_SMALL_DISK(disk);
        job.form.programFolder = QFileInfo(disk.path(QStringLiteral("data.txt"))).path();
        writeFile(disk.path(QStringLiteral("data.txt")), catalogue::answerPage(fieldStars()));
        if (!disk.makeReadOnly())
            QSKIP(qPrintable(disk.whyNot()));
    }
    const QString answer = resolveInProgramFolder(job.form.programFolder, QStringLiteral("data.txt"));
    reason.replace(QStringLiteral("%2"), answer);

    job.form.DownloadData_Click();

    if (user == ClosesTheWindow) {
        // The end of the program was asked with no main loop running; one
        // must run and end before any later event loop can run again.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
    QVERIFY2(answers.done(), qPrintable(answers.failures()));
    QVERIFY(!inFront);
    // Most reasons name no host: replaced, not arg(), which warns on those.
    reason.replace(QStringLiteral("%1"), job.form.catalogueHost);
    QCOMPARE(statusLines(job.form), (QStringList{"Échec du téléchargement du catalogue : " + reason,
                                                 "Téléchargement du catalogue..."}));
    if (unwritable) {
        // The failure was the last word, never "Catalogue téléchargé", and
        // no older answer passes for this one: none is left, or the one left
        // is not parsed, and the list says why.
        QCOMPARE(QFileInfo(answer).isFile(), readOnly);
        job.form.scaleRa = 1;
        job.form.scaleDec = 1;
        job.form.READFILE();
        QCOMPARE(job.form.stars.starTotal, 0);
        QCOMPARE(job.form.stars.starCount, 0);
        QStringList parseLines{"0/0 étoiles utilisées", "Lecture du catalogue..."};
        if (readOnly)
            parseLines.insert(1, "Catalogue non lu : le dernier téléchargement n'a pas pu être enregistré dans "
                                     + answer + ", qui ne contient pas sa réponse");
        QCOMPARE(statusLines(job.form).mid(0, parseLines.size()), parseLines);
        if (!readOnly)
            return;
        // Once a download is stored again (in a folder the user may write),
        // its answer is parsed again.
        job.form.programFolder = job.f.folder.path();
        job.form.DownloadData_Click();
        job.form.READFILE();
        QVERIFY(job.form.stars.starTotal > 10);
        return;
    }
    QVERIFY(QFileInfo(answerPath(job.f)).isFile());
    QCOMPARE(QFileInfo(answerPath(job.f)).size(), 0);
    if (answersTheBox) {
        QCOMPARE(boxLabel, QStringLiteral("Téléchargement du catalogue…"));
        QCOMPARE(boxButton, QStringLiteral("Annuler"));
    }

    job.form.READFILE();
    QCOMPARE(job.form.stars.starTotal, 0);
    QCOMPARE(job.form.stars.starCount, 0);
    QCOMPARE(statusLines(job.form).first(), QStringLiteral("0/0 étoiles utilisées"));
}

void TestCatalogueDownload::blankInAFieldIsNoCrash()
{
    // The texts go into the URL unchecked; whatever the transfer makes of
    // it, the command ends normally and the answer file exists.
    Job job;
    job.form.txt_ra[1]->setText("3 4");
    job.form.txt_distance->setText("2&0");
    job.form.DownloadData_Click();
    QVERIFY(QFileInfo(answerPath(job.f)).isFile());
    QCOMPARE(statusLines(job.form).size(), 2);
    job.form.READFILE();
    QCOMPARE(job.form.stars.starTotal, 0);
}

void TestCatalogueDownload::newShorterAnswerReplacesTheOld()
{
    Job job;
    job.form.txt_mag->setText("20");
    job.form.DownloadData_Click();
    const QByteArray longer = readFile(answerPath(job.f));
    job.form.txt_mag->setText("10");
    job.form.DownloadData_Click();
    const QByteArray shorter = readFile(answerPath(job.f));
    QVERIFY(shorter.size() < longer.size());
    QVERIFY(shorter.endsWith("</html>\n"));
    QCOMPARE(shorter.count("</html>"), 1);

    job.form.READFILE();
    QVERIFY(job.form.stars.starTotal > 0);
    for (int k = 1; k <= job.form.stars.starTotal; ++k)
        QVERIFY(job.form.stars.starMag[k].toDouble() <= 10.0);
}

void TestCatalogueDownload::readWithoutAnswerFile()
{
    // Nothing was ever downloaded; an earlier table must not survive as if
    // it were this parse.
    FormFixture f;
    fillMessages(f);
    f.form->stars.starTotal = 12;
    f.form->stars.starCount = 12;
    f.form->READFILE();
    QCOMPARE(f.form->stars.starTotal, 0);
    QCOMPARE(f.form->stars.starCount, 0);
    QCOMPARE(statusLines(*f.form), (QStringList{"0/0 étoiles utilisées", "Lecture du catalogue..."}));

    // A folder in the answer file's place cannot be read either.
    QVERIFY(QDir(f.folder.path()).mkdir("data.txt"));
    f.form->READFILE();
    QCOMPARE(f.form->stars.starTotal, 0);

    // Nor a named pipe, which would block the window for ever.
    QVERIFY(QDir(f.folder.path()).rmdir("data.txt"));
    {
        const UnwrittenPipe pipe(f.path("data.txt"));
        QVERIFY(pipe.created());
        f.form->READFILE();
        QVERIFY(!pipe.released());
        QCOMPARE(f.form->stars.starTotal, 0);
    }

    // Nor an answer larger than any download may be, however well it starts.
    QVERIFY(QFile::remove(f.path("data.txt")));
    QFile answer(f.path("data.txt"));
    QVERIFY(answer.open(QIODevice::WriteOnly));
    answer.write(catalogue::answerPage(fieldStars()));
    QVERIFY(answer.resize(TransferLimits{}.maxBytes + 1)); // sparse: no disk used
    answer.close();
    f.form->READFILE();
    QCOMPARE(f.form->stars.starTotal, 0);
}

void TestCatalogueDownload::roundTrip_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point locale") << pointLocale();
    QTest::newRow("comma locale") << commaLocale();
}

void TestCatalogueDownload::roundTrip()
{
    QFETCH(QLocale, locale);
    ScopedLocale scoped(locale);
    const std::vector<catalogue::Star> stars = fieldStars();
    Job job(stars);
    job.form.txt_distance->setText("20");
    job.form.txt_mag->setText("13");
    job.form.DownloadData_Click();
    job.form.scaleRa = 3600;
    job.form.scaleDec = -3600;
    job.form.READFILE();

    // Expected: the stars of the list in the cone, not fainter than 13,
    // brightest first, each as the columns of its record hold it.
    const double centreRa = (1 + 34 / 60.0 + 50 / 3600.0) * 15, centreDec = 22 + 1 / 60.0 + 11 / 3600.0;
    std::vector<catalogue::Star> expected;
    for (const catalogue::Star &s : stars)
        if (s.magnitude <= 13.0 && catalogue::angularDistanceDeg(centreRa, centreDec, s.raDeg, s.decDeg) <= 20 / 60.0)
            expected.push_back(s);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const catalogue::Star &a, const catalogue::Star &b) { return a.magnitude < b.magnitude; });
    const StarTable &table = job.form.stars;
    QCOMPARE(table.starTotal, int(expected.size()));
    QVERIFY(table.starTotal > 20);
    for (int k = 1; k <= table.starTotal; ++k) {
        const catalogue::Star &s = expected[size_t(k - 1)];
        QCOMPARE(table.starId[k], s.id);
        const double raColumns = QString::number(s.raDeg, 'f', 5).toDouble();
        const double decColumns = QString::number(s.decDeg, 'f', 5).toDouble();
        QCOMPARE(table.starX[k], roundHalfEven(raColumns * 3600));
        QCOMPARE(table.starY[k], roundHalfEven(decColumns * -3600));
        QCOMPARE(table.starMag[k], QString::number(s.magnitude, 'f', 1).rightJustified(4));
    }
}

QTEST_MAIN(TestCatalogueDownload)
#include "tst_catalogue_download.moc"
