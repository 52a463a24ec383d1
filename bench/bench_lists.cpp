// What the user waits for in the windows, at scale 1 and 10 (BenchDb.h),
// through the windows' own commands on the whole program's windows: "View
// Substances", a character typed into its search edit, "View Lichens", the
// lichen search over five selected substances (the count as the fifth row is
// selected, also for the five with the most lichen rows, and the "View
// Lichens" button), and the warm start-up to an idle main window. Beside
// them the statements they replace: the substance list's per-name synonym
// statement, the lichen list's statement alone, and the INTERSECT of the
// lichen search.
#include "BenchDb.h"

#include "core/Entry.h"
#include "core/MainWindow.h"
#include "core/Queries.h"
#include "core/Schema.h"
#include "core/Settings.h"
#include "update/UpdateSql.h"
#include "framework/Dialogs.h"
#include "framework/Framework.h"
#include "identify/LichenSearch.h"
#include "lichens/LichenMatches.h"
#include "lichens/LichenList.h"
#include "lichens/LichenText.h"
#include "substances/RecordList.h"
#include "substances/SubstanceSql.h"
#include "support/FakeHttpServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

class SilentDialogs : public IDialogs {
public:
    void ShowMessage(const QString&) override {}
    int MessageDlg(const QString&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
    QString FileDialog(const TFileDialogRequest&) override { return {}; }
    void OpenUrl(const QString&) override {}
    void SendEndKey() override {}
};

// The program's windows on a working folder holding the database of one
// scale and the default search configuration. One set of windows at a time.
class TProgram {
public:
    static TProgram& At(int scale, TBenchShape shape = TBenchShape::Own)
    {
        static std::unique_ptr<TProgram>& current = [] () -> std::unique_ptr<TProgram>& {
            static std::unique_ptr<TProgram> program;
            // The windows go while the application object still exists.
            qAddPostRoutine([] { program.reset(); });
            return program;
        }();
        if (!current || current->scale != scale || current->shape != shape) {
            current.reset();
            current.reset(new TProgram(scale, shape));
        }
        return *current;
    }
    ~TProgram()
    {
        if (running) DestroyAllForms();
        QDir::setCurrent(oldDir);
    }

    void Start()
    {
        CreateAllForms();
        Application->ProcessMessages();
        running = true;
    }
    void Stop()
    {
        DestroyAllForms();
        running = false;
    }
    bool Running() const { return running; }

private:
    TProgram(int scale, TBenchShape shape) : scale(scale), shape(shape)
    {
        static bool dialogsSet = false;
        if (!dialogsSet) {
            SetDialogs(std::make_unique<SilentDialogs>());
            dialogsSet = true;
        }
        QFile::copy(BenchDatabasePath(scale, shape), dir.filePath(QStringLiteral("Quillaspore.db")));
        QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), dir.filePath(QStringLiteral("Default.scfg")));
        oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        server.Route(QStringLiteral("/"), FakeResponse::Ok("<html>up</html>"));
        InternetProbeAddress = server.Url(QStringLiteral("/"));
        Start();
        InternetEnabled = false;   // the lists never go to the portal
    }

    int scale;
    TBenchShape shape;
    QTemporaryDir dir;
    QString oldDir;
    FakeHttpServer server;
    bool running = false;
};

TProgram& Program(benchmark::State& state, TBenchShape shape = TBenchShape::Own)
{
    TProgram& p = TProgram::At(int(state.range(0)), shape);
    // Another benchmark of the run may have closed the windows.
    if (!p.Running() || Application->ComponentCount() == 0) p.Start();
    return p;
}

// ---------------------------------------------------------------- substance list

void ViewSubstances(benchmark::State& state)
{
    Program(state);
    for (auto _ : state)
        Form1->MainMenuViewSubstancesClick(nullptr);
    state.counters["lines"] = RecordListForm->RecordListBox->Items()->Count();
}

