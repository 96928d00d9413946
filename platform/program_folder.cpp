#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>

QString defaultProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString resolveInProgramFolder(const QString &folder, const QString &path)
{
    if (QDir::isAbsolutePath(path))
        return path;
    return folder + QLatin1Char('/') + path;
}
