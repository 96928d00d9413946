#pragma once
// Failures the program reports to the user. Each has a numeric code and the
// runtime's usual short French description, taken from one table.

#include <QString>
#include <stdexcept>

enum class FailureCode {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIoError = 57,
    DiskFull = 61,
    ReadPastEnd = 62,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    InvalidFileFormat = 321,
    InvalidPropertyValue = 380,
    InvalidPicture = 481,
    TransferFailed = 12029,
    ImageTooLarge = 31001,
};

// The description shown for a failure code ("Fichier introuvable", ...).
QString failureDescription(FailureCode code);

class Failure : public std::runtime_error {
public:
    explicit Failure(FailureCode code);
    // A failure with a description of its own, in French like the table.
    Failure(FailureCode code, const QString &description);

    FailureCode code() const { return code_; }
    const QString &description() const { return description_; }

private:
    FailureCode code_;
    QString description_;
};

// A failed save as its box says it: the file, then what went wrong, as the
// download's failure line names its file ("/home/u/job.pam : Permission
// refusée").
QString saveFailureText(const QString &path, const Failure &failure);
