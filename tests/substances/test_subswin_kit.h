#pragma once
// Shared ground of the substance browser tests: a temporary working
// directory, a fixture database as the main query's database, a fake portal,
// a plain main window named "Form1" and the substance windows.
#include "core/FullScreenImage.h"
#include "support/QtPrinters.h"
#include "support/TestImages.h"
#include "core/Queries.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "core/WebText.h"
#include "framework/NetHTTP.h"
#include "substances/RecordList.h"
#include "substances/SubstanceImage.h"
#include "substances/ViewRecord.h"
#include "support/FakeHttpServer.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>



inline QStringList ListLines(TListBox* list)
{
    return list->Items()->ToStringList();
}

class SubstanceWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workDir.isValid());
        oldDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());

        // A small substance table: NameLess order is Atranorin,
        // Chloroatranorin, 4-O-Demethylbarbatic acid, Usnic acid.
        db.InsertSubstance({{"name", "Usnic acid"}, {"Synonyms", "usnein, UA"}, {"A", "70"}, {"GLossID", "7"}});
        db.InsertSubstance({{"name", "Atranorin"},
                            {"Synonyms", "atranorine, atranol"},
                            {"Related", "Chloroatranorin, Usnic acid, "},
                            {"A", "75"},
                            {"BefVis", "-"},
                            {"BefUVS", "+"},
                            {"Notes", "Quorrel 12"},
                            {"Lichens", "kept"},
                            {"GLossID", "12"}});
        db.InsertSubstance({{"name", "Chloroatranorin"}, {"Synonyms", ""}, {"Related", "Atranorin, "}});
        db.InsertSubstance({{"name", "4-O-Demethylbarbatic acid"}, {"Synonyms", "DMB"}});
        db.InsertLichen("Parmelia sulcata", "Atranorin", "Parmelia");
        db.InsertLichen("Lecanora muralis", "Atranorin", "Lecanora");

        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);

        PortalBaseAddress = server.BaseAddress();
        NPAtlasBaseAddress = QStringLiteral("http://atlas.test");
        InternetEnabled = true;
        ChoosingRelatedCompound = false;
        textRequest.IsTextRequest = true;
        textRequest.OnRequestError = [](TNetHTTPRequest*, const QString&) {};
        SetWebTextRequest(&textRequest);

        Application->CreateForm(mainForm);
        mainForm->Name = QStringLiteral("Form1");
        mainForm->SetBounds(100, 40, 1000, 700);
        Application->CreateForm(ViewRecordForm);
        Application->CreateForm(RecordListForm);
        Application->CreateForm(WaitForm);
        Application->CreateForm(SubstanceImageForm);
        Application->CreateForm(FullScreenImageForm);
    }

    void TearDown() override
    {
        Application->FreeReleased();
        while (Application->ComponentCount() > 0)
            delete Application->Components(Application->ComponentCount() - 1);
        ViewRecordForm = nullptr;
        RecordListForm = nullptr;
        WaitForm = nullptr;
        SubstanceImageForm = nullptr;
        FullScreenImageForm = nullptr;
        Application->ResetForTests();
        SetWebTextRequest(nullptr);
        SetMainDatabase(nullptr, nullptr);
        ResetSettings();
        InternetEnabled = true;
        ChoosingRelatedCompound = false;
        QDir::setCurrent(oldDir);
    }

    // The record windows of the application (main view first).
    std::vector<TViewRecordForm*> RecordWindows() const
    {
        std::vector<TViewRecordForm*> found;
        for (int i = 0; i < Application->ComponentCount(); ++i)
            if (auto* f = dynamic_cast<TViewRecordForm*>(Application->Components(i))) found.push_back(f);
        return found;
    }

    QTemporaryDir workDir;
    QString oldDir;
    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
    FakeHttpServer server;
    TNetHTTPRequest textRequest;
    TForm* mainForm = nullptr;
};
