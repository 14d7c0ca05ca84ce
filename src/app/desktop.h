#pragma once

class QString;
class QUrl;

namespace Verarov::App {

// Requests that leave the process (a browser, an editor); tests install
// their own to observe them.  Results are not examined.
class Desktop
{
public:
    virtual ~Desktop() = default;
    virtual void openUrl(const QUrl &url) = 0;
};

// The desktop in use: QDesktopServices unless a test set another.
Desktop &desktop();
void setDesktop(Desktop *replacement); // nullptr restores the real one

} // namespace Verarov::App

namespace Verarov::App {
// Home page of the product's site, ending with "/".
QString siteAddress();
} // namespace Verarov::App
