#pragma once

#include <QGuiApplication>

namespace Verarov::App {

// The wait cursor for the lifetime of the object: the default cursor comes
// back however the work ends, also by an exception.
class WaitCursor
{
    Q_DISABLE_COPY_MOVE(WaitCursor)

public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace Verarov::App
