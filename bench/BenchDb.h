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

// How the lichen rows spread over the lichens; the substances are the same.
enum class TBenchShape {
    // 10,000 lichens a scale, about six rows each, rows in random order.
    Own,
    // 40 lichens a scale with about 1,500 rows each, a few common
    // substances listed tens of times in every lichen, rows lichen by lichen.
    FewLichens,
    // As the portal delivers it: 4,700 lichens a scale, a median of 7 rows
    // a lichen and a long tail of large ones, the common substances each in
    // 5 to 15 % of the lichens, rows lichen by lichen.
    PortalLike,
};
const char* BenchShapeName(TBenchShape shape);

// Writes the database with the program's two tables (no index) to `path`.
void BuildBenchDatabase(const QString& path, int scale, TBenchShape shape = TBenchShape::Own);

// The path of a database of that scale, built once per process in a
// temporary folder, with the program's start-up migration already run on it
// (so its indexes are those the program adds).
QString BenchDatabasePath(int scale, TBenchShape shape = TBenchShape::Own);

// Five substance names that lichen rows name, for the lichen search.
QStringList BenchSelectedSubstances(int scale, int count = 5);
