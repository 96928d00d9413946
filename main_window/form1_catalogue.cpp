// "1-Download" and the parse of the catalogue answer.

#include "main_window/form1.h"

#include "localisation/language_tables.h"
#include "main_window/catalogue_parser.h"
#include "main_window/catalogue_query.h"
#include "platform/numbers.h"
#include "platform/program_folder.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QString answerPath(const QString &programFolder)
{
    return resolveInProgramFolder(programFolder, QLatin1String(kAnswerFileName));
}
} // namespace

void Form1::connectCatalogue()
{
    connect(DownloadData, &QPushButton::clicked, this, &Form1::DownloadData_Click);
}

void Form1::DownloadData_Click()
{
    const QString epoch = txt_epoch->text();
    const QString ra = raQueryText(txt_ra[0]->text(), txt_ra[1]->text(), txt_ra[2]->text());
    const QString dec =
        decQueryText(txt_dec_sign_show[0]->text(), txt_dec[0]->text(), txt_dec[1]->text(), txt_dec[2]->text());
    const QString radius = txt_distance->text();
    LogStatus(lang->MessageTexts[8]);
    const QString magFaint = txt_mag->text();
    // Runs on the window thread: the window waits for the answer, which the
    // transfer's own time limits keep from lasting for ever.
    const QString writeFailure =
        QueryCatalogue(catalogueHost, answerPath(programFolder), epoch, ra, dec, radius, magFaint);
    // Otherwise an older answer left in place would be solved against in
    // silence.
    if (!writeFailure.isEmpty())
        LogStatus(QStringLiteral("Réponse du catalogue non enregistrée (%1) : %2")
                      .arg(answerPath(programFolder), writeFailure));
    LogStatus(lang->MessageTexts[9]);
}

void Form1::READFILE()
{
    LogStatus(lang->MessageTexts[18]);
    // No answer file (nothing was ever downloaded) or an unreadable one parses
    // like an empty answer.
    QByteArray bytes;
    QFile file(answerPath(programFolder));
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    file.close();
    parseCatalogueAnswer(bytes, scaleRa, scaleDec, stars);
    LogStatus(CStr(stars.starCount) + u'/' + CStr(stars.starTotal) + lang->MessageTexts[19]);
}
