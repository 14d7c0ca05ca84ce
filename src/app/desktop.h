#pragma once

#include <QColor>
#include <QList>
#include <QtContainerFwd>

#include <optional>

class QString;
class QUrl;
class QWidget;

namespace Verarov::App {

// The services that leave the program: the desktop's browser and editors,
// the system dialogs, the clipboard.  Tests install their own to observe
// them and to answer the dialogs.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Opens an address or a file in the desktop's application for it; the
    // result is not examined.
    virtual void openUrl(const QUrl &url) = 0;

    // The file-open dialog (no filter, no title, no folder of its own; a
    // typed name need not exist): the chosen full file name, or an empty
    // string when cancelled.
    virtual QString chooseFile(QWidget *parent) = 0;

    // The colour picker, preselecting initial; custom holds its sixteen
    // custom colours, updated when the picker is closed with OK.  The chosen
    // colour, or nothing when cancelled.
    virtual std::optional<QColor> chooseColour(QWidget *parent, QColor initial,
                                               QList<QColor> &custom) = 0;

    // Replaces the clipboard's content with text.
    virtual void setClipboardText(const QString &text) = 0;
};

// The services in use: the system's unless a test set others.
Desktop &desktop();
void setDesktop(Desktop *replacement); // nullptr restores the system's

// Home page of the product's site, ending with "/".
QString siteAddress();

// The folders that may hold the program's shared files (help pages), nearest
// first: on Windows the program's own folder (an installed program), then the
// share/verarov folder one level above the program's folder (an
// installed program: <prefix>/bin/verarov and <prefix>/share/verarov), then
// two levels above (the build tree: build/src/app/verarov and
// build/share/verarov).  "/usr/bin" -> {"/usr/share/verarov", "/share/verarov"}
QStringList dataFolders(const QString &programFolder);

// The address of the help pages named page ("dico_aide" in French,
// "dico_aide_cn" in Chinese): the index.html of the first folder of
// dataFolders that holds page/index.html, as a file: address; else the
// page on the site, <site>/<page>/.
QUrl helpAddress(const QString &page, const QStringList &dataFolders);

} // namespace Verarov::App
