#include "io/messages.h"

#include "io/names.h"

#include <QFileInfo>

#include <cerrno>

namespace Verarov::Io {

using namespace Qt::StringLiterals;

QString inputErrorMessage(int error)
{
    switch (error) {
    case ENOENT:
        return u"Impossible de trouver le fichier spécifié"_s;
    case EACCES:
    case EPERM:
        return u"Accès au fichier refusé"_s;
    case EMFILE:
    case ENFILE:
        return u"Trop de fichiers ouverts"_s;
    case EISDIR:
        return u"Le fichier spécifié est un dossier"_s;
    case kNotRegularFile:
        return u"Le fichier spécifié n'est pas un fichier ordinaire"_s;
    case ENOTDIR:
        return u"Une partie du chemin d'accès n'est pas un dossier"_s;
    case ENAMETOOLONG:
        return u"Le nom du fichier est trop long"_s;
#ifdef ELOOP
    case ELOOP:
        return u"Trop de liens symboliques dans le chemin d'accès"_s;
#endif
    default:
        return u"Erreur E/S %1"_s.arg(error);
    }
}

QString writeErrorMessage(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return u"Espace insuffisant sur le disque"_s;
    case EFBIG:
        return u"Le fichier dépasse la taille permise"_s;
    case EROFS:
        return u"Le disque est en lecture seule"_s;
    default:
        return u"Erreur E/S %1"_s.arg(error);
    }
}

namespace {

QString createReason(int error)
{
    QString reason;
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        reason = u"Accès refusé"_s;
        break;
    case ENOENT:
    case ENOTDIR:
        reason = u"Le chemin d'accès spécifié est introuvable"_s;
        break;
    case EMFILE:
    case ENFILE:
        reason = u"Trop de fichiers ouverts"_s;
        break;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        reason = u"Espace insuffisant sur le disque"_s;
        break;
    case ENAMETOOLONG:
        reason = u"Le nom du fichier est trop long"_s;
        break;
    case EBUSY:
        reason = u"Le fichier est utilisé par un autre processus"_s;
        break;
    default:
        reason = u"Erreur système %1"_s.arg(error);
        break;
    }
    return reason;
}

} // namespace

QString createErrorMessage(const QString &path, int error)
{
    return u"Impossible de créer le fichier \"%1\". %2"_s.arg(
            displayName(QFileInfo(path).absoluteFilePath()), createReason(error));
}

QString createFolderErrorMessage(const QString &path, int error)
{
    return u"Impossible de créer le dossier \"%1\". %2"_s.arg(
            displayName(QFileInfo(path).absoluteFilePath()),
            error == ENOTDIR ? u"Ce n'est pas un dossier"_s : createReason(error));
}

} // namespace Verarov::Io
