#pragma once
// A generated "Quillaspore.db" of reference shape for the benchmarks: at
// scale 1 about a full reference database (1,000 substances, 60,000 lichen
// rows), at scale 10 ten times that, with the awkward data a real one may
// hold: "%" and "_" in a few names (LIKE wildcards), names differing only in
// case, lichen rows spelling a substance in lower case, stored 0 Rf values,
// a few common substances that many lichens list.
#include <QString>
#include <QStringList>

constexpr int BenchSubstancesPerScale = 1000;
constexpr int BenchLichenRowsPerScale = 60000;

// The name of substance i of a database (awkward names included).
QString BenchSubstanceName(int i);

// Writes the database with the program's two tables (no index) to `path`.
void BuildBenchDatabase(const QString& path, int scale);

// The path of a database of that scale, built once per process in a
// temporary folder, with the program's start-up migration already run on it
// (so its indexes are those the program adds).
QString BenchDatabasePath(int scale);

// Five substance names that lichen rows name, for the lichen search.
QStringList BenchSelectedSubstances(int scale, int count = 5);
