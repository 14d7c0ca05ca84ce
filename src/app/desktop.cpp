#include "app/desktop.h"

#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

namespace Verarov::App {

using namespace Qt::StringLiterals;

QString siteAddress()
{
    return u"https://verarov.example.org/"_s;
}

QStringList dataFolders(const QString &programFolder)
{
    return {QDir::cleanPath(programFolder + u"/../share/verarov"_s),
            QDir::cleanPath(programFolder + u"/../../share/verarov"_s)};
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
        // The custom colours are the caller's, not those Qt keeps elsewhere.
        const int count = QColorDialog::customCount();
        for (int i = 0; i < count; ++i)
            QColorDialog::setCustomColor(i, i < custom.size() ? custom[i] : QColor(Qt::white));
        QColorDialog dialog(initial, parent);
        dialog.setObjectName(u"ColorDialog1"_s);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        custom.resize(count);
        for (int i = 0; i < count; ++i)
            custom[i] = QColorDialog::customColor(i);
        return dialog.selectedColor();
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
