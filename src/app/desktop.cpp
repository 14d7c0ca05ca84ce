#include "desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace Verarov::App {

QString siteAddress()
{
    return QStringLiteral("https://verarov.example.org/");
}

namespace {

class SystemDesktop final : public Desktop
{
public:
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
};

Desktop *&current()
{
    static SystemDesktop system;
    static Desktop *desktop = &system;
    return desktop;
}

} // namespace

Desktop &desktop()
{
    return *current();
}

void setDesktop(Desktop *replacement)
{
    static SystemDesktop system;
    current() = replacement ? replacement : &system;
}

} // namespace Verarov::App
