// The lichen update as the user runs it: the menu command "Update Lichen
// Data" on the running program, its confirmation answered OK, every
// attribute fetched through the program's fetch and decoding from the fake
// portal on 127.0.0.1, which pages as the real portal does (at most 10,000
// records a request, offset and limit honoured, the count of all records),
// backup, replacement with the lichen indexes present, reconciliation and
// the dates file. The table must then hold every pair the portal served.
//
// Two sizes: 1x (1,000 substances, 60,000 lichen-substance pairs) and 10x
// (10,000 substances, 600,000 pairs), with awkward names: "%" and "_" in
// substance names, names that differ only in case, letters outside ASCII
// sent as \u escapes.
//
// The operation has no time stated for it; the goals are under 0.5 s at 1x
// and under 5 s at 10x (Release build). The reconciliation alone is timed
// beside it.
#include "core/Entry.h"
#include "core/MainWindow.h"
#include "core/Settings.h"
#include "update/LichenUpdate.h"
#include "update/Reconcile.h"
#include "update/UpdateDates.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/Menus.h"
#include "support/FakeHttpServer.h"
#include "support/FakePortal.h"
#include "support/FixtureDb.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

constexpr int BasePairs = 60000;
constexpr int BaseSubstances = 1000;
constexpr int NamesPerSubstance = 3;

void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "bench_update: %s\n", what);
        std::exit(1);
    }
}

// Answers every question OK and remembers the last message.
class SilentDialogs : public IDialogs {
public:
    void ShowMessage(const QString& text) override { Last = text; }
    int MessageDlg(const QString&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
    QString FileDialog(const TFileDialogRequest&) override { return {}; }
    void OpenUrl(const QString&) override {}
    void SendEndKey() override {}
    QString Last;
};

// A substance name as stored and as the portal writes it in JSON.
struct TName {
    QString Stored;
    QByteArray Json;
};

TName SubstanceName(int i)
{
    const QString number = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
    if (i % 97 == 5)
        return {"5% acid " + number, ("5% acid " + number).toUtf8()};
    if (i % 89 == 3)
        return {"acid_" + number, ("acid_" + number).toUtf8()};
    if (i % 50 == 1)   // the same letters as the name before, another case
        return {"SUBSTANCE" + QStringLiteral("%1").arg(i - 1, 5, 10, QLatin1Char('0')) + " ACID",
                ("SUBSTANCE" + QStringLiteral("%1").arg(i - 1, 5, 10, QLatin1Char('0')) + " ACID").toUtf8()};
    if (i % 7 == 0)
        return {QString::fromUtf8("Z\u00e9orin ") + number, "Z\\u00e9orin " + number.toUtf8()};
    return {"Substance" + number + " acid", ("Substance" + number + " acid").toUtf8()};
}

TName LichenName(int i)
{
    static const char* const genera[] = {"Cladonia", "Usnea", "Parmelia", "Lecanora", "Physcia",
                                         "Xanthoria", "Ramalina", "Pertusaria", "Lecidea", "Peltigera"};
    QByteArray epithet;
    for (int n = i; epithet.size() < 7; n /= 26)
        epithet += char('a' + n % 26);
    const QByteArray genus = genera[i % 10];
    if (i % 13 == 0)
        return {QString::fromUtf8(genus + " m\u00fc" + epithet), genus + " m\\u00fc" + epithet};
    if (i % 31 == 0)
        return {QString::fromUtf8(genus + " " + epithet.toUpper()), genus + " " + epithet.toUpper()};
    return {QString::fromUtf8(genus + " " + epithet), genus + " " + epithet};
}

QByteArray Record(int id, const TName& substance, const TName& lichen)
{
    return "{\"id\":" + QByteArray::number(id) + ",\"charStateName\":\"" + substance.Json
           + "\",\"taxon\":{\"tid\":" + QByteArray::number(id + 7) + ",\"sciname\":\"" + lichen.Json
           + "\",\"author\":\"(L.) Th. Fr. \\u00e4\"}}";
}

// The program started on a generated database, its menu and the portal.
struct TWorld {
    FixtureDb db;
    FakeHttpServer server;
    SilentDialogs* dialogs = nullptr;
    std::unique_ptr<IDialogs> previousDialogs;
    QString previousDir;
    int pairs = 0;
    // Every pair the portal serves ("lichen|substance" as stored), in the
    // order served.
    std::vector<QString> served;

