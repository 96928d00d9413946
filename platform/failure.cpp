#include "platform/failure.h"

#include <QDir>

QString failureDescription(FailureCode code)
{
    switch (code) {
    case FailureCode::InvalidProcedureCall: return QStringLiteral("Argument ou appel de procédure incorrect");
    case FailureCode::Overflow: return QStringLiteral("Dépassement de capacité");
    case FailureCode::OutOfMemory: return QStringLiteral("Mémoire insuffisante");
    case FailureCode::DivisionByZero: return QStringLiteral("Division par zéro");
    case FailureCode::SubscriptOutOfRange: return QStringLiteral("L'indice n'appartient pas à la sélection");
    case FailureCode::TypeMismatch: return QStringLiteral("Incompatibilité de type");
    case FailureCode::BadFileName: return QStringLiteral("Nom ou numéro de fichier incorrect");
    case FailureCode::FileNotFound: return QStringLiteral("Fichier introuvable");
    case FailureCode::DeviceIoError: return QStringLiteral("Erreur d'entrée/sortie de périphérique");
    case FailureCode::DiskFull: return QStringLiteral("Disque plein");
    case FailureCode::ReadPastEnd: return QStringLiteral("Tentative de lecture au-delà de la fin du fichier");
    case FailureCode::PermissionDenied: return QStringLiteral("Permission refusée");
    case FailureCode::PathFileAccessError: return QStringLiteral("Erreur d'accès au chemin/fichier");
    case FailureCode::PathNotFound: return QStringLiteral("Chemin d'accès introuvable");
    case FailureCode::InvalidFileFormat: return QStringLiteral("Format de fichier non valide");
    case FailureCode::InvalidPropertyValue: return QStringLiteral("Valeur de propriété non valide");
    case FailureCode::InvalidPicture: return QStringLiteral("Image incorrecte");
    case FailureCode::TransferFailed: return QStringLiteral("Échec du transfert");
    case FailureCode::ImageTooLarge: return QStringLiteral("Image trop grande (plus de 1 Go une fois décodée)");
    }
    return QStringLiteral("Erreur définie par l'application ou par l'objet");
}

Failure::Failure(FailureCode code)
    : Failure(code, failureDescription(code))
{
}

Failure::Failure(FailureCode code, const QString &description)
    : std::runtime_error(description.toStdString()), code_(code), description_(description)
{
}

QString saveFailureText(const QString &path, const Failure &failure)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(" : ") + failure.description();
}
