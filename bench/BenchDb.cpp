#include "BenchDb.h"

#include "core/Schema.h"
#include "framework/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

namespace {

const char* const ColorNames[] = {"No Result", "White", "Brown", "P.Brown", "Purple", "Lilac",
                                  "Yellow", "P. Yellow", "Orange", "Pink", "Red", "P.Red",
                                  "D. Red", "B. Blue", "D. Blue", "Green", "Gray", "Black"};

// Lichens of the database: about six substances each, in genera of ten.
int LichenCount(int scale) { return 10000 * scale; }
QString LichenName(int k) { return QStringLiteral("Genus%1 species%2").arg(k / 10).arg(k); }
QString GenusName(int k) { return QStringLiteral("Genus%1").arg(k / 10); }
// Every hundredth lichen holds the selected substances, so their search
// finds something.
constexpr int SelectedEvery = 100;
// A few substances are common, as atranorin or usnic acid are in a real
// reference database, and the n-th commonest is listed about 1/n as often
// as the commonest: the commonest by about one lichen in six.
constexpr int CommonSubstances = 8;
constexpr int CommonPercent = 8;   // of the other rows

// Substance index of the common substance drawn, with weight 1/(n+1) for the
// n-th (whole weights, so the draw does not depend on the library).
int DrawCommonSubstance(std::mt19937& rng, int substances)
{
    static const int weights[CommonSubstances] = {840, 420, 280, 210, 168, 140, 120, 105};
    int r = int(rng() % 2283u);   // the sum of the weights
    int n = 0;
    while (r >= weights[n]) r -= weights[n++];
    return 37 + n * (substances / CommonSubstances);
}

// Many rows per statement: the generator would otherwise spend most of its
// time preparing statements.
class TBatchInsert {
public:
    TBatchInsert(TSQLConnection& c, QString head, int columns) : connection(c), head(std::move(head)), columns(columns) {}
    ~TBatchInsert() { Flush(); }
    void Add(const QVariantList& row)
    {
        params += row;
        if (++rows == 100) Flush();
    }
    void Flush()
    {
        if (rows == 0) return;
        QStringList tuples;
        for (int r = 0; r < rows; ++r) {
            QStringList marks;
            for (int c = 0; c < columns; ++c) marks << QStringLiteral("?%1").arg(r * columns + c + 1);
            tuples << QStringLiteral("(") + marks.join(QLatin1Char(',')) + QStringLiteral(")");
        }
        connection.ExecuteDirect(head + tuples.join(QLatin1Char(',')), params);
        params.clear();
        rows = 0;
    }

private:
    TSQLConnection& connection;
    QString head;
    int columns;
    QVariantList params;
    int rows = 0;
};

// A substance for an ordinary lichen row: any but the few wildcard names no
// lichen lists, in lower case one time in ten (the portal's spelling varies).
QString DrawAnySubstance(std::mt19937& rng, int substances)
{
    int named;
    do named = int(rng() % unsigned(substances));
    while (named % 1000 == 5);
    QString substance = BenchSubstanceName(named);
    if (rng() % 10 == 0) substance = substance.toLower();
    return substance;
}

void AddOwnLichenRows(TBatchInsert& insert, std::mt19937& rng, int scale)
{
    auto chance = [&](int percent) { return int(rng() % 100) < percent; };
    const int substances = BenchSubstancesPerScale * scale;
    const int lichens = LichenCount(scale);
    const QStringList selected = BenchSelectedSubstances(scale);
    int rows = 0;
    for (int k = 0; k < lichens; k += SelectedEvery)
        for (const QString& s : selected) {
            insert.Add({LichenName(k), s, GenusName(k)});
            ++rows;
        }
    while (rows < BenchLichenRowsPerScale * scale) {
        const int k = int(rng() % unsigned(lichens));
        const int named =
            chance(CommonPercent) ? DrawCommonSubstance(rng, substances) : int(rng() % unsigned(substances));
        if (named % 1000 == 5)
            continue;   // a few wildcard names that no lichen lists
        QString substance = BenchSubstanceName(named);
        if (chance(10))
            substance = substance.toLower();   // the portal's spelling varies in case
        insert.Add({LichenName(k), substance, GenusName(k)});
        ++rows;
    }
}

// The rows of one lichen: each common substance n with its per-mille chance,
// then drawn ones up to `rows` in all.
void AddLichen(TBatchInsert& insert, std::mt19937& rng, int substances, int k, int rows,
               const int* commonPerMille, int commons)
{
    int added = 0;
    for (int n = 0; n < commons; ++n)
        if (int(rng() % 1000) < commonPerMille[n]) {
            const QString name = BenchSubstanceName(37 + n * (substances / CommonSubstances));
            insert.Add({LichenName(k), rng() % 10 == 0 ? name.toLower() : name, GenusName(k)});
            ++added;
        }
    for (; added < rows; ++added)
        insert.Add({LichenName(k), DrawAnySubstance(rng, substances), GenusName(k)});
}

void AddFewLichensRows(TBatchInsert& insert, std::mt19937& rng, int scale)
{
    // Two rows in five name a common substance, so each of them is listed
    // tens of times in every lichen (the commonest about 220 times).
    const int substances = BenchSubstancesPerScale * scale;
    const int lichens = 40 * scale;
    for (int k = 0; k < lichens; ++k)
        for (int r = 1200 + int(rng() % 601); r > 0; --r) {
            QString substance = DrawAnySubstance(rng, substances);
            if (rng() % 5 < 2) {
                substance = BenchSubstanceName(DrawCommonSubstance(rng, substances));
                if (rng() % 10 == 0) substance = substance.toLower();
            }
            insert.Add({LichenName(k), substance, GenusName(k)});
        }
}

void AddPortalLikeRows(TBatchInsert& insert, std::mt19937& rng, int scale)
{
    static const int commonPerMille[CommonSubstances] = {150, 130, 110, 100, 80, 70, 60, 50};
    const int substances = BenchSubstancesPerScale * scale;
    const int lichens = 4700 * scale;
    for (int k = 0; k < lichens; ++k) {
        // Log-normal sizes, median 7, mean about 13 (Box-Muller on the
        // generator's own numbers, so the draw does not depend on the library).
        const double u1 = (double(rng()) + 1.0) / 4294967297.0;
        const double u2 = double(rng()) / 4294967296.0;
        const double z = std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
        const int rows = std::max(1, int(std::lround(7.0 * std::exp(1.1 * z))));
        AddLichen(insert, rng, substances, k, rows, commonPerMille, CommonSubstances);
    }
}

} // namespace

