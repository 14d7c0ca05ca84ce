#pragma once

// Test helper: a desktop that records the addresses it is asked to open.

#include "desktop.h"

#include <QList>
#include <QUrl>

class RecordingDesktop final : public Verarov::App::Desktop
{
public:
    void openUrl(const QUrl &url) override { opened.append(url); }
    QList<QUrl> opened;
};
