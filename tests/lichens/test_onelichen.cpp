#include "test_onelichen_kit.h"

#include "core/FormMapping.h"

#include <QFile>
#include <QTest>

namespace {

const QString KnownLichen = QStringLiteral("Cladonia rangiferina");
const QString TaxonomyPath =
    QStringLiteral("/portal/api/v2/taxonomy?taxon=Cladonia%20rangiferina&type=EXACT&limit=10&offset=0");
const QString MediaPath =
    QStringLiteral("/portal/api/v2/media?tid=5021&includeSynonyms=1&includeChildren=0&limit=15&offset=0");

const QColor Grey(90, 90, 90), Orange(250, 140, 0), Pink(250, 120, 200);
const QColor ThumbColours[] = {QColor(220, 0, 0), QColor(0, 200, 0), QColor(0, 0, 230),
                               QColor(230, 230, 0), QColor(0, 220, 220), QColor(220, 0, 220)};

class OneLichenTest : public LichenWindowTest {
protected:
    void SetUp() override
    {
        LichenWindowTest::SetUp();
        db.InsertLichen(KnownLichen, "atranorin", "Cladonia");
        db.InsertLichen(KnownLichen, "fumarprotocetraric acid", "Cladonia");
        db.InsertLichen("Lecidea obscurissima", "usnic acid", "Lecidea");
        db.InsertLichen("Xanthoria/parietina", "parietin", "Xanthoria");
        db.InsertLichen("Xanthoria/parietina", QString::fromUtf8("émodin"), "Xanthoria");

        server.Route(TaxonomyPath,
                     FakeResponse::Ok(R"({"count":2,"results":[{"tid":5021,"scientificName":"Cladonia rangiferina","rankid":220},)"
                                      R"({"tid":5020,"scientificName":"Cladonia","rankid":180}]})",
                                      "application/json"));
        server.Route(MediaPath, FakeResponse::Ok(MediaAnswer(), "application/json"));
        server.Route("/img/a_tn.jpg", FakeResponse::Ok(SolidJpeg(ThumbColours[0]), "image/jpeg"));
        server.Route("/img/bad_tn.jpg", FakeResponse::Status(404, "<html>Not found</html>"));
        server.Route("/img/b_tn.jpg", FakeResponse::Ok(SolidJpeg(ThumbColours[1]), "image/jpeg"));
        QImage png(10, 10, QImage::Format_RGB32);
        png.fill(Qt::black);
        QByteArray pngBytes;
        QBuffer buffer(&pngBytes);
        buffer.open(QIODevice::WriteOnly);
        png.save(&buffer, "PNG");
        server.Route("/img/c_tn.jpg", FakeResponse::Ok(pngBytes, "image/png"));
        for (int i = 6; i <= 10; ++i)
            server.Route(QStringLiteral("/img/t%1_tn.jpg").arg(i),
                         FakeResponse::Ok(SolidJpeg(ThumbColours[std::min(i - 4, 5)]), "image/jpeg"));
        server.Route("/img/a.jpg", FakeResponse::Ok(SolidJpeg(Grey, 400, 300), "image/jpeg"));
        server.Route("/img/a_lg.jpg", FakeResponse::Ok(SolidJpeg(Pink, 800, 600), "image/jpeg"));
        server.Route("/img/b.jpg", FakeResponse::Ok(SolidJpeg(Orange, 300, 200), "image/jpeg"));
    }

    // Eleven records: two without a thumbnail or image address, two whose
    // thumbnails are no JPEG, then seven usable ones (the last one beyond
    // the sixth slot).
    QByteArray MediaAnswer() const
    {
        QString json = R"({"count":11,"results":[)";
        auto record = [&](int id, const QString& url, const QString& thumb, const QString& orig) {
            auto value = [](const QString& v) { return v == "null" ? v : "\"" + v + "\""; };
            if (id > 0) json += ",";
            json += QStringLiteral(R"({"mediaID":%1,"tid":5021,"url":%2,"thumbnailUrl":%3,"originalUrl":%4,"format":"image\/jpeg","owner":"R. Lee"})")
                        .arg(id).arg(value(url), value(thumb), value(orig));
        };
        record(0, Escaped(Abs("/img/r0.jpg")), "null", "null");
        record(1, "empty", "\\/img\\/r1_tn.jpg", "\\/img\\/r1_lg.jpg");
        record(2, Escaped(Abs("/img/a.jpg")), "\\/img\\/a_tn.jpg", "\\/img\\/a_lg.jpg");
        record(3, Escaped(Abs("/img/bad.jpg")), "\\/img\\/bad_tn.jpg", "null");
        record(4, "\\/img\\/b.jpg", Escaped(Abs("/img/b_tn.jpg")), "null");
        record(5, Escaped(Abs("/img/c.jpg")), "\\/img\\/c_tn.jpg", "null");
        for (int i = 6; i <= 10; ++i)
            record(i, Escaped(Abs(QStringLiteral("/img/t%1.jpg").arg(i))),
                   QStringLiteral("\\/img\\/t%1_tn.jpg").arg(i), "empty");
        json += "]}";
        return json.toUtf8();
    }