// One character typed into the empty search edit: "a" is in every name, so
// the whole list is rebuilt (the worst keystroke).
void TypeIntoSubstanceSearch(benchmark::State& state)
{
    Program(state);
    Form1->MainMenuViewSubstancesClick(nullptr);
    TEdit* edit = RecordListForm->SearchWordEdit;
    for (auto _ : state) {
        state.PauseTiming();
        edit->SetText(QString());
        state.ResumeTiming();
        QTest::keyClick(edit->Widget(), 'a');
    }
    state.counters["lines"] = RecordListForm->RecordListBox->Items()->Count();
}

// The reference list: the names, then one synonym statement per name.
void ReferenceSubstanceListStatements(benchmark::State& state)
{
    Program(state);
    size_t lines = 0;
    for (auto _ : state) {
        RunQuery(QStringLiteral("select name from Substances"));
        QStringList names;
        for (TSQLQuery& q = MainQuery(); !q.Eof(); q.Next()) names << GetFieldString(QStringLiteral("name"));
        std::stable_sort(names.begin(), names.end(), NameLess);
        lines = 0;
        for (const QString& name : names) {
            RunQuery(QStringLiteral("SELECT Synonyms from Substances where name LIKE ?1 LIMIT 1"), {name});
            lines += 1 + SynonymLines(GetFieldString(QStringLiteral("Synonyms"))).size();
        }
    }
    state.counters["lines"] = double(lines);
}

// ---------------------------------------------------------------- lichen list

void ViewLichens(benchmark::State& state)
{
    Program(state);
    for (auto _ : state)
        Form1->MainMenuViewLichensClick(nullptr);
    state.counters["lines"] = LichenListForm->LichenListBox->Items()->Count();
}

void ReferenceLichenListStatement(benchmark::State& state)
{
    Program(state);
    size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (RunQuery(QStringLiteral("select DISTINCT Lichen from Lichens ORDER BY Lichen")); !MainQuery().Eof();
             MainQuery().Next())
            ++rows;
    }
    state.counters["rows"] = double(rows);
}

// ---------------------------------------------------------------- lichen search

// The substances that lichen rows spell (ASCII case aside) with their row
// counts, most rows first, of the database the windows have open.
struct TNameRows {
    QString Name;
    long long Rows;
};
const std::vector<TNameRows>& SubstancesByRows(int scale, TBenchShape shape)
{
    static std::map<std::pair<int, TBenchShape>, std::vector<TNameRows>> found;
    std::vector<TNameRows>& names = found[{scale, shape}];
    if (names.empty()) {
        RunQuery(QStringLiteral("SELECT name, n FROM (SELECT S.name, (SELECT count(*) FROM Lichens L "
                                "WHERE L.Substance = S.name COLLATE NOCASE) AS n FROM Substances S) "
                                "WHERE n > 0 ORDER BY n DESC, name"));
        for (TSQLQuery& q = MainQuery(); !q.Eof(); q.Next())
            names.push_back({GetFieldString(QStringLiteral("name")), q.FieldByName(QStringLiteral("n")).AsLargeInt()});
    }
    return names;
}

// The five substances with the most lichen rows of the bench's own data,
// most first: the heaviest selection for the lichen search.
QStringList HeaviestSubstances(int scale)
{
    QStringList names;
    for (const TNameRows& n : SubstancesByRows(scale, TBenchShape::Own)) {
        if (names.size() == 5) break;
        names << n.Name;
    }
    return names;
}

// One substance row a name in the main window's spot list, none selected.
std::vector<TListItem*> SubstanceRows(const QStringList& names)
{
    Form1->SpotListView->Clear();
    std::vector<TListItem*> rows;
    for (const QString& name : names) {
        TSubstanceRecord r;
        r.name = name;
        Form1->AddSpotListRow(r);
        rows.push_back(Form1->SpotListView->Items()->Item(Form1->SpotListView->Items()->Count() - 1));
    }
    return rows;
}

// The count on the button as the fifth row joins the selection.
void SelectFifth(benchmark::State& state, const QStringList& names)
{
    const std::vector<TListItem*> rows = SubstanceRows(names);
    for (auto _ : state) {
        state.PauseTiming();
        Form1->SpotListView->ClearSelection();
        for (int i = 0; i < 4; ++i) rows[i]->SetSelected(true);
        state.ResumeTiming();
        rows[4]->SetSelected(true);
    }
}

