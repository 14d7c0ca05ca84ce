#pragma once

#include <QString>

namespace Verarov::Io {

// Refusal of openForReading for what exists but is not a regular file nor a
// folder (a FIFO, a device, a socket); no system error has this number.
inline constexpr int kNotRegularFile = -1;

// The French message of a failure to open or read an input, from the error
// of openForReading or of a read.
//   ENOENT -> "Impossible de trouver le fichier spécifié"
//   EISDIR -> "Le fichier spécifié est un dossier"
//   anything rare -> "Erreur E/S %d"
QString inputErrorMessage(int error);

// The French message of a failure to write an output.
//   ENOSPC -> "Espace insuffisant sur le disque"
QString writeErrorMessage(int error);

// "Impossible de créer le fichier "%s". %s": the output's full path and
// the reason, from a system error number.
QString createErrorMessage(const QString &path, int error);

// "Impossible de créer le dossier "%s". %s", likewise (ENOTDIR: what has
// the name, or a part of it, is not a folder).
QString createFolderErrorMessage(const QString &path, int error);

} // namespace Verarov::Io
