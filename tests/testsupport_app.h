#pragma once

// Test helpers of the windows.
// startWindows: the windows of a start-up, made as the program makes them.
// RecordingDesktop: the services that leave the program, recorded and
// scripted: addresses opened and clipboard texts are kept; the file and
// colour dialogs answer what the test put in nextFile and nextColour.

#include "app/application.h"
#include "app/aproposde.h"
#include "app/desktop.h"
#include "app/recherche.h"
#include "app/unit1.h"

#include <QTest>

#include <QList>
#include <QString>
#include <QUrl>

// The windows of a start-up (App::createWindows: Form1 and its creation
// step), the main window shown and active.  Returns
// false when it did not become active.  Pair with App::destroyWindows().
[[nodiscard]] inline bool startWindows(Verarov::Dictionary::Tables dictionary,
                                       QString rawRadicals = {}, const QString &commandLine = {})
{
    Verarov::App::createWindows(std::move(dictionary), std::move(rawRadicals), commandLine);
    Verarov::App::Form1->show();
    return QTest::qWaitForWindowActive(Verarov::App::Form1);
}

class RecordingDesktop final : public Verarov::App::Desktop
{
public:
    void openUrl(const QUrl &url) override { opened.append(url); }

    QString chooseFile(QWidget *) override
    {
        ++fileDialogs;
        return nextFile;
    }

    std::optional<QColor> chooseColour(QWidget *, QColor initial, QList<QColor> &custom) override
    {
        colourInitials.append(initial);
        customsGiven.append(custom);
        if (nextColour && nextCustom)
            custom = *nextCustom;
        return nextColour;
    }

    void setClipboardText(const QString &text) override { clipboard.append(text); }

    QList<QUrl> opened;
    QStringList clipboard;
    int fileDialogs = 0;
    QString nextFile;                        // empty: the dialog is cancelled
    QList<QColor> colourInitials;            // colour each picker opened on
    QList<QList<QColor>> customsGiven;       // custom colours each picker was given
    std::optional<QColor> nextColour;        // nothing: the picker is cancelled
    std::optional<QList<QColor>> nextCustom; // custom colours after OK
};