void SelectFifthSubstance(benchmark::State& state)
{
    Program(state);
    SelectFifth(state, BenchSelectedSubstances(int(state.range(0))));
    state.SetLabel(Form1->ViewLichensButton->Caption().toStdString());
}

// The same with the five substances that have the most lichen rows, listed
// heaviest first: a search that simply starts from the first name starts
// from the heaviest.
void SelectFifthHeaviestSubstance(benchmark::State& state)
{
    Program(state);
    SelectFifth(state, HeaviestSubstances(int(state.range(0))));
    state.SetLabel(Form1->ViewLichensButton->Caption().toStdString() + ", goal < 30 ms");
}

// The "View Lichens" button with five rows selected ("Inexact", as the
// window starts).
void ViewLichensButton(benchmark::State& state)
{
    Program(state);
    const std::vector<TListItem*> rows = SubstanceRows(BenchSelectedSubstances(int(state.range(0))));
    for (TListItem* r : rows) r->SetSelected(true);
    Form1->ViewLichensButton->SetEnabled(true);
    for (auto _ : state)
        QTest::mouseClick(Form1->ViewLichensButton->Widget(), Qt::LeftButton);
    state.SetLabel(Form1->ViewLichensButton->Caption().toStdString());
}

// The reference statement: one SELECT per name joined by INTERSECT.
void ReferenceLichenSearchStatement(benchmark::State& state)
{
    Program(state);
    const QStringList names = BenchSelectedSubstances(int(state.range(0)));
    QStringList selects;
    QVariantList params;
    for (int i = 0; i < names.size(); ++i) {
        selects << QStringLiteral("SELECT Lichen FROM Lichens WHERE Substance LIKE ?%1").arg(i + 1);
        params << names[i];
    }
    size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (RunQuery(selects.join(QStringLiteral(" INTERSECT ")), params); !MainQuery().Eof(); MainQuery().Next())
            ++rows;
    }
    state.counters["lichens"] = double(rows);
}

// ---------------------------------------------------------------- lichen search by shape

enum class TSelection { Heaviest5, Heaviest8, Heaviest2, HeaviestAnd4Rare, Heaviest2AndWildcard };
const char* SelectionName(TSelection s)
{
    switch (s) {
    case TSelection::Heaviest5: return "Heaviest5";
    case TSelection::Heaviest8: return "Heaviest8";
    case TSelection::Heaviest2: return "Heaviest2";
    case TSelection::HeaviestAnd4Rare: return "HeaviestAnd4Rare";
    case TSelection::Heaviest2AndWildcard: return "Heaviest2AndWildcard";
    }
    return "?";
}

// The selected names in list order, heaviest first: a search that simply
// starts from the first name starts from the heaviest.
QStringList SelectionNames(int scale, TBenchShape shape, TSelection selection)
{
    const std::vector<TNameRows>& byRows = SubstancesByRows(scale, shape);
    QStringList names;
    auto heaviest = [&](int n) {
        for (int i = 0; i < n && i < int(byRows.size()); ++i) names << byRows[size_t(i)].Name;
    };
    switch (selection) {
    case TSelection::Heaviest5: heaviest(5); break;
    case TSelection::Heaviest8: heaviest(8); break;
    case TSelection::Heaviest2: heaviest(2); break;
    case TSelection::HeaviestAnd4Rare:
        heaviest(1);
        for (size_t i = byRows.size(); i > 0 && names.size() < 5; --i) names << byRows[i - 1].Name;
        break;
    case TSelection::Heaviest2AndWildcard:
        heaviest(2);
        // A leading wildcard: no index range narrows its LIKE.
        for (const TNameRows& n : byRows)
            if (n.Name.startsWith(QLatin1Char('_')) || n.Name.startsWith(QLatin1Char('%'))) {
                names << n.Name;
                break;
            }
        break;
    }
    return names;
}

enum class TSearchAction { SelectLast, ClickInexact, ClickExact };

