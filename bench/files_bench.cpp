// The media-answer parse over growing answers (ordinary records with long
// descriptions, and records that lack their full-size address, the shape a
// backtracking pattern could not finish), and the start-up's read check of a
// database of full size (1,000 substances, 60,000 lichen rows).
#include "core/Schema.h"
#include "framework/Database.h"
#include "lichens/PortalMedia.h"
#include "support/FixtureDb.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray OrdinaryAnswer(qsizetype bytes)
{
    QByteArray answer = "{\"results\":[";
    for (int i = 0; answer.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        answer += "{\"mediaID\":" + n + ",\"url\":\"\\/img\\/" + n + ".jpg\",\"thumbnailUrl\":\"\\/img\\/" + n +
                  "_tn.jpg\",\"originalUrl\":\"\\/img\\/" + n + "_lg.jpg\",\"description\":\"" +
                  QByteArray(1000, 'd') + "\"},";
    }
    return answer + "]}";
}

QByteArray NoFullSizeAnswer(qsizetype bytes)
{
    QByteArray answer;
    while (answer.size() < bytes) answer += "\"url\":\"x\",\"thumbnailUrl\":\"y\",";
    return answer;
}

void ParseOrdinary(benchmark::State& state)
{
    const QByteArray answer = OrdinaryAnswer(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ParsePortalMedia(answer));
    state.SetBytesProcessed(state.iterations() * answer.size());
}

void ParseNoFullSize(benchmark::State& state)
{
    const QByteArray answer = NoFullSizeAnswer(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ParsePortalMedia(answer));
    state.SetBytesProcessed(state.iterations() * answer.size());
}

BENCHMARK(ParseOrdinary)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(ParseNoFullSize)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);

void StartUpReadCheck(benchmark::State& state)
{
    FixtureDb db;
    db.Exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999) "
            "INSERT INTO Substances (name, A, C, GroupName, Notes) "
            "SELECT 'Substance ' || i, i % 90 + 5, i % 70 + 10, 'Group' || (i % 40), printf('%.200c', 'n') FROM n");
    db.Exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 59999) "
            "INSERT INTO Lichens (Lichen, Substance, Genus) "
            "SELECT 'Lichen ' || (i / 6), 'Substance ' || (i * 7 % 1000), 'Genus ' || (i / 120) FROM n");
    db.Exec("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)");
    db.CloseHandle();
    TSQLConnection connection;
    connection.Params = db.ConnectionParams();
    connection.Open();
    for (auto _ : state) CheckDatabaseReadable(connection, db.Path());
}
BENCHMARK(StartUpReadCheck)->Unit(benchmark::kMillisecond);

} // namespace