const char* BenchShapeName(TBenchShape shape)
{
    switch (shape) {
    case TBenchShape::Own: return "Own";
    case TBenchShape::FewLichens: return "FewLichens";
    case TBenchShape::PortalLike: return "PortalLike";
    }
    return "?";
}

QString BenchSubstanceName(int i)
{
    static const char* const suffixes[] = {"acid", "in", "one", "ol", "ate"};
    const QString plain = QStringLiteral("Substance%1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(suffixes[i % 5]);
    if (i % 250 == 5)   // "%" inside a name: a LIKE wildcard
        return QStringLiteral("Substance%1 5% %2").arg(i, 5, 10, QLatin1Char('0')).arg(suffixes[i % 5]);
    if (i % 250 == 11)  // "_" inside a name
        return QStringLiteral("Substance_%1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(suffixes[i % 5]);
    if (i % 499 == 13) // a leading wildcard: no index range can serve it
        return QStringLiteral("_ubstance%1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(suffixes[i % 5]);
    if (i % 89 == 3 && i > 0)   // the previous substance's name in other letter case
        return BenchSubstanceName(i - 1).toLower();
    return plain;
}

void BuildBenchDatabase(const QString& path, int scale, TBenchShape shape)
{
    QFile::remove(path);
    QFile create(path);
    if (!create.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        std::exit(1);
    }
    create.close();   // an empty file is an empty database

    TSQLConnection c;
    c.Params = {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
                QStringLiteral("Database=") + path};
    c.Open();
    c.ExecuteDirect(SubstancesBackupCreateStatement);
    c.ExecuteDirect(QStringLiteral("ALTER TABLE SubstancesBackup RENAME TO Substances"));
    c.ExecuteDirect(LichensBackupCreateStatement);
    c.ExecuteDirect(QStringLiteral("ALTER TABLE LichensBackup RENAME TO Lichens"));
    c.StartTransaction();

    std::mt19937 rng(42);
    auto chance = [&](int percent) { return int(rng() % 100) < percent; };
    const int substances = BenchSubstancesPerScale * scale;
    {
        TBatchInsert insert(c,
                            QStringLiteral("INSERT INTO Substances (name, A, B, Bprime, C, E, F, G, HPLC, BefVis, "
                                           "BefUVS, BefUVL, Archers, AftVis, AftUV, KResult, CResult, KCResult, "
                                           "PDResult, Cortex, Medulla, GroupName, Synonyms) VALUES "),
                            23);
        for (int i = 0; i < substances; ++i) {
            QVariantList row{BenchSubstanceName(i)};
            for (int k = 0; k < 8; ++k) {
                if (chance(k == 7 ? 50 : 80))
                    row << 5 + int(rng() % 91);
                else
                    row << (chance(50) ? QVariant(0) : QVariant());   // a stored 0 is "no value" too
            }
            for (int k = 0; k < 2; ++k)
                row << QString::fromLatin1(chance(50) ? "+" : "");
            for (int k = 0; k < 10; ++k)
                row << (chance(60) ? QString::fromLatin1(ColorNames[1 + rng() % 17]) : QString());
            row << QStringLiteral("Group%1").arg(i % 40);
            row << (chance(50) ? QStringLiteral("syn%1a, Syn %1 b, abc").arg(i) : QString());
            insert.Add(row);
        }
    }
    {
        TBatchInsert insert(c, QStringLiteral("INSERT INTO Lichens (Lichen, Substance, Genus) VALUES "), 3);
        switch (shape) {
        case TBenchShape::Own: AddOwnLichenRows(insert, rng, scale); break;
        case TBenchShape::FewLichens: AddFewLichensRows(insert, rng, scale); break;
        case TBenchShape::PortalLike: AddPortalLikeRows(insert, rng, scale); break;
        }
    }
    c.Commit();
    c.Close();
}

QString BenchDatabasePath(int scale, TBenchShape shape)
{
    static QTemporaryDir dir;
    static std::map<std::pair<int, TBenchShape>, QString> built;
    auto it = built.find({scale, shape});
    if (it != built.end()) return it->second;
    const QString path =
        dir.filePath(QStringLiteral("%1%2/Quillaspore.db").arg(QString::fromLatin1(BenchShapeName(shape))).arg(scale));
    QDir().mkpath(QFileInfo(path).path());
    BuildBenchDatabase(path, scale, shape);
    TSQLConnection c;
    c.Params = {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
                QStringLiteral("Database=") + path};
    c.Open();
    MigrateDatabase(c);
    c.Close();
    built[{scale, shape}] = path;
    return path;
}

QStringList BenchSelectedSubstances(int scale, int count)
{
    // Plain names spread over the table, the last one in the other case.
    QStringList names;
    const int substances = BenchSubstancesPerScale * scale;
    for (int n = 0; n < count; ++n) names << BenchSubstanceName(1 + n * (substances / count) + (n % 2));
    if (!names.isEmpty()) names.last() = names.last().toUpper();
    return names;
}
