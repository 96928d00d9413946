#pragma once
// The program's own folder, where lang.cfg, aide.rtf, defaut.cfg, config.cfg
// and the catalogue answer file live. Windows receive it from the start
// routine, so tests can hand them a temporary folder.

#include <QString>

// The folder of the running executable.
QString defaultProgramFolder();

// `path` unchanged when absolute, else taken relative to `folder`.
QString resolveInProgramFolder(const QString &folder, const QString &path);

// The fixed name of the file the catalogue answer is stored in.
inline constexpr const char *kAnswerFileName = "data.txt";
