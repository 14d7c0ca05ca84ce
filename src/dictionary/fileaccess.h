#pragma once

#include <QString>

namespace Verarov {

// Refusal of openForReading for what exists but is not a regular file nor a
// folder (a FIFO, a device, a socket); no system error has this number.
inline constexpr int kNotRegularFile = -1;

// Opens an existing regular file for reading with the C runtime and returns
// its descriptor, or -1 with *error set to the system error number, EISDIR
// for a folder, kNotRegularFile for anything else.  Never waits: a FIFO
// without writer is refused, not waited for.  The type is checked on the
// opened descriptor, so nothing can be swapped in between.
int openForReading(const QString &path, int *error);

// Closes a descriptor of openForReading.
void closeDescriptor(int fd);

// The French message of a failure to open or read an input, from the error
// of openForReading or of a read.
//   ENOENT -> "Impossible de trouver le fichier spécifié"
//   EISDIR -> "Le fichier spécifié est un dossier"
//   anything rare -> "Erreur E/S %d"
QString inputErrorMessage(int error);

// The French message of a failure to write an output.
//   ENOSPC -> "Espace insuffisant sur le disque"
QString writeErrorMessage(int error);

} // namespace Verarov
