// "1-Download" and the parse of the catalogue answer.

#include "main_window/form1.h"

#include "localisation/language_tables.h"
#include "astrometry/catalogue_parser.h"
#include "main_window/catalogue_query.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"

#include <QFileInfo>
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
    // The transfer runs on a thread of its own; the window keeps painting
    // behind a modal progress box, and the command ends when it has ended.
    const TransferWait wait = [this](const std::function<bool()> &finished, const std::function<void()> &cancel) {
        dialogs->ShowProgress(QStringLiteral("Téléchargement du catalogue…"), finished, cancel);
    };
    const DownloadOutcome outcome = QueryCatalogue(catalogueHost, answerPath(programFolder), epoch, ra, dec,
                                                   radius, magFaint, transferLimits, wait);
    // Where the older answer could be neither replaced nor emptied (a folder
    // the user may not write), it is still there, and must not be parsed.
    const QFileInfo left(answerPath(programFolder));
    answerOutdated = !outcome.written && left.isFile() && left.size() > 0;
    // An answer that could not be stored is no download either: the next
    // parse finds no catalogue, as after a failed transfer. An empty answer
    // would later read as a field without stars: say why.
    if (!outcome.ok())
        LogStatus(QStringLiteral("Échec du téléchargement du catalogue : %1")
                      .arg(downloadFailureText(outcome, answerPath(programFolder))));
    else
        LogStatus(lang->MessageTexts[9]);
}

QString Form1::downloadFailureText(const DownloadOutcome &outcome, const QString &answerPath)
{
    const QString &detail = outcome.detail;
    switch (outcome.code) {
    case DownloadCode::Success: return {};
    case DownloadCode::NoServer: return QStringLiteral("aucun serveur ne répond (%1)").arg(detail);
    case DownloadCode::TimedOut: return QStringLiteral("pas de réponse dans le délai");
    case DownloadCode::HttpStatus: return QStringLiteral("erreur %1 du service").arg(detail);
    case DownloadCode::AddressRefused: return QStringLiteral("adresse refusée (%1)").arg(detail);
    case DownloadCode::IncorrectAnswer: return QStringLiteral("réponse incorrecte du service");
    case DownloadCode::Interrupted: return QStringLiteral("réponse interrompue");
    case DownloadCode::TooManyRedirects: return QStringLiteral("trop de redirections");
    case DownloadCode::TooLarge: return QStringLiteral("réponse trop longue");
    case DownloadCode::Cancelled: return QStringLiteral("annulé");
    case DownloadCode::TransferError:
        return detail.isEmpty() ? QStringLiteral("erreur de transfert")
                                : QStringLiteral("erreur de transfert %1").arg(detail);
    case DownloadCode::NotWritten: return QStringLiteral("réponse non enregistrée (%1) : %2").arg(answerPath, detail);
    }
    return {};
}

void Form1::READFILE()
{
    LogStatus(lang->MessageTexts[18]);
    // No answer file (nothing was ever downloaded), an unreadable one, one
    // that is not a regular file (a pipe would block) or one larger than any
    // download may write parses like an empty answer.
    QByteArray bytes;
    if (answerOutdated) {
        // Parsed, an older field's answer would give a plausible, wrong table.
        LogStatus(QStringLiteral("Catalogue non lu : le dernier téléchargement n'a pas pu être enregistré dans %1, "
                                 "qui ne contient pas sa réponse")
                      .arg(answerPath(programFolder)));
    } else {
        try {
            bytes = readFileBytes(answerPath(programFolder), TransferLimits{}.maxBytes);
        } catch (const Failure &) {
        }
    }
    parseCatalogueAnswer(bytes, scaleRa, scaleDec, stars);
    LogStatus(CStr(stars.starCount) + u'/' + CStr(stars.starTotal) + lang->MessageTexts[19]);
}
