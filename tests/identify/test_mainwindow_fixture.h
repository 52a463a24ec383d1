#pragma once
// The main window with the windows it talks to, built on a small database in
// a temporary working folder, the internet probe answered by a local server.
#include "support/FakeHttpServer.h"
#include "support/FileBytes.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"

#include "config/Cune.h"
#include "config/SearchConfig.h"
#include "core/HelpWindow.h"
#include "core/HintWindow.h"
#include "core/MainWindow.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "framework/Text.h"
#include "identify/GenusList.h"
#include "identify/GroupList.h"
#include "identify/InputValues.h"
#include "identify/RFCalculator.h"
#include "lichens/LichenMatches.h"
#include "update/UpdateDates.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Substances: two near A 75 / C 79 (spot 1), one at A 40 / C 30 (spot 2),
// two elsewhere. Every listed substance is named by some lichen row.
inline void FillMainWindowDb(FixtureDb& db)
{
    db.InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"B", 73}, {"C", 79}, {"BefUVL", "Yellow"},
                        {"GroupName", "Depsides"}, {"Related", "Chloroatranorin, Orphanic acid"}});
    db.InsertSubstance({{"name", "Chloroatranorin"}, {"A", 74}, {"B", 72}, {"C", 78}, {"GroupName", "Depsides"},
                        {"Related", "Atranorin, Zz"}});
    db.InsertSubstance({{"name", "Norstictic acid"}, {"A", 40}, {"B", 32}, {"C", 30}, {"GroupName", "Depsidones"},
                        {"Related", "Salaz"}});
    db.InsertSubstance({{"name", "Salazinic acid"}, {"A", 10}, {"B", 4}, {"C", 8}, {"GroupName", "Depsidones"}});
    db.InsertSubstance({{"name", "Zeorin"}, {"A", 34}, {"B", 33}, {"C", 39}, {"GroupName", "Terpenoids"},
                        {"Related", "Lobaric acid"}});
    db.InsertLichen("Parmelia sulcata", "Atranorin", "Parmelia");
    db.InsertLichen("Parmelia sulcata", "Salazinic acid", "Parmelia");
    db.InsertLichen("Parmelia saxatilis", "Atranorin", "Parmelia");
    db.InsertLichen("Parmelia saxatilis", "Salazinic acid", "Parmelia");
    db.InsertLichen("Parmelia saxatilis", "Norstictic acid", "Parmelia");
    db.InsertLichen("Physcia aipolia", "Atranorin", "Physcia");
    db.InsertLichen("Physcia aipolia", "Zeorin", "Physcia");
    db.InsertLichen("Cladonia rangiferina", "Chloroatranorin", "Cladonia");
    db.InsertLichen("Cladonia rangiferina", "Atranorin", "Cladonia");
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldDir = QDir::currentPath();
        FillMainWindowDb(db);
        db.CloseHandle();
        QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), db.Dir() + "/Default.scfg");
        QDir::setCurrent(db.Dir());
        server.Route("/", FakeResponse::Ok("<html>up</html>"));
        InternetProbeAddress = server.Url("/");
        ResetGlobals();
        CreateWindows();
        TestDialogs().Reset();
    }
    void TearDown() override
    {
        DeleteWindows();
        ResetGlobals();
        ResetSettings();
        QDir::setCurrent(oldDir);
    }

    static void ResetGlobals()
    {
        Spots.clear();
        CuneControls.clear();
        SpotsSaved = true;
        InternetEnabled = true;
        ChoosingCuneControl = false;
        SearchConfigSaved = true;
        SortColumn = 0;
        LichenDataDate = "0";
        SubstanceDataDate = "0";
        SetUnixNowForTesting(0);
    }

    void CreateWindows()
    {
        Application->CreateForm(Form1);
        Application->CreateForm(InputSpotValuesForm);
        Application->CreateForm(SearchConfigForm);
        Application->CreateForm(HelpForm);
        Application->CreateForm(LichenMatchesForm);
        Application->CreateForm(WaitForm);
        Application->CreateForm(CuneForm);
        Application->CreateForm(RFForm);
        Application->CreateForm(GenusForm);
        Application->CreateForm(HintForm);
        Application->CreateForm(GroupForm);
    }

    template <class T> static void Free(T*& form)
    {
        delete form;
        form = nullptr;
    }
    static void DeleteWindows()
    {
        Free(GroupForm);
        Free(HintForm);
        Free(GenusForm);
        Free(RFForm);
        Free(CuneForm);
        Free(WaitForm);
        Free(LichenMatchesForm);
        Free(HelpForm);
        Free(SearchConfigForm);
        Free(InputSpotValuesForm);
        Free(Form1);
    }

    static TSubstanceRecord Spot(int n, const QString& a, const QString& c)
    {
        TSubstanceRecord r;
        r.name = QStringLiteral("Spot %1").arg(n);
        r.A = a;
        r.C = c;
        return r;
    }
    // Spot 1 near Atranorin, spot 2 at Norstictic acid.
    static void TwoSpots()
    {
        Spots = {Spot(1, "75", "79"), Spot(2, "40", "30")};
        SortColumn = 100;
    }

    static QStringList Captions()
    {
        QStringList c;
        for (int i = 0; i < Form1->SpotListView->Items()->Count(); ++i)
            c << Form1->SpotListView->Items()->Item(i)->Caption();
        return c;
    }
    static QStringList LichenLines()
    {
        return LichenMatchesForm->LichenListBox->Items()->ToStringList();
    }
    static TListItem* Row(const QString& caption)
    {
        for (int i = 0; i < Form1->SpotListView->Items()->Count(); ++i)
            if (Form1->SpotListView->Items()->Item(i)->Caption() == caption)
                return Form1->SpotListView->Items()->Item(i);
        return nullptr;
    }
    QString Path(const QString& name) const { return db.Dir() + "/" + name; }

    FixtureDb db;
    FakeHttpServer server;
    QString oldDir;
};
