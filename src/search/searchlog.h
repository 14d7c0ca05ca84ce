#pragma once

#include <QLoggingCategory>

namespace Verarov::Search {
// One line per search: "recherche<TAB>mode<TAB>string<TAB>count".
Q_DECLARE_LOGGING_CATEGORY(lcSearch)
} // namespace Verarov::Search
