#pragma once

// Test helper: entry fixtures.  The tables of a fixture dictionary of
// tests/data, read and compiled as the build step does.

#include "dictionary/builder.h"
#include "dictionary/reader.h"
#include "dictionary/tables.h"

#include <QList>
#include <QString>

// The tables of tests/data/<name> (sample.tsv, search.tsv ...), with extra
// entries after the file's; empty tables when the file cannot be read.
inline Verarov::Dictionary::Tables fixtureTables(
        const QString &name, const QList<Verarov::Dictionary::Entry> &extra = {})
{
    Verarov::Dictionary::ReadResult read =
            Verarov::Dictionary::readDictionaryFile(QStringLiteral(VERAROV_TEST_DATA "/") + name);
    if (!read.error.isEmpty() || read.entries.isEmpty())
        return {};
    read.entries.append(extra);
    return Verarov::Dictionary::Tables::fromCompiled(Verarov::Dictionary::compile(read.entries));
}
