#pragma once

// Test helper: the services that leave the program, recorded and scripted:
// addresses opened and clipboard texts are kept; the file and colour
// dialogs answer what the test put in nextFile and nextColour.

#include "app/desktop.h"

#include <QList>
#include <QString>
#include <QUrl>

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
    QString nextFile;                       // empty: the dialog is cancelled
    QList<QColor> colourInitials;           // colour each picker opened on
    QList<QList<QColor>> customsGiven;      // custom colours each picker was given
    std::optional<QColor> nextColour;       // nothing: the picker is cancelled
    std::optional<QList<QColor>> nextCustom; // custom colours after OK
};