    QStringList Items() const { return OneLichenForm->ListBox->Items()->ToStringList(); }
};

TEST_F(OneLichenTest, KnownLichenShowsItsSubstancesAndFirstSixPhotographs)
{
    const int width = OneLichenForm->Width();
    ShowLichen(KnownLichen);

    EXPECT_EQ(TaxonId, "5021");   // the first "tid" of the answer
    EXPECT_EQ(server.Requests(),
              QStringList({TaxonomyPath, MediaPath, "/img/a_tn.jpg", "/img/bad_tn.jpg", "/img/b_tn.jpg",
                           "/img/c_tn.jpg", "/img/t6_tn.jpg", "/img/t7_tn.jpg", "/img/t8_tn.jpg",
                           "/img/t9_tn.jpg", "/img/a.jpg"}));
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(OneLichenForm->ThumbnailImages[i]->Visible());
        EXPECT_TRUE(OneLichenForm->ThumbnailPanels[i]->Visible());
        EXPECT_TRUE(HasColour(OneLichenForm->ThumbnailImages[i]->Picture(), ThumbColours[i]));
        EXPECT_EQ(Framed(OneLichenForm->ThumbnailPanels[i]), i == 0);
    }
    EXPECT_EQ(ImageUrls[0], Abs("/img/a.jpg"));
    EXPECT_EQ(OriginalImageUrls[0], Abs("/img/a_lg.jpg"));
    EXPECT_EQ(ImageUrls[1], "/img/b.jpg");               // relative, as the portal gives it
    EXPECT_EQ(OriginalImageUrls[1], Abs("/img/b.jpg"));  // null: the url, with the portal in front
    EXPECT_EQ(ImageUrls[5], Abs("/img/t9.jpg"));
    EXPECT_EQ(OriginalImageUrls[5], Abs("/img/t9.jpg"));  // "empty": the url
    EXPECT_EQ(CurrentImageIndex, 0);
    EXPECT_TRUE(HasColour(OneLichenForm->Image1->Picture(), Grey));
    EXPECT_TRUE(OneLichenForm->FullScreenButton->Enabled());

    EXPECT_EQ(Items(), QStringList({"Atranorin", "Fumarprotocetraric acid"}));
    EXPECT_EQ(OneLichenForm->LichenNameLabel->Caption(), KnownLichen);
    EXPECT_EQ(OneLichenForm->LichenNameLabel->Left(), width / 2 - 4 * 20);
    EXPECT_TRUE(OneLichenForm->Visible());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    SaveScreenshot(OneLichenForm, "onelichen_known");
}

TEST_F(OneLichenTest, UnknownLichenShowsNoImagesInsteadOfThePreviousOnes)
{
    ShowLichen(KnownLichen);
    server.ClearRequests();
    const QString unknownPath =
        "/portal/api/v2/taxonomy?taxon=Lecidea%20obscurissima&type=EXACT&limit=10&offset=0";
    server.Route(unknownPath, FakeResponse::Ok(R"({"count":0,"results":[]})", "application/json"));

    ShowLichen("Lecidea obscurissima");

    EXPECT_EQ(TaxonId, "0");
    EXPECT_EQ(server.Requests(), QStringList({unknownPath}));   // no media request
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(OneLichenForm->ThumbnailImages[i]->Visible());
    EXPECT_EQ(CurrentImageIndex, -1);
    EXPECT_EQ(OneLichenForm->Image1->Picture().size(), QSize(564, 385));   // the notice, not a photograph
    EXPECT_FALSE(HasColour(OneLichenForm->Image1->Picture(), Grey));
    EXPECT_FALSE(OneLichenForm->FullScreenButton->Enabled());
    EXPECT_EQ(Items(), QStringList({"Usnic acid"}));

    // Nothing to enlarge: no wait window, no request.
    server.ClearRequests();
    OneLichenForm->FullScreenButton->Click();
    OneLichenForm->Image1DblClick(OneLichenForm->Image1);
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_FALSE(FullScreenImageForm->Visible());
}

