// The lichen update at full size: the portal serves 60,000 lichen-substance
// pairs over its 23 attributes, and 1,000 substance records name 3,000
// lichens for the reconciliation. Timed whole (download, parse, backup,
// replacement, reconciliation, dates file) and the reconciliation alone.
#include "update/LichenUpdate.h"
#include "update/Reconcile.h"
#include "update/UpdateDates.h"
#include "update/UpdateSql.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"

#if __has_include("support/FakeHttpServer.h")
#include "support/FakeHttpServer.h"
#include "framework/NetHTTP.h"
#define QS_BENCH_OVER_HTTP 1
#endif

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

namespace {

constexpr int PairCount = 60000;
constexpr int SubstanceCount = 1000;
constexpr int NamesPerSubstance = 3;

class SilentDialogs : public IDialogs {
public:
    void ShowMessage(const QString& text) override { Last = text; }
    int MessageDlg(const QString&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
    QString FileDialog(const TFileDialogRequest&) override { return {}; }
    void OpenUrl(const QString&) override {}
    void SendEndKey() override {}
    QString Last;
};

class NoWindow : public IUpdateProgress {
public:
    void SetCaption(const QString&) override {}
    void SetLabel(const QString&) override {}
    void SetPosition(int) override {}
    void Show() override {}
    void Hide() override {}
    void ProcessMessages() override {}
};

QString SubstanceName(int i) { return QStringLiteral("Substance%1 acid").arg(i, 4, 10, QLatin1Char('0')); }

QString LichenName(int i)
{
    static const char* const genera[] = {"Cladonia", "Usnea", "Parmelia", "Lecanora", "Physcia",
                                         "Xanthoria", "Ramalina", "Pertusaria", "Lecidea", "Peltigera"};
    QString epithet;
    for (int n = i; epithet.size() < 6; n /= 26)
        epithet += QChar('a' + n % 26);
    return QString(genera[i % 10]) + " " + epithet;
}

// The portal's answers and a database with the program's tables.
struct Scenario {
    QTemporaryDir dir;
    std::map<QString, QByteArray> answers;   // by target
    TSQLConnection connection;
    SilentDialogs* dialogs = nullptr;
    std::unique_ptr<IDialogs> previousDialogs;
    QString previousDir;

    Scenario()
    {
        auto silent = std::make_unique<SilentDialogs>();
        dialogs = silent.get();
        previousDialogs = SetDialogs(std::move(silent));
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());

        std::mt19937 random(7);
        const int perAttribute = PairCount / int(MorphologyAttributeIds.size()) + 1;
        int pair = 0;
        for (const char* id : MorphologyAttributeIds) {
            QByteArray text = "{\"count\":" + QByteArray::number(perAttribute) + "\"results\":[\n";
            for (int k = 0; k < perAttribute && pair < PairCount; ++k, ++pair) {
                const int substance = int(random() % SubstanceCount);
                const int lichen = int(random() % 20000);
                text += "{\"id\":" + QByteArray::number(pair) + "\"charStateName\":\""
                        + SubstanceName(substance).toUtf8() + "\"\"taxon\":{\"tid\":"
                        + QByteArray::number(lichen) + "\"sciname\":\"" + LichenName(lichen).toUtf8()
                        + "\"\"author\":\"(L.) Ach.\"}}\n";
            }
            text += "]}";
            answers[QString("/portal/api/v2/morphology/") + id + "/attribute?limit=10000&offset=0"] = text;
        }

