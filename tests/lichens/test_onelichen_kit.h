#pragma once
// Shared ground of the lichen window tests: a temporary working directory,
// a fixture database as the main query's database, a fake portal and the
// windows the lichen browser needs (a plain main window named "Form1").
#include "core/FullScreenImage.h"
#include "support/QtPrinters.h"
#include "support/TestImages.h"
#include "core/Queries.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "core/WebText.h"
#include "framework/NetHTTP.h"
#include "lichens/LichenList.h"
#include "lichens/OneLichen.h"
#include "support/FakeHttpServer.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"

#include <QBuffer>
#include <QDir>
#include <QFrame>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>



inline bool HasColour(const QImage& image, const QColor& colour)
{
    if (image.isNull()) return false;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return std::abs(c.red() - colour.red()) < 24 && std::abs(c.green() - colour.green()) < 24 &&
           std::abs(c.blue() - colour.blue()) < 24;
}

inline bool Framed(TPanel* panel)
{
    return static_cast<QFrame*>(panel->Widget())->frameShape() != QFrame::NoFrame;
}

class LichenWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workDir.isValid());
        oldDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());

        connection.Params = db.ConnectionParams();
        connection.Open();
        SetMainDatabase(&connection, &query);

        PortalBaseAddress = server.BaseAddress();
        InternetEnabled = true;
        textRequest.IsTextRequest = true;
        textRequest.OnRequestError = [](TNetHTTPRequest*, const QString&) {};
        SetWebTextRequest(&textRequest);

        Application->CreateForm(mainForm);
        mainForm->Name = QStringLiteral("Form1");
        mainForm->SetBounds(100, 40, 800, 600);
        Application->CreateForm(WaitForm);
        Application->CreateForm(FullScreenImageForm);
        Application->CreateForm(LichenListForm);
        Application->CreateForm(OneLichenForm);
        TaxonId.clear();
        CurrentImageIndex = -1;
        ImageUrls = {};
        OriginalImageUrls = {};
    }

    void TearDown() override
    {
        for (TForm* f : extraForms) delete f;
        delete OneLichenForm;
        OneLichenForm = nullptr;
        delete LichenListForm;
        LichenListForm = nullptr;
        delete FullScreenImageForm;
        FullScreenImageForm = nullptr;
        delete WaitForm;
        WaitForm = nullptr;
        delete mainForm;
        SetWebTextRequest(nullptr);
        SetMainDatabase(nullptr, nullptr);
        ResetSettings();
        InternetEnabled = true;
        QDir::setCurrent(oldDir);
    }

    // A plain window of the application with that Name (a stand-in for a
    // window of another subsystem), shown or hidden.
    TForm* AddForm(const QString& name, int width, bool shown)
    {
        auto* form = new TForm(Application);
        form->Name = name;
        form->Tag = 100;
        form->SetBounds(0, 0, width, 300);
        if (shown) form->Show();
        extraForms.push_back(form);
        return form;
    }

    QString Abs(const QString& path) const { return server.BaseAddress() + path; }
    // The same address as the portal's JSON writes it (escaped slashes).
    QString Escaped(const QString& address) const { return QString(address).replace("/", "\\/"); }

    QTemporaryDir workDir;
    QString oldDir;
    FixtureDb db;
    TSQLConnection connection;
    TSQLQuery query{&connection};
    FakeHttpServer server;
    TNetHTTPRequest textRequest;
    TForm* mainForm = nullptr;
    std::vector<TForm*> extraForms;
};
