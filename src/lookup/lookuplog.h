#pragma once

#include <QLoggingCategory>

namespace Verarov::Lookup {
// Completions (search text, row chosen) and the entries the fields show.
Q_DECLARE_LOGGING_CATEGORY(lcLookup)
} // namespace Verarov::Lookup
