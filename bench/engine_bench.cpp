// The matching engine on a synthetic database of full size (1,000
// substances, 60,000 lichen rows), ten spots at a time: worst case (one Rf
// value each, tolerance 5) and typical case (three values, tolerance 2), for
// both methods, beside the plain LIKE-join statement the engine replaces.
#include "identify/MatchEngine.h"
#include "framework/Database.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

const QStringList ColorNames = {"No Result", "White",  "Brown",  "P.Brown", "Purple", "Lilac",
                                "Yellow",    "P. Yellow", "Orange", "Pink",  "Red",    "P.Red",
                                "D. Red",    "B. Blue", "D. Blue", "Green", "Gray",   "Black"};
const char* const RfColumns[] = {"A", "B", "Bprime", "C", "E", "F", "G", "HPLC"};
constexpr int SubstanceCount = 1000;
constexpr int LichenRowCount = 60000;

void Check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

QString SubstanceName(int i)
{
    static const char* const suffixes[] = {"acid", "in", "one", "ol", "ate"};
    return QStringLiteral("Substance%1 %2").arg(i, 4, 10, QLatin1Char('0')).arg(suffixes[i % 5]);
}

// The database, the engine's connection and query, the matrix: built once.
struct TBenchWorld {
    QTemporaryDir dir;
    QString path;
    TSQLConnection connection;
    std::unique_ptr<TSQLQuery> query;
    TColorMatrix matrix;

    TBenchWorld()
    {
        path = dir.filePath(QStringLiteral("Quillaspore.db"));
        BuildDatabase();
        connection.Params = {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
                             QStringLiteral("Database=") + path};
        connection.Open();
        query = std::make_unique<TSQLQuery>(&connection);
        std::mt19937 rng(7);
        for (int r = 0; r < 18; ++r) {
            matrix[r].ColorName = ColorNames[r];
            for (int c = 0; c <= r; ++c) {
                const QString v = r == c ? QStringLiteral("100") : QString::number(rng() % 101);
                matrix[r].Similarity[c] = v;
                matrix[c].Similarity[r] = v;
            }
        }
        EnsureCandidateIndex(connection);
    }

