#pragma once
// The windows of the search configuration and the cune list over a fixture
// database in a temporary working folder: the main window (with its probe
// answered by a local server), the spot entry window, then the windows under
// test, created in the program's order.
#include "support/FakeHttpServer.h"
#include "support/QtPrinters.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"

#include "config/Cune.h"
#include "config/EditOneColor.h"
#include "config/SearchConfig.h"
#include "core/MainWindow.h"
#include "core/Settings.h"
#include "identify/InputValues.h"
#include "identify/RFCalculator.h"
#include "substances/RecordList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <ostream>

// Readable texts in failure messages.

class ConfigWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(db.Dir()));
        server.SetDefault(FakeResponse::Ok("ok"));
        InternetProbeAddress = server.Url("/probe");
        ResetState();
    }

    void TearDown() override
    {
        // Last created first; each global cleared as its window goes.
        DeleteForm(RFForm);
        DeleteForm(CuneForm);
        DeleteForm(RecordListForm);
        DeleteForm(EditOneColorForm);
        DeleteForm(SearchConfigForm);
        DeleteForm(InputSpotValuesForm);
        DeleteForm(Form1);
        Application->ResetForTests();   // the main form is gone
        ResetState();
        ResetSettings();
        QDir::setCurrent(previousDir);
    }

    // The main window and the spot entry window (before the matrix is loaded).
    void CreateMainWindows()
    {
        Application->CreateForm(Form1);
        Application->CreateForm(InputSpotValuesForm);
    }
    // The search configuration window (loads at construction) and the editor.
    void CreateConfigWindows()
    {
        if (!Form1)
            CreateMainWindows();
        Application->CreateForm(SearchConfigForm);
        Application->CreateForm(EditOneColorForm);
    }
    // With Default.scfg in the working folder.
    void CreateWithDefault()
    {
        WriteFile("Default.scfg", DefaultScfg());
        CreateConfigWindows();
    }
    void CreateCuneWindows()
    {
        if (!SearchConfigForm)
            CreateWithDefault();
        Application->CreateForm(RecordListForm);
        Application->CreateForm(CuneForm);
        Application->CreateForm(RFForm);
    }

    static QByteArray DefaultScfg()
    {
        QFile f(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    // The shipped default with whole lines replaced ("RFError" -> "RFError: 3").
    static QByteArray DefaultWith(const std::map<QString, QString>& lines)
    {
        QStringList all = QString::fromUtf8(DefaultScfg()).split(QStringLiteral("\r\n"));
        for (QString& line : all)
            for (const auto& [key, value] : lines)
                if (line.startsWith(key + QStringLiteral(":")))
                    line = key + QStringLiteral(": ") + value;
        return all.join(QStringLiteral("\r\n")).toUtf8();
    }

    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // Everything of the working folder but the database.
    void ClearWorkingFolder()
    {
        QDir dir(db.Dir());
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
            if (info.fileName() != QLatin1String("Quillaspore.db")) {
                if (info.isDir())
                    QDir(info.filePath()).removeRecursively();
                else
                    QFile::remove(info.filePath());
            }
    }
    QString InDir(const QString& name) const { return QDir(db.Dir()).filePath(name); }

    FixtureDb db;
    FakeHttpServer server;

private:
    template <class T> static void DeleteForm(T*& form)
    {
        delete form;
        form = nullptr;
    }
    static void ResetState()
    {
        SearchConfigFileName.clear();
        SearchConfigSaved = true;
        CuneControls.clear();
        ColorMatrix = {};
        Spots.clear();
        SortColumn = 0;
        ChoosingCuneControl = false;
        RFFormOpener.clear();
    }
    QString previousDir;
};
