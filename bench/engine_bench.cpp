// The matching engine on generated databases of reference shape (BenchDb.h):
// scale 1 (1,000 substances, 60,000 lichen rows) and scale 10. Ten spots at
// a time: worst case (one Rf value each, tolerance 5) and typical case (A, B'
// and C, tolerance 2), for both methods, beside the plain LIKE-join statement
// of the candidate query that the engine replaces.
#include "BenchDb.h"
#include "identify/MatchEngine.h"
#include "framework/Database.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <random>

namespace {

const QStringList ColorNames = {"No Result", "White",  "Brown",  "P.Brown", "Purple", "Lilac",
                                "Yellow",    "P. Yellow", "Orange", "Pink",  "Red",    "P.Red",
                                "D. Red",    "B. Blue", "D. Blue", "Green", "Gray",   "Black"};

// The engine's connection and query on the database of one scale, and the
// matrix: built once per scale.
struct TBenchWorld {
    TSQLConnection connection;
    std::unique_ptr<TSQLQuery> query;
    TColorMatrix matrix;

    explicit TBenchWorld(int scale)
    {
        connection.Params = {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
                             QStringLiteral("Database=") + BenchDatabasePath(scale)};
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
    }
};

TBenchWorld& World(int scale)
{
    static std::map<int, std::unique_ptr<TBenchWorld>> worlds;
    auto& w = worlds[scale];
    if (!w) w = std::make_unique<TBenchWorld>(scale);
    return *w;
}

// Ten spots, reproducible: worst = one value (A), typical = A, B' and C.
std::vector<TSubstanceRecord> TenSpots(bool typical)
{
    std::mt19937 rng(typical ? 3 : 1);
    std::vector<TSubstanceRecord> spots;
    for (int n = 1; n <= 10; ++n) {
        TSubstanceRecord s;
        s.name = QStringLiteral("Spot %1").arg(n);
        s.Field(1) = QString::number(10 + rng() % 81);
        if (typical) {
            s.Field(3) = QString::number(10 + rng() % 81);
            s.Field(4) = QString::number(10 + rng() % 81);
        }
        s.BefVis = QStringLiteral("+");
        s.BefUVL = ColorNames[1 + rng() % 17];
        s.AftVis = ColorNames[1 + rng() % 17];
        spots.push_back(s);
    }
    return spots;
}

const char* Tolerance(bool typical) { return typical ? "2" : "5"; }

TMatchSettings Settings(int method, bool typical)
{
    TMatchSettings s;
    s.MatchingMethod = method;
    s.ToleranceText = QString::fromLatin1(Tolerance(typical));
    s.CorrelationFactorText = s.ToleranceText;
    s.UseTLC = true;
    s.UseUV = true;
    return s;
}

// MatchAllSpots as the main window runs it: statements, scoring, sorting.
void Engine(benchmark::State& state, int method, bool typical)
{
    TBenchWorld& w = World(int(state.range(0)));
    const std::vector<TSubstanceRecord> spots = TenSpots(typical);
    const TMatchSettings settings = Settings(method, typical);
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

// The candidate statement of each spot alone, every row read: the LIKE join
// (the reference statement) or the indexed statement and lookups the engine
// runs.
void CandidateStatements(benchmark::State& state, bool typical, bool likeJoin)
{
    TBenchWorld& w = World(int(state.range(0)));
    const std::vector<TSubstanceRecord> spots = TenSpots(typical);
    const QString tolerance = QString::fromLatin1(Tolerance(typical));
    size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        if (!likeJoin) {
            // The names settled once per run, as the engine does.
            TLichenNameSet lichenNames(w.connection, {});
            for (const TSubstanceRecord& spot : spots)
                rows += CandidateRows(spot, QString(), tolerance, {}, {QStringLiteral("name")}, lichenNames, *w.query)
                            .size();
            continue;
        }
        for (const TSubstanceRecord& spot : spots) {
            TSQLQuery& q = *w.query;
            q.Close();
            q.SQL = BuildCandidateSql(spot, QString(), tolerance, {}, {});
            q.Params.clear();
            q.Open();
            for (; !q.Eof(); q.Next())
                ++rows;
        }
        benchmark::DoNotOptimize(rows);
    }
    state.counters["candidates"] = double(rows);
}

// The engine's reading of the candidates of each spot: the statements, the
// name lookups and the records, without the scoring.
void CandidateReading(benchmark::State& state, bool typical)
{
    TBenchWorld& w = World(int(state.range(0)));
    const std::vector<TSubstanceRecord> spots = TenSpots(typical);
    const QString tolerance = QString::fromLatin1(Tolerance(typical));
    size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        TLichenNameSet lichenNames(w.connection, {});
        for (const TSubstanceRecord& spot : spots)
            rows += CandidateRecords(spot, QString(), tolerance, {}, lichenNames, *w.query).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["candidates"] = double(rows);
}

// The engine on a copy of the database as an earlier version left it (its
// older lichen index instead of today's), with ("/1") and without ("/0")
// another program holding its write lock all the while: the match must not
// wait for that lock.
void EngineUnderWriteLock(benchmark::State& state)
{
    const int scale = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillaspore.db"));
    if (!QFile::copy(BenchDatabasePath(scale), path)) {
        state.SkipWithError("cannot copy the database");
        return;
    }
    sqlite3* other = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(other,
                 "DROP INDEX IF EXISTS LichensSubstanceLichen;"
                 "CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)",
                 nullptr, nullptr, nullptr);
    if (state.range(1) > 0
        && sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Substances (name, A) VALUES ('Pending acid', 30)",
                        nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(other);
        state.SkipWithError("cannot take the write lock");
        return;
    }
    {
        TSQLConnection connection;
        connection.Params = {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
                             QStringLiteral("Database=") + path};
        connection.Open();
        TSQLQuery query(&connection);
        const TColorMatrix matrix = World(scale).matrix;
        std::vector<TSubstanceRecord> spots = TenSpots(true);
        spots.resize(2);
        const TMatchSettings settings = Settings(RfErrorMethod, true);
        for (auto _ : state) {
            const TMatchResult r = MatchAllSpots(spots, settings, matrix, query, 100);
            if (r.Failed) {
                state.SkipWithError(r.Error.toStdString().c_str());
                break;
            }
            benchmark::DoNotOptimize(r.Rows.size());
        }
        query.Close();
        connection.Close();
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

void Scales(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond)->Arg(1)->Arg(10); }
// The LIKE join takes seconds at scale 1 and would take many minutes at 10.
void OnceAtScale1(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond)->Arg(1)->Iterations(1); }

BENCHMARK_CAPTURE(Engine, RfError_Worst, RfErrorMethod, false)->Apply(Scales);
BENCHMARK_CAPTURE(Engine, Correlation_Worst, CorrelationMethod, false)->Apply(Scales);
BENCHMARK_CAPTURE(Engine, RfError_Typical, RfErrorMethod, true)->Apply(Scales);
BENCHMARK_CAPTURE(Engine, Correlation_Typical, CorrelationMethod, true)->Apply(Scales);
BENCHMARK_CAPTURE(CandidateStatements, Indexed_Worst, false, false)->Apply(Scales);
BENCHMARK_CAPTURE(CandidateStatements, Indexed_Typical, true, false)->Apply(Scales);
BENCHMARK_CAPTURE(CandidateReading, Records_Worst, false)->Apply(Scales);
BENCHMARK_CAPTURE(CandidateReading, Records_Typical, true)->Apply(Scales);
BENCHMARK(EngineUnderWriteLock)->Unit(benchmark::kMillisecond)->Args({1, 0})->Args({1, 1})->Args({10, 0})->Args({10, 1});
BENCHMARK_CAPTURE(CandidateStatements, ReferenceLikeJoin_Worst, false, true)->Apply(OnceAtScale1);
BENCHMARK_CAPTURE(CandidateStatements, ReferenceLikeJoin_Typical, true, true)->Apply(OnceAtScale1);

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