// The selection handler's count as the last row joins the selection, or the
// "View Lichens" button with every row selected, in either mode, each time
// searching anew (not the search kept from the count before it).
void LichenSearch(benchmark::State& state, TBenchShape shape, TSelection selection, TSearchAction action)
{
    Program(state, shape);
    const int scale = int(state.range(0));
    const QStringList names = SelectionNames(scale, shape, selection);
    const std::vector<TListItem*> rows = SubstanceRows(names);
    const size_t last = rows.size() - 1;
    if (action == TSearchAction::SelectLast) {
        for (auto _ : state) {
            state.PauseTiming();
            Form1->SpotListView->ClearSelection();
            for (size_t i = 0; i < last; ++i) rows[i]->SetSelected(true);
            state.ResumeTiming();
            rows[last]->SetSelected(true);
        }
        state.SetLabel(Form1->ViewLichensButton->Caption().toStdString());
        return;
    }
    for (TListItem* r : rows) r->SetSelected(true);
    LichenMatchesForm->MatchRadio->SetItemIndex(action == TSearchAction::ClickExact ? 0 : 1);
    Form1->ViewLichensButton->SetEnabled(true);
    for (auto _ : state) {
        state.PauseTiming();
        FindLichensContainingAll({QStringLiteral("no such substance")}, false);
        state.ResumeTiming();
        QTest::mouseClick(Form1->ViewLichensButton->Widget(), Qt::LeftButton);
    }
    // Less the lines "Substances:", the names, the empty line and "Lichens:".
    state.counters["lichens"] = double(LichenMatchesForm->LichenListBox->Items()->Count() - names.size() - 3);
    LichenMatchesForm->MatchRadio->SetItemIndex(1);
}

// Grouped by shape, so each shape's windows are started once per scale.
const bool LichenSearchRegistered = [] {
    const TBenchShape shapes[] = {TBenchShape::Own, TBenchShape::FewLichens, TBenchShape::PortalLike};
    const TSelection selections[] = {TSelection::Heaviest5, TSelection::Heaviest8, TSelection::Heaviest2,
                                     TSelection::HeaviestAnd4Rare, TSelection::Heaviest2AndWildcard};
    const std::pair<TSearchAction, const char*> actions[] = {{TSearchAction::SelectLast, "SelectLast"},
                                                             {TSearchAction::ClickInexact, "ClickInexact"},
                                                             {TSearchAction::ClickExact, "ClickExact"}};
    // "action" goes in by an init-capture: clang 14 cannot capture a
    // structured binding.
    for (TBenchShape shape : shapes)
        for (int scale : {1, 10})
            for (TSelection selection : selections)
                for (const auto& [action, actionName] : actions)
                    benchmark::RegisterBenchmark((std::string("LichenSearch/") + BenchShapeName(shape) + "/" +
                                                  SelectionName(selection) + "/" + actionName)
                                                     .c_str(),
                                                 [shape, selection, action = action](benchmark::State& st) {
                                                     LichenSearch(st, shape, selection, action);
                                                 })
                        ->Unit(benchmark::kMillisecond)
                        ->Arg(scale);
    return true;
}();

// ---------------------------------------------------------------- index rebuild

// What the lichen update spends on the indexes after filling the table:
// the program's lichen indexes made again on the full table of each shape,
// with the helper threads the update allows (rolled back after each
// measure). "/10/0" makes the set of earlier versions, "/10/1" today's.
void LichenIndexRebuild(benchmark::State& state, TBenchShape shape)
{
    TSQLConnection c;
    c.Params = {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
                QStringLiteral("Database=") + BenchDatabasePath(int(state.range(0)), shape)};
    c.Open();
    c.ExecuteDirect(QStringLiteral("PRAGMA threads = 4"));
    const QStringList earlier = {QStringLiteral("CREATE INDEX LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)"),
                                 QStringLiteral("CREATE INDEX LichensLichen ON Lichens(Lichen)")};
    const QStringList statements = state.range(1) > 0 ? LichenIndexStatements : earlier;
    for (auto _ : state) {
        state.PauseTiming();
        c.StartTransaction();
        for (const TIndexDefinition& index : TableIndexes(c, QStringLiteral("Lichens")))
            c.ExecuteDirect(QStringLiteral("DROP INDEX ") + index.Name);
        state.ResumeTiming();
        for (const QString& sql : statements) c.ExecuteDirect(sql);
        state.PauseTiming();
        c.Rollback();
        state.ResumeTiming();
    }
    state.counters["indexes"] = double(statements.size());
    c.Close();
}