TEST_F(OneLichenTest, FailedMediaFetchGivesNoImagesFound)
{
    server.Route(MediaPath, FakeResponse::Status(500, "Server error"));
    ShowLichen(KnownLichen);
    EXPECT_EQ(server.Requests(), QStringList({TaxonomyPath, MediaPath}));
    EXPECT_EQ(CurrentImageIndex, -1);
    EXPECT_FALSE(OneLichenForm->FullScreenButton->Enabled());
    EXPECT_EQ(OneLichenForm->Image1->Picture().size(), QSize(564, 385));
    EXPECT_TRUE(OneLichenForm->Visible());
    EXPECT_FALSE(WaitForm->Visible());
}

TEST_F(OneLichenTest, OfflineMakesNoRequestAndKeepsTheLargeImage)
{
    InternetEnabled = false;
    QImage earlier(20, 20, QImage::Format_RGB32);
    earlier.fill(Pink);
    OneLichenForm->Image1->SetPicture(earlier);
    const QImage before = OneLichenForm->Image1->Picture();

    ShowLichen(KnownLichen);

    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_EQ(TaxonId, "0");
    EXPECT_EQ(OneLichenForm->Image1->Picture(), before);
    EXPECT_TRUE(OneLichenForm->FullScreenButton->Enabled());
    EXPECT_EQ(Items(), QStringList({"Atranorin", "Fumarprotocetraric acid"}));
    EXPECT_TRUE(OneLichenForm->Visible());

    // The name is compared with LIKE: letter case does not matter.
    ShowLichen("cladonia RANGIFERINA");
    EXPECT_EQ(Items(), QStringList({"Atranorin", "Fumarprotocetraric acid"}));
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(OneLichenTest, LichenWithoutRowsIsReportedAndNotShown)
{
    InternetEnabled = false;
    ShowLichen(KnownLichen);
    OneLichenForm->Hide();

    // A double quote in the name reaches the database as a value, not as SQL.
    ShowLichen("Peltigera \"canina\"");

    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Peltigera \"canina\" not found."}));
    EXPECT_FALSE(OneLichenForm->Visible());
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_EQ(Items(), QStringList({"Atranorin", "Fumarprotocetraric acid"}));
}

TEST_F(OneLichenTest, DatabaseFailureStillHidesTheWaitWindow)
{
    InternetEnabled = false;
    SetMainDatabase(nullptr, nullptr);
    EXPECT_THROW(ShowLichen(KnownLichen), EDatabaseError);
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_FALSE(OneLichenForm->Visible());
}