    void BuildDatabase()
    {
        sqlite3* db = nullptr;
        Check(sqlite3_open(path.toUtf8().constData(), &db), db);
        Check(sqlite3_exec(db,
                           "CREATE TABLE Substances (name TEXT (100), A INTEGER, B INTEGER, Bprime INTEGER, "
                           "C INTEGER, E INTEGER, F INTEGER, G INTEGER, HPLC INTEGER, BefVis TEXT (2), BefUVS TEXT (2), "
                           "BefUVL TEXT (20), Archers TEXT (20), AftVis TEXT (20), AftUV TEXT (20), M INTEGER, "
                           "F1 INTEGER, F2 INTEGER, F3 INTEGER, KResult TEXT (20), CResult TEXT (20), "
                           "KCResult TEXT (20), PDResult TEXT (20), Cortex TEXT (20), Medulla TEXT (20), Notes TEXT, "
                           "Related TEXT, Lichens TEXT, Synonyms TEXT, Path TEXT, GroupName TEXT, Class TEXT, "
                           "GLossID TEXT default null);"
                           "CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, Genus TEXT NOT NULL);"
                           "BEGIN;",
                           nullptr, nullptr, nullptr),
              db);
        std::mt19937 rng(42);
        auto chance = [&](int percent) { return int(rng() % 100) < percent; };

        sqlite3_stmt* st = nullptr;
        Check(sqlite3_prepare_v2(db,
                                 "INSERT INTO Substances (name, A, B, Bprime, C, E, F, G, HPLC, BefVis, BefUVS, "
                                 "BefUVL, Archers, AftVis, AftUV, KResult, CResult, KCResult, PDResult, Cortex, "
                                 "Medulla, GroupName) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                 -1, &st, nullptr),
              db);
        for (int i = 0; i < SubstanceCount; ++i) {
            const QByteArray name = SubstanceName(i).toUtf8();
            sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
            for (int k = 0; k < 8; ++k) {
                if (chance(k == 7 ? 50 : 80))
                    sqlite3_bind_int(st, 2 + k, 5 + int(rng() % 91));
                else
                    sqlite3_bind_null(st, 2 + k);
            }
            for (int k = 0; k < 2; ++k)
                sqlite3_bind_text(st, 10 + k, chance(50) ? "+" : "", -1, SQLITE_STATIC);
            for (int k = 0; k < 10; ++k) {
                const QByteArray color = chance(60) ? ColorNames[1 + rng() % 17].toUtf8() : QByteArray();
                sqlite3_bind_text(st, 12 + k, color.constData(), -1, SQLITE_TRANSIENT);
            }
            const QByteArray group = QStringLiteral("Group%1").arg(i % 40).toUtf8();
            sqlite3_bind_text(st, 22, group.constData(), -1, SQLITE_TRANSIENT);
            Check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);

        Check(sqlite3_prepare_v2(db, "INSERT INTO Lichens (Lichen, Substance, Genus) VALUES (?,?,?)", -1, &st,
                                 nullptr),
              db);
        for (int i = 0; i < LichenRowCount; ++i) {
            const int genus = int(rng() % 400);
            QString substance = SubstanceName(int(rng() % SubstanceCount));
            if (chance(10))
                substance = substance.toLower();  // the portal's spelling varies in case
            const QByteArray lichen = QStringLiteral("Genus%1 species%2").arg(genus).arg(i % 97).toUtf8();
            const QByteArray sub = substance.toUtf8();
            const QByteArray gen = QStringLiteral("Genus%1").arg(genus).toUtf8();
            sqlite3_bind_text(st, 1, lichen.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, sub.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, gen.constData(), -1, SQLITE_TRANSIENT);
            Check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        Check(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
    }
};

TBenchWorld& World()
{
    static TBenchWorld world;
    return world;
}

// Ten spots with `values` Rf values each and colours, reproducible.
std::vector<TSubstanceRecord> TenSpots(int values)
{
    std::mt19937 rng(values);
    std::vector<TSubstanceRecord> spots;
    for (int n = 1; n <= 10; ++n) {
        TSubstanceRecord s;
        s.name = QStringLiteral("Spot %1").arg(n);
        for (int v = 0; v < values; ++v)
            s.Field(1 + v) = QString::number(10 + rng() % 81);
        s.BefVis = QStringLiteral("+");
        s.BefUVL = ColorNames[1 + rng() % 17];
        s.AftVis = ColorNames[1 + rng() % 17];
        spots.push_back(s);
    }
    return spots;
}

TMatchSettings Settings(int method, const QString& threshold)
{
    TMatchSettings s;
    s.MatchingMethod = method;
    s.ToleranceText = threshold;
    s.CorrelationFactorText = threshold;
    s.UseTLC = true;
    s.UseUV = true;
    return s;
}

void Engine(benchmark::State& state, int method, int values, const char* threshold)
{
    TBenchWorld& w = World();
    const std::vector<TSubstanceRecord> spots = TenSpots(values);
    const TMatchSettings settings = Settings(method, QString::fromLatin1(threshold));
    size_t rows = 0;
    for (auto _ : state) {
        const TMatchResult r = MatchAllSpots(spots, settings, w.matrix, *w.query, 100);
        if (r.Failed) {
            state.SkipWithError(r.Error.toStdString().c_str());
            return;
        }
        rows = r.Rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = double(rows);
}

// The LIKE-join statement alone, ten spots, every row read.
void LikeJoinStatement(benchmark::State& state, int values, const char* threshold)
{
    TBenchWorld& w = World();
    const std::vector<TSubstanceRecord> spots = TenSpots(values);
    size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const TSubstanceRecord& spot : spots) {
            TSQLQuery& q = *w.query;
            q.Close();
            q.SQL = BuildCandidateSql(spot, QString(), QString::fromLatin1(threshold), {}, {});
            q.Params.clear();
            q.Open();
            for (; !q.Eof(); q.Next())
                ++rows;
        }
        benchmark::DoNotOptimize(rows);
    }
    state.counters["candidates"] = double(rows);
}

void IndexedStatement(benchmark::State& state, int values, const char* threshold)
{
    TBenchWorld& w = World();
    const std::vector<TSubstanceRecord> spots = TenSpots(values);
    size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const TSubstanceRecord& spot : spots) {
            const TCandidateStatement st =
                BuildIndexedCandidateQuery(spot, QString(), QString::fromLatin1(threshold), {}, {});
            TSQLQuery& q = *w.query;
            q.Close();
            q.SQL = st.Sql;
            q.Params = st.Params;
            q.Open();
            for (; !q.Eof(); q.Next())
                ++rows;
        }
        benchmark::DoNotOptimize(rows);
    }
    state.counters["candidates"] = double(rows);
}

void Ms(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond); }
void SlowMs(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond)->Iterations(2); }

BENCHMARK_CAPTURE(Engine, RfError_Worst, RfErrorMethod, 1, "5")->Apply(Ms);
BENCHMARK_CAPTURE(Engine, Correlation_Worst, CorrelationMethod, 1, "5")->Apply(Ms);
BENCHMARK_CAPTURE(Engine, RfError_Typical, RfErrorMethod, 3, "2")->Apply(Ms);
BENCHMARK_CAPTURE(Engine, Correlation_Typical, CorrelationMethod, 3, "2")->Apply(Ms);
BENCHMARK_CAPTURE(IndexedStatement, Worst, 1, "5")->Apply(Ms);
BENCHMARK_CAPTURE(IndexedStatement, Typical, 3, "2")->Apply(Ms);
BENCHMARK_CAPTURE(LikeJoinStatement, Worst, 1, "5")->Apply(SlowMs);
BENCHMARK_CAPTURE(LikeJoinStatement, Typical, 3, "2")->Apply(SlowMs);

} // namespace

// One main for every benchmark of the program; some parts need the
// application object, as in the program itself.
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