const bool LichenIndexRebuildRegistered = [] {
    for (TBenchShape shape : {TBenchShape::Own, TBenchShape::FewLichens, TBenchShape::PortalLike})
        benchmark::RegisterBenchmark((std::string("LichenIndexRebuild/") + BenchShapeName(shape)).c_str(),
                                     [=](benchmark::State& st) { LichenIndexRebuild(st, shape); })
            ->Unit(benchmark::kMillisecond)
            ->Args({10, 0})
            ->Args({10, 1})
            ->Iterations(3);
    return true;
}();

// ---------------------------------------------------------------- start-up

// All nineteen windows created, the database opened and migrated, pending
// events run: the idle main window. The files are in the cache (warm).
void WarmStartUp(benchmark::State& state)
{
    TProgram& p = Program(state);
    for (auto _ : state) {
        state.PauseTiming();
        p.Stop();
        state.ResumeTiming();
        p.Start();
    }
}

// A start on a copy of the database as the previous version left it (its
// older lichen index), without ("/0") and with ("/1") another program
// holding its write lock all the while. Without the lock the start replaces
// the index (put back before each start); under it the start goes on with
// the older index at once instead of waiting for the lock.
void StartUpOnPreviousVersion(benchmark::State& state)
{
    const int scale = int(state.range(0));
    const bool locked = state.range(1) > 0;
    // Answers the dialogs and serves the probe; its own windows go.
    Program(state).Stop();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quillaspore.db"));
    if (!QFile::copy(BenchDatabasePath(scale), path)
        || !QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), dir.filePath(QStringLiteral("Default.scfg")))) {
        state.SkipWithError("cannot copy the database");
        return;
    }
    sqlite3* other = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
    const char* previous = "DROP INDEX IF EXISTS LichensSubstanceLichen;"
                           "CREATE INDEX IF NOT EXISTS LichensSubstanceNoCase ON Lichens(Substance COLLATE NOCASE)";
    if (sqlite3_exec(other, previous, nullptr, nullptr, nullptr) != SQLITE_OK
        || (locked && sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Substances (name, A) VALUES ('Pending acid', 30)",
                                   nullptr, nullptr, nullptr) != SQLITE_OK)) {
        sqlite3_close(other);
        state.SkipWithError("cannot prepare the database");
        return;
    }
    const QString back = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (auto _ : state) {
        state.PauseTiming();
        if (Application->ComponentCount() > 0) DestroyAllForms();
        if (!locked) sqlite3_exec(other, previous, nullptr, nullptr, nullptr);
        state.ResumeTiming();
        CreateAllForms();
        Application->ProcessMessages();
    }
    DestroyAllForms();
    if (locked) sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QDir::setCurrent(back);
}

void Scales(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond)->Arg(1)->Arg(10); }

BENCHMARK(ViewSubstances)->Apply(Scales);
BENCHMARK(TypeIntoSubstanceSearch)->Apply(Scales);
BENCHMARK(ReferenceSubstanceListStatements)->Apply(Scales);
BENCHMARK(ViewLichens)->Apply(Scales);
BENCHMARK(ReferenceLichenListStatement)->Apply(Scales);
BENCHMARK(SelectFifthSubstance)->Apply(Scales);
BENCHMARK(SelectFifthHeaviestSubstance)->Apply(Scales);
BENCHMARK(ViewLichensButton)->Apply(Scales);
BENCHMARK(ReferenceLichenSearchStatement)->Apply(Scales);
BENCHMARK(WarmStartUp)->Apply(Scales);
BENCHMARK(StartUpOnPreviousVersion)->Unit(benchmark::kMillisecond)->Args({1, 0})->Args({1, 1});

} // namespace
