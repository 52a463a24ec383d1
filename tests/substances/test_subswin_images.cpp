// Substance images from the portal's glossary page.
#include "test_subswin_kit.h"

#include "core/FormMapping.h"

#include <QFrame>

namespace {

using SubstanceImages = SubstanceWindowTest;

const QString Page12 = "/portal/glossary/individual.php?glossid=12";

bool Framed(TPanel* panel)
{
    return static_cast<QFrame*>(panel->Widget())->frameShape() != QFrame::NoFrame;
}

TEST_F(SubstanceImages, FiveAddressesGiveFourThumbnails)
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::black};
    QByteArray page = "<html>\n";
    for (int i = 0; i < 5; ++i) {
        const QString path = QStringLiteral("/img/%1.jpg").arg(i);
        server.Route(path, FakeResponse::Ok(SolidJpeg(colours[i]), "image/jpeg"));
        page += "<img src=\"" + server.Url(path).toUtf8() + "\">\n";
    }
    server.Route(Page12, FakeResponse::Ok(page, "text/html"));
    ShowSubstanceRecord("Atranorin");
    ViewRecordForm->Panel1->Click();

    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_EQ(server.Requests(), QStringList({Page12, "/img/0.jpg", "/img/1.jpg", "/img/2.jpg", "/img/3.jpg"}));
    TSubstanceImageForm* w = SubstanceImageForm;
    EXPECT_TRUE(w->Visible());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(w->Label1->Caption(), "Atranorin");
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(w->ThumbnailPanels[i]->Visible()) << i;
        EXPECT_FALSE(w->ThumbnailImages[i]->Picture().isNull()) << i;
        EXPECT_EQ(Framed(w->ThumbnailPanels[i]), i == 0) << i;
    }
    EXPECT_EQ(w->Image1->Picture(), w->ThumbnailImages[0]->Picture());
    EXPECT_EQ(ViewRecordForm->Left() + ViewRecordForm->Width(), w->Left());
    SaveScreenshot(w, "substance_images");

    // Choosing a thumbnail frames only it and shows it large; full screen.
    w->ThumbnailPanels[2]->Click();
    EXPECT_EQ(w->Image1->Picture(), w->ThumbnailImages[2]->Picture());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Framed(w->ThumbnailPanels[i]), i == 2) << i;
    w->FullScreenButton->Click();
    EXPECT_TRUE(FullScreenImageForm->Visible());
    EXPECT_EQ(FullScreenImageForm->Image1->Picture(), w->ThumbnailImages[2]->Picture());
    EXPECT_EQ(FullScreenImageForm->CloseButton->Left(),
              FullScreenImageForm->Width() / 2 - FullScreenImageForm->CloseButton->Width() / 2);

    // A later page with one address: only that thumbnail is shown.
    server.Route(Page12, FakeResponse::Ok("<img src=\"" + server.Url("/img/4.jpg").toUtf8() + "\">"));
    ViewRecordForm->Panel1->Click();
    EXPECT_TRUE(w->ThumbnailPanels[0]->Visible());
    for (int i = 1; i < 4; ++i) EXPECT_FALSE(w->ThumbnailPanels[i]->Visible()) << i;
}

TEST_F(SubstanceImages, NoAddressesOrAFailure)
{
    ShowSubstanceRecord("Atranorin");
    server.Route(Page12, FakeResponse::Ok("<img src=\"http://x/a.JPG\"> http://x/b.jpeg"));
    SubstanceImageForm->Show();
    ViewRecordForm->Panel1->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"No images found."}));
    EXPECT_FALSE(SubstanceImageForm->Visible());
    EXPECT_FALSE(WaitForm->Visible());

    // An address that is no JPEG: reported, the wait window hidden, and the
    // window can load again afterwards.
    server.Route(Page12, FakeResponse::Ok(("<img src=\"" + server.Url("/bad.jpg") + "\">").toUtf8()));
    server.Route("/bad.jpg", FakeResponse::Ok("\xff\xd8\xff\xe0 this is not a picture", "image/jpeg"));
    TestDialogs().Reset();
    ViewRecordForm->Panel1->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Error connecting to internet"}));
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_FALSE(ViewRecordForm->LoadingImages());

    server.Route("/bad.jpg", FakeResponse::Ok(SolidJpeg(Qt::red)));
    TestDialogs().Reset();
    ViewRecordForm->Panel1->Click();
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_TRUE(SubstanceImageForm->Visible());
}