TEST_F(OneLichenTest, ThumbnailClickFallsBackToTheFullSizeAddress)
{
    ShowLichen(KnownLichen);
    server.ClearRequests();

    // Slot 1's image address is relative and cannot be fetched; its full-size one can.
    OneLichenForm->ThumbnailPanels[1]->Click();
    EXPECT_EQ(server.Requests(), QStringList({"/img/b.jpg"}));
    EXPECT_EQ(CurrentImageIndex, 1);
    EXPECT_TRUE(HasColour(OneLichenForm->Image1->Picture(), Orange));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Framed(OneLichenForm->ThumbnailPanels[i]), i == 1) << i;

    // Both addresses fail: the notice, the slot stays chosen and framed.
    server.Route("/img/t9.jpg", FakeResponse::Cut(SolidJpeg(Pink, 400, 300), 100));
    OneLichenForm->ThumbnailPanels[5]->Click();
    EXPECT_EQ(CurrentImageIndex, 5);
    EXPECT_TRUE(Framed(OneLichenForm->ThumbnailPanels[5]));
    EXPECT_FALSE(Framed(OneLichenForm->ThumbnailPanels[1]));
    EXPECT_EQ(OneLichenForm->Image1->Picture().size(), QSize(564, 385));
    EXPECT_FALSE(HasColour(OneLichenForm->Image1->Picture(), Orange));
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(OneLichenTest, FullSizeViewLoadsTheOriginalThenTheImageAddress)
{
    ShowLichen(KnownLichen);
    server.ClearRequests();

    OneLichenForm->Image1DblClick(OneLichenForm->Image1);
    EXPECT_EQ(server.Requests(), QStringList({"/img/a_lg.jpg"}));
    EXPECT_TRUE(FullScreenImageForm->Visible());
    EXPECT_TRUE(HasColour(FullScreenImageForm->Image1->Picture(), Pink));
    EXPECT_EQ(FullScreenImageForm->CloseButton->Left(),
              FullScreenImageForm->Width() / 2 - FullScreenImageForm->CloseButton->Width() / 2);
    EXPECT_FALSE(WaitForm->Visible());
    FullScreenImageForm->Hide();

    // A cut-off original: the image address instead.
    server.ClearRequests();
    server.Route("/img/a_lg.jpg", FakeResponse::Cut(SolidJpeg(Pink, 800, 600), 200));
    OneLichenForm->FullScreenButton->Click();
    EXPECT_EQ(server.Requests(), QStringList({"/img/a_lg.jpg", "/img/a.jpg"}));
    EXPECT_TRUE(FullScreenImageForm->Visible());
    EXPECT_TRUE(HasColour(FullScreenImageForm->Image1->Picture(), Grey));
    EXPECT_FALSE(WaitForm->Visible());
    FullScreenImageForm->Hide();

    // Both fail (an error page, no JPEG): nothing new is shown, the wait window goes.
    server.Route("/img/a.jpg", FakeResponse::Ok("<html>gone</html>", "text/html"));
    OneLichenForm->FullScreenButton->Click();
    EXPECT_FALSE(FullScreenImageForm->Visible());
    EXPECT_TRUE(HasColour(FullScreenImageForm->Image1->Picture(), Grey));
    EXPECT_FALSE(WaitForm->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(OneLichenTest, SaveWritesTheListNextToTheProgram)
{
    InternetEnabled = false;
    ShowLichen("Xanthoria/parietina");
    EXPECT_EQ(Items(), QStringList({"Parietin", QString::fromUtf8("émodin")}));

    OneLichenForm->SaveButton->Click();
    QFile file("Xanthoria_parietina.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Parietin\r\n\xC3\xA9modin\r\n"));
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Saved file Xanthoria_parietina.txt"}));

    // A file that cannot be written is reported once, not as saved.
    TestDialogs().Reset();
    ShowLichen(KnownLichen);
    ASSERT_TRUE(QDir().mkdir(KnownLichen + ".txt"));
    OneLichenForm->Save1->Click();
    ASSERT_EQ(TestDialogs().Shown().size(), 1);
    EXPECT_TRUE(TestDialogs().Shown()[0].startsWith("Unable to create or open file Cladonia rangiferina.txt"));
}

TEST_F(OneLichenTest, CopyAndTaxonPage)
{
    InternetEnabled = false;
    ShowLichen(KnownLichen);
    OneLichenForm->CopyButton->Click();
    EXPECT_EQ(Clipboard()->AsText(), "Atranorin, Fumarprotocetraric acid");
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"List of substances copied to clipboard"}));

    OneLichenForm->ListBox->Clear();
    OneLichenForm->Copy1->Click();
    EXPECT_EQ(Clipboard()->AsText(), "");

    OneLichenForm->ConsortiumButton->Click();
    EXPECT_EQ(TestDialogs().OpenedUrls(),
              QStringList({Abs("/portal/taxa/index.php?taxon=Cladonia%20rangiferina")}));
}

TEST_F(OneLichenTest, ShowingPlacesItRightOfTheCentreLineBesideTheList)
{
    InternetEnabled = false;
    const int centre = 100 + 800 / 2;
    ShowLichen(KnownLichen);   // the lichen list is hidden and is placed all the same
    EXPECT_EQ(OneLichenForm->Left(), centre);
    EXPECT_EQ(LichenListForm->Left(), centre - LichenListForm->Width());
    EXPECT_FALSE(LichenListForm->Visible());
}