        const QString path = dir.filePath("Quillaspore.db");
        {
            QFile create(path);
            create.open(QIODevice::WriteOnly);
        }
        connection.Params = {"DriverName=Sqlite", "FailIfMissing=True", "Database=" + path};
        connection.Open();
        connection.ExecuteDirect("CREATE TABLE Substances (name TEXT (100), A INTEGER, B INTEGER, Bprime INTEGER, "
                                 "C INTEGER, E INTEGER, F INTEGER, G INTEGER, HPLC INTEGER, BefVis TEXT (2), "
                                 "BefUVS TEXT (2), BefUVL TEXT (20), Archers TEXT (20), AftVis TEXT (20), "
                                 "AftUV TEXT (20), M INTEGER, F1 INTEGER, F2 INTEGER, F3 INTEGER, KResult TEXT (20), "
                                 "CResult TEXT (20), KCResult TEXT (20), PDResult TEXT (20), Cortex TEXT (20), "
                                 "Medulla TEXT (20), Notes TEXT, Related TEXT, Lichens TEXT, Synonyms TEXT, "
                                 "Path TEXT, GroupName TEXT, Class TEXT, GLossID TEXT default null)");
        connection.ExecuteDirect("CREATE TABLE Lichens (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
                                 "Genus TEXT NOT NULL)");
        connection.StartTransaction();
        for (int s = 0; s < SubstanceCount; ++s) {
            QStringList names;
            for (int n = 0; n < NamesPerSubstance; ++n)
                names << LichenName(int(random() % 20000));
            connection.ExecuteDirect("INSERT INTO Substances (name, Lichens) VALUES (?1, ?2)",
                                     {SubstanceName(s), names.join(", ")});
        }
        connection.Commit();
    }

    ~Scenario()
    {
        connection.Close();
        QDir::setCurrent(previousDir);
        SetDialogs(std::move(previousDialogs));
    }
};

void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "bench_update: %s\n", what);
        std::exit(1);
    }
}

void BM_LichenUpdateFullSize(benchmark::State& state)
{
    Scenario scenario;
    NoWindow window;
#ifdef QS_BENCH_OVER_HTTP
    FakeHttpServer server;
    for (const auto& [target, body] : scenario.answers)
        server.Route(target, FakeResponse::Ok(body, "application/json"));
    const QString portal = server.BaseAddress();
    TFetchText fetch = [](const QString& address) {
        TNetHTTPRequest request;
        request.IsTextRequest = true;
        request.OnRequestError = [](TNetHTTPRequest*, const QString&) {};
        return request.Get(address);
    };
    state.SetLabel("over HTTP from the fake portal");
#else
    const QString portal = "http://portal.bench";
    TFetchText fetch = [&scenario, portal](const QString& address) {
        return scenario.answers[address.mid(portal.size())];
    };
    state.SetLabel("answers handed in memory (no fake portal linked)");
#endif
    for (auto _ : state) {
        TUpdateContext context{scenario.connection, fetch, window, portal};
        Require(RunLichenUpdate(context) == TUpdateOutcome::Complete, "the update did not complete");
    }
    TSQLQuery count(&scenario.connection);
    count.SQL = "SELECT Count(*) FROM Lichens";
    count.Open();
    state.counters["rows"] = count.FieldByName("Column0").AsInteger();
}
BENCHMARK(BM_LichenUpdateFullSize)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReconciliationFullSize(benchmark::State& state)
{
    Scenario scenario;
    // The downloaded rows, put back before every pass.
    std::vector<TLichenRow> downloaded;
    QByteArray lastGenus;
    for (const auto& [target, body] : scenario.answers)
        Require(ParseMorphologyAnswer(body, downloaded, lastGenus) == TMorphologyParse::Ok, "bad answer");
    QVariantList values;
    for (const TLichenRow& row : downloaded)
        values << row.Lichen << row.Substance << row.Genus;
    scenario.connection.ExecuteDirect("CREATE TABLE Downloaded (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, "
                                      "Genus TEXT NOT NULL)");
    scenario.connection.StartTransaction();
    InsertRows(scenario.connection, "INSERT INTO Downloaded VALUES ", 3, values);
    scenario.connection.Commit();
    int inserted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scenario.connection.ExecuteDirect("DELETE FROM Lichens");
        scenario.connection.ExecuteDirect("INSERT INTO Lichens SELECT * FROM Downloaded");
        state.ResumeTiming();
        QByteArray genus = "Usnea";
        const auto rows = ReconcileLichenNames(ReadSubstanceLichens(scenario.connection), genus);
        inserted = InsertMissingLichenRows(scenario.connection, rows);
    }
    state.counters["inserted"] = inserted;
}
BENCHMARK(BM_ReconciliationFullSize)->Unit(benchmark::kMillisecond)->Iterations(5);

}