TEST_F(SubstanceImages, OfflineOrHiddenImageAreaMakesNoRequest)
{
    ShowSubstanceRecord("Atranorin");
    InternetEnabled = false;
    ViewRecordForm->Panel1->Click();
    InternetEnabled = true;
    ViewRecordForm->Image1->Hide();
    ViewRecordForm->Panel1->Click();
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_FALSE(SubstanceImageForm->Visible());
}

TEST_F(SubstanceImages, ABusyWindowRefusesAndAClosedCopyIsNotTouched)
{
    ShowSubstanceRecord("Atranorin");
    // A second click while the first load runs is refused.
    server.Route(Page12, FakeResponse::Ok("no pictures"));
    WaitForm->OnShow = [](TObject*) { ViewRecordForm->Panel1->Click(); };
    ViewRecordForm->Panel1->Click();
    EXPECT_EQ(server.Requests(), QStringList{Page12});
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"No images found."}));
    server.ClearRequests();
    TestDialogs().Reset();

    ViewRecordForm->Compare1->Click();
    TViewRecordForm* copy = RecordWindows()[1];
    ASSERT_EQ(copy->NameEdit->Text(), "Chloroatranorin");
    std::weak_ptr<bool> alive = copy->AliveFlag();
    server.RoutePrefix("/portal/glossary/", [](const QString&) { return FakeResponse::Ok("http://x/a.jpg"); });
    // The copy closes while the wait window lets events run: the load stops,
    // and the copy, nameless and hidden at once, is freed only after its
    // handler has returned.
    WaitForm->OnShow = [copy](TObject*) { copy->Close(); };
    copy->Panel1->Click();
    WaitForm->OnShow = nullptr;
    ASSERT_FALSE(alive.expired());
    EXPECT_TRUE(*alive.lock());
    EXPECT_EQ(copy->Name, "");
    EXPECT_FALSE(copy->Visible());
    EXPECT_FALSE(FormNameExists("Compare1"));
    Application->ProcessMessages();
    EXPECT_TRUE(alive.expired() || !*alive.lock());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(RecordWindows().size(), 1u);
    EXPECT_TRUE(server.Requests().isEmpty());

    // Closing the main view while a copy loads: the copy is freed only after
    // its load has returned, and the image window is not shown for it.
    ViewRecordForm->Compare1->Click();
    copy = RecordWindows()[1];
    alive = copy->AliveFlag();
    WaitForm->OnShow = [](TObject*) { ViewRecordForm->Close(); };
    copy->Panel1->Click();
    WaitForm->OnShow = nullptr;
    ASSERT_FALSE(alive.expired());
    EXPECT_FALSE(copy->Visible());
    EXPECT_FALSE(FormNameExists("Compare1"));
    EXPECT_FALSE(SubstanceImageForm->Visible());
    EXPECT_FALSE(WaitForm->Visible());
    Application->ProcessMessages();
    EXPECT_TRUE(alive.expired() || !*alive.lock());
    EXPECT_EQ(RecordWindows().size(), 1u);
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(SubstanceImages, ClosingTheImageWindowPlacesTheRecordWindows)
{
    server.Route(Page12, FakeResponse::Ok("<p>none</p>"));
    ShowSubstanceRecord("Atranorin");
    ViewRecordForm->Compare1->Click();
    ViewRecordForm->BioRelatedListBox->SetItemIndex(1);
    ViewRecordForm->Compare1->Click();
    TForm* second = FindFormByName("Compare2");
    ASSERT_NE(second, nullptr);
    const int centre = mainForm->Left() + mainForm->Width() / 2;

    SubstanceImageForm->Show();
    second->SetLeft(0);
    SubstanceImageForm->CloseButton->Click();
    EXPECT_FALSE(SubstanceImageForm->Visible());
    EXPECT_EQ(second->Left(), centre - second->Width() / 2);   // "Compare2" alone on the centre line

    // With only the first copy: the main view left of the line, the copy right.
    second->Close();
    Application->ProcessMessages();
    TForm* first = FindFormByName("Compare1");
    ASSERT_NE(first, nullptr);
    SubstanceImageForm->Show();
    ViewRecordForm->SetLeft(0);
    SubstanceImageForm->Close();
    EXPECT_EQ(ViewRecordForm->Left() + ViewRecordForm->Width(), first->Left());
}

} // namespace
