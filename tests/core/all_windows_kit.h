#pragma once
// The whole program's windows, created as the program entry creates them, on
// a small database in a working folder of their own; every global the
// start-up touches is put back afterwards.
#include "core/Entry.h"
#include "program_state_kit.h"
#include "core/MainWindow.h"
#include "core/Record.h"
#include "core/Settings.h"
#include "core/WebText.h"
#include "framework/Framework.h"
#include "support/FakeHttpServer.h"
#include "support/FixtureDb.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

class AllWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<FixtureDb>();
        db->InsertSubstance({{"name", "Atranorin"}, {"A", 75}, {"B", 73}, {"C", 79}, {"BefVis", "No Result"},
                             {"BefUVS", "No Result"}, {"BefUVL", "No Result"}, {"Archers", "No Result"},
                             {"AftVis", "No Result"}, {"AftUV", "No Result"}, {"KResult", "No Result"},
                             {"CResult", "No Result"}, {"KCResult", "No Result"}, {"PDResult", "No Result"},
                             {"Cortex", "No Result"}, {"Medulla", "No Result"}, {"GroupName", "Depsides"},
                             {"Related", "Chloroatranorin"}});
        db->InsertSubstance({{"name", "Chloroatranorin"}, {"A", 74}, {"C", 78}, {"GroupName", "Depsides"},
                             {"Related", "Atranorin"}});
        db->InsertLichen("Parmelia sulcata", "Atranorin", "Parmelia");
        ASSERT_TRUE(QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), db->Dir() + "/Default.scfg"));
        db->CloseHandle();
        ASSERT_TRUE(QDir::setCurrent(db->Dir()));
        CreateAllForms();
        ASSERT_EQ(Application->ComponentCount(), 19);
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QMenu")) w->hide();
    }

    // One spot (A 75, C 79) matched: its row and Atranorin's row, with
    // "No Result" in every colour and reaction column.
    void MatchOneSpot()
    {
        TSubstanceRecord spot;
        spot.name = QStringLiteral("Spot 1");
        spot.A = QStringLiteral("75");
        spot.C = QStringLiteral("79");
        Spots = {spot};
        Form1->MatchAllSpots();
    }

    // The nineteen windows in their creation order.
    std::vector<TForm*> Windows() const
    {
        std::vector<TForm*> forms;
        for (int i = 0; i < Application->ComponentCount(); ++i)
            forms.push_back(dynamic_cast<TForm*>(Application->Components(i)));
        return forms;
    }

    std::unique_ptr<FixtureDb> db;
    // Last, so the windows are gone before the database folder is removed.
    SavedProgramState saved;
};