TEST_F(OneLichenTest, ClosingReplacesTheWindowsThatStay)
{
    const int centre = 100 + 800 / 2;
    TForm* record = AddForm("ViewRecordForm", 300, false);
    TForm* images = AddForm("SubstanceImageForm", 250, false);
    TForm* duplicate = AddForm("DupForm1", 260, false);
    TForm* substances = AddForm("RecordListForm", 270, false);
    TForm* list = LichenListForm;
    enum Place { Kept, Left, Right, Centred };

    struct Case {
        const char* name;
        std::vector<TForm*> shown;
        Place record, images, duplicate, substances, list;
    };
    const std::vector<Case> cases = {
        {"nothing else", {}, Kept, Kept, Kept, Kept, Kept},
        {"lichen list only", {list}, Kept, Kept, Kept, Kept, Centred},
        {"record and images", {record, images, duplicate, substances, list}, Left, Right, Kept, Kept, Kept},
        {"record and duplicate", {record, duplicate, substances}, Left, Kept, Right, Kept, Kept},
        {"record and substance list", {record, substances}, Left, Kept, Kept, Right, Kept},
        {"record alone", {record}, Centred, Kept, Kept, Kept, Centred},
    };
    auto expected = [&](TForm* f, Place p) {
        switch (p) {
        case Left: return centre - f->Width();
        case Right: return centre;
        case Centred: return centre - f->Width() / 2;
        default: return 7;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<TForm*> all = {record, images, duplicate, substances, list};
        for (TForm* f : all) f->Hide();
        for (TForm* f : c.shown) f->Show();
        OneLichenForm->Show();
        for (TForm* f : all) f->SetLeft(7);
        OneLichenForm->Close();
        EXPECT_FALSE(OneLichenForm->Visible());
        EXPECT_EQ(record->Left(), expected(record, c.record));
        EXPECT_EQ(images->Left(), expected(images, c.images));
        EXPECT_EQ(duplicate->Left(), expected(duplicate, c.duplicate));
        EXPECT_EQ(substances->Left(), expected(substances, c.substances));
        EXPECT_EQ(list->Left(), expected(list, c.list));
    }
}

TEST_F(OneLichenTest, CloseButtonHidesThumbnailsAndTheWindow)
{
    ShowLichen(KnownLichen);
    OneLichenForm->CloseButton->Click();
    EXPECT_FALSE(OneLichenForm->Visible());
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(OneLichenForm->ThumbnailPanels[i]->Visible());
        EXPECT_FALSE(OneLichenForm->ThumbnailImages[i]->Visible());
    }
    EXPECT_EQ(CurrentImageIndex, 0);   // kept until the next lichen
}

} // namespace

namespace {

// The mouse and the keyboard on the real widgets: the picture of a thumbnail
// lies over its panel and must choose it, a double-click on the large image
// enlarges it, Esc closes the window.
TEST_F(OneLichenTest, MouseAndKeyboardReachTheHandlers)
{
    ShowLichen(KnownLichen);
    server.ClearRequests();

    // Through the window, so that the widget under the mouse gets the click.
    QWidget* thumb = OneLichenForm->ThumbnailImages[1]->Widget();
    QWidget* window = thumb->window();
    ASSERT_TRUE(window->windowHandle());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, thumb->mapTo(window, thumb->rect().center()));
    EXPECT_EQ(CurrentImageIndex, 1);
    EXPECT_TRUE(Framed(OneLichenForm->ThumbnailPanels[1]));
    EXPECT_FALSE(Framed(OneLichenForm->ThumbnailPanels[0]));
    EXPECT_TRUE(HasColour(OneLichenForm->Image1->Picture(), Orange));

    QWidget* large = OneLichenForm->Image1->Widget();
    QTest::mouseDClick(large, Qt::LeftButton, {}, large->rect().center());
    EXPECT_TRUE(FullScreenImageForm->Visible());
    EXPECT_TRUE(HasColour(FullScreenImageForm->Image1->Picture(), Orange));
    EXPECT_EQ(server.Requests().last(), "/img/b.jpg");
    FullScreenImageForm->Hide();

    OneLichenForm->Widget()->activateWindow();
    QTest::keyClick(OneLichenForm->ListBox->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(OneLichenForm->Visible());
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(OneLichenForm->ThumbnailImages[i]->Visible()) << i;
}

} // namespace