    TWorld(int scale)
    {
        pairs = BasePairs * scale;
        const int substanceCount = BaseSubstances * scale;
        const int lichenPool = 20000 * scale;
        std::mt19937 random(7);

        // The portal: the pairs spread over the 23 attributes.
        const int perAttribute = pairs / int(MorphologyAttributeIds.size()) + 1;
        int id = 0;
        std::vector<std::pair<int, int>> oldPairs;
        for (const char* attribute : MorphologyAttributeIds) {
            std::vector<QByteArray> records;
            for (int k = 0; k < perAttribute && id < pairs; ++k, ++id) {
                const int s = int(random() % substanceCount);
                const int l = int(random() % lichenPool);
                records.push_back(Record(id, SubstanceName(s), LichenName(l)));
                oldPairs.push_back({s, l});
                served.push_back(LichenName(l).Stored + "|" + SubstanceName(s).Stored);
            }
            ServePortalList(server, QString("/portal/api/v2/morphology/") + attribute + "/attribute",
                            std::move(records));
        }
        server.Route("/", FakeResponse::Ok("<html></html>"));

        // The database: substances naming lichens, and the lichen rows of an
        // earlier update.
        db.Exec("BEGIN");
        for (int s = 0; s < substanceCount; ++s) {
            QStringList names;
            for (int n = 0; n < NamesPerSubstance; ++n)
                names << LichenName(int(random() % lichenPool)).Stored;
            db.InsertSubstance({{"name", SubstanceName(s).Stored}, {"A", s % 90}, {"Lichens", names.join(", ")}});
        }
        for (const auto& [s, l] : oldPairs) {
            const QString lichen = LichenName(l).Stored;
            db.InsertLichen(lichen, SubstanceName(s).Stored, lichen.section(' ', 0, 0));
        }
        db.Exec("COMMIT");
        db.CloseHandle();

        // The list benchmarks of the same run leave their windows open and
        // the internet switched off; the update starts from a fresh program.
        DestroyAllForms();
        InternetEnabled = true;

        auto silent = std::make_unique<SilentDialogs>();
        dialogs = silent.get();
        previousDialogs = SetDialogs(std::move(silent));
        previousDir = QDir::currentPath();
        QDir::setCurrent(db.Dir());
        Require(QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), db.Dir() + "/Default.scfg"),
                "no Default.scfg");
        InternetProbeAddress = server.Url("/");
        PortalBaseAddress = server.BaseAddress();
        CreateAllForms();

        // The lichen indexes are the ones the program's start-up makes on a
        // user's database, as on any real machine.
        Require(db.Scalar("SELECT count(*) FROM pragma_index_list('Lichens')") != "0", "no lichen index");
        db.CloseHandle();
        server.ClearRequests();
    }

    ~TWorld()
    {
        DestroyAllForms();
        QDir::setCurrent(previousDir);
        SetDialogs(std::move(previousDialogs));
        ResetSettings();
    }
};

// Whether the table holds every served pair once, in the order served: the
// downloaded rows come first, the reconciled ones after them. (Counting the
// pairs anywhere in the table would not do: a pair lost in the download
// that a substance record names comes back through the reconciliation.)
bool HoldsEveryServedPair(TWorld& world, QString& first)
{
    const auto rows = world.db.Rows("SELECT Lichen, Substance FROM Lichens ORDER BY rowid LIMIT "
                                    + QString::number(world.served.size()));
    for (size_t i = 0; i < world.served.size(); ++i) {
        const QString row = i < rows.size() ? rows[i][0].toString() + "|" + rows[i][1].toString() : QString();
        if (row != world.served[i]) {
            first = QString("row %1 is \"%2\", served \"%3\"").arg(i + 1).arg(row, world.served[i]);
            return false;
        }
    }
    return true;
}

void BM_LichenUpdateFromMenu(benchmark::State& state)
{
    const int scale = int(state.range(0));
    TWorld world(scale);
    int requests = 0;
    for (auto _ : state) {
        world.server.ClearRequests();
        world.dialogs->Last.clear();
        Form1->UpdateLichenData1->Click();
        if (world.dialogs->Last != "Complete") {
            state.SkipWithError(("the update did not complete: " + world.dialogs->Last).toStdString().c_str());
            return;
        }
        requests = int(world.server.Requests().size());
    }
    QString wrong;
    if (!HoldsEveryServedPair(world, wrong)) {
        state.SkipWithError(("the table does not hold every served pair once: " + wrong).toStdString().c_str());
        return;
    }
    state.counters["pairs"] = world.pairs;
    state.counters["requests"] = requests;
    state.counters["rows"] = double(world.db.Count("Lichens"));
    state.counters["indexes"] = world.db.Scalar("SELECT count(*) FROM pragma_index_list('Lichens')").toDouble();
    world.db.CloseHandle();
    state.SetLabel(std::string("goal < ") + (scale == 1 ? "0.5 s" : "5 s") + " (no time stated for the operation)");
}
BENCHMARK(BM_LichenUpdateFromMenu)
    ->ArgNames({"scale"})
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The reconciliation alone at 1x: 1,000 substances naming 3,000 lichens
// against the 60,000 downloaded rows.
void BM_ReconciliationFullSize(benchmark::State& state)
{
    TWorld world(1);
    TSQLConnection connection;
    connection.Params = world.db.ConnectionParams();
    connection.Open();
    connection.ExecuteDirect("CREATE TEMP TABLE Downloaded AS SELECT * FROM Lichens");
    int inserted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        connection.ExecuteDirect("DELETE FROM Lichens");
        connection.ExecuteDirect("INSERT INTO Lichens SELECT * FROM Downloaded");
        state.ResumeTiming();
        QByteArray genus = "Usnea";
        const auto rows = ReconcileLichenNames(ReadSubstanceLichens(connection), genus);
        inserted = InsertMissingLichenRows(connection, rows);
    }
    state.counters["inserted"] = inserted;
}
BENCHMARK(BM_ReconciliationFullSize)->Unit(benchmark::kMillisecond)->Iterations(5);

}
