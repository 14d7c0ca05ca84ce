#include "app/desktop.h"

#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

namespace Verarov::App {

using namespace Qt::StringLiterals;

QString siteAddress()
{
    return u"https://verarov.example.org/"_s;
}

QStringList dataFolders(const QString &programFolder)
{
    QStringList folders;
#ifdef Q_OS_WIN
    // An installed program keeps its files beside it.
    folders.append(QDir::cleanPath(programFolder));
#endif
    folders.append(QDir::cleanPath(programFolder + u"/../share/verarov"_s));
    folders.append(QDir::cleanPath(programFolder + u"/../../share/verarov"_s));
    return folders;
}

QUrl helpAddress(const QString &page, const QStringList &dataFolders)
{
    // The index.html itself, not its folder: a browser shows a file: folder
    // as a listing, and the desktop opens it in the file manager.
    for (const QString &folder : dataFolders) {
        const QString index = folder + u'/' + page + u"/index.html"_s;
        if (QFileInfo(index).isFile())
            return QUrl::fromLocalFile(index);
    }
    return QUrl(siteAddress() + page + u'/');
}

namespace {

// Qt keeps the colour dialog's custom colours in its own per-user settings
// ("QtProject", Qt/customColors): it reads them when a colour dialog is
// first used and writes them back whenever a dialog whose custom colours
// were set is destroyed.  Ours belong to the run only, so while the picker
// lives Qt's per-user settings files point to a folder of our own that is
// removed afterwards.  (The registry and macOS preferences cannot be moved:
// there Qt's own values are put back before the dialog goes, so it writes
// back what it read.)
class QtSettingsAside
{
public:
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QtSettingsAside()
    {
        if (!m_folder.isValid())
            return;
        for (const auto format : kFormats) {
            m_paths.append(userPath(format));
            QSettings::setPath(format, QSettings::UserScope, m_folder.path());
        }
    }
    ~QtSettingsAside()
    {
        for (qsizetype i = 0; i < m_paths.size(); ++i)
            QSettings::setPath(kFormats[i], QSettings::UserScope, m_paths[i]);
    }
#else
    QtSettingsAside() = default;
#endif
    Q_DISABLE_COPY_MOVE(QtSettingsAside)

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
private:
    static constexpr QSettings::Format kFormats[] = {QSettings::NativeFormat, QSettings::IniFormat};

    // The per-user folder in use for a format, read from the name of a file
    // that does not exist.
    static QString userPath(QSettings::Format format)
    {
        const QSettings probe(format, QSettings::UserScope, u"verarov-path-probe"_s);
        return QFileInfo(probe.fileName()).absolutePath();
    }

    QTemporaryDir m_folder;
    QStringList m_paths;
#endif
};

class SystemDesktop final : public Desktop
{
public:
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }

    QString chooseFile(QWidget *parent) override
    {
        QFileDialog dialog(parent);
        dialog.setObjectName(u"OpenDialog"_s);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    std::optional<QColor> chooseColour(QWidget *parent, QColor initial,
                                       QList<QColor> &custom) override
    {
        [[maybe_unused]] QtSettingsAside aside;
        // The custom colours shown are the caller's (white for an empty
        // slot); Qt's own are put back before the dialog goes.
        const int count = QColorDialog::customCount();
        QList<QColor> qtOwn;
        for (int i = 0; i < count; ++i) {
            qtOwn.append(QColorDialog::customColor(i));
            QColorDialog::setCustomColor(i, i < custom.size() ? custom[i] : QColor(Qt::white));
        }
        std::optional<QColor> chosen;
        {
            QColorDialog dialog(initial, parent);
            dialog.setObjectName(u"ColorDialog1"_s);
            dialog.setOption(QColorDialog::DontUseNativeDialog);
            if (dialog.exec() == QDialog::Accepted) {
                chosen = dialog.selectedColor();
                custom.resize(count);
                for (int i = 0; i < count; ++i)
                    custom[i] = QColorDialog::customColor(i);
            }
            for (int i = 0; i < count; ++i)
                QColorDialog::setCustomColor(i, qtOwn[i]);
        }
        return chosen;
    }

    void setClipboardText(const QString &text) override
    {
        QGuiApplication::clipboard()->setText(text);
    }
};

SystemDesktop &system()
{
    static SystemDesktop instance;
    return instance;
}

Desktop *&current()
{
    static Desktop *desktop = &system();
    return desktop;
}

} // namespace

Desktop &desktop()
{
    return *current();
}

void setDesktop(Desktop *replacement)
{
    current() = replacement ? replacement : &system();
}

} // namespace Verarov::App
