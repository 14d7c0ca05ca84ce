#pragma once

#include "dictionary/tables.h"

#include <QString>

#include "median.h"

#include <vector>

// A dictionary of realistic size for the benchmarks: the shared CFDICT file
// (VERAROV_DICTIONARY, else ../shared/data/cfdict.u8) when present, else a
// generated one with about 100,000 French keys.
struct BenchDictionary
{
    Verarov::Dictionary::Tables tables;
    QString origin;
};
BenchDictionary benchDictionary();
