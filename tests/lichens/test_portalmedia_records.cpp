// Media answers record by record: a record never borrows another record's
// addresses, large answers parse whole, and answers that once overwhelmed
// the pattern engine give "No images found" instead of an error box.
#include "test_onelichen_kit.h"
#include "lichens/PortalMedia.h"

namespace {

QByteArray Record(const QByteArray& id, const QByteArray& keys)
{
    return "{\"mediaID\":" + id + ",\"tid\":5021," + keys + ",\"format\":\"image\\/jpeg\"}";
}

class MediaRecords : public ::testing::Test {
protected:
    void SetUp() override { PortalBaseAddress = QStringLiteral("https://portal.test"); }
    void TearDown() override { ResetSettings(); }
};

TEST_F(MediaRecords, ARecordWithoutAThumbnailOrFullSizeKeyTakesNothingFromTheNext)
{
    const QByteArray answer = "{\"count\":4,\"results\":[" +
        Record("1", R"("url":"\/img\/one.jpg","originalUrl":"\/img\/one_lg.jpg")") + "," +
        Record("2", R"("url":"\/img\/two.jpg","thumbnailUrl":"\/img\/two_tn.jpg","originalUrl":"\/img\/two_lg.jpg")") + "," +
        Record("3", R"("url":"\/img\/three.jpg","thumbnailUrl":"\/img\/three_tn.jpg")") + "," +
        Record("4", R"("url":"\/img\/four.jpg","thumbnailUrl":"\/img\/four_tn.jpg","originalUrl":null)") + "]}";
    const std::vector<TPortalMedia> media = ParsePortalMedia(answer);
    ASSERT_EQ(media.size(), 2u);
    EXPECT_EQ(media[0].Url, "/img/two.jpg");
    EXPECT_EQ(media[0].Thumbnail, "https://portal.test/img/two_tn.jpg");
    EXPECT_EQ(media[0].Original, "https://portal.test/img/two_lg.jpg");
    EXPECT_EQ(media[1].Url, "/img/four.jpg");
    EXPECT_EQ(media[1].Thumbnail, "https://portal.test/img/four_tn.jpg");
    EXPECT_EQ(media[1].Original, "https://portal.test/img/four.jpg");
}

TEST_F(MediaRecords, KeysSplitByALineBreakMakeNoRecord)
{
    const QByteArray answer = "[" + Record("1", "\"url\":\"a.jpg\",\n\"thumbnailUrl\":\"a_tn.jpg\",\"originalUrl\":null") +
                              ",\n" + Record("2", R"("url":"b.jpg","thumbnailUrl":"b_tn.jpg","originalUrl":"b_lg.jpg")") + "]";
    const std::vector<TPortalMedia> media = ParsePortalMedia(answer);
    ASSERT_EQ(media.size(), 1u);
    EXPECT_EQ(media[0].Url, "b.jpg");
}

TEST_F(MediaRecords, ALargeAnswerParsesWhole)
{
    // Long descriptions make an answer of more than 64 KiB.
    QByteArray answer = "{\"count\":15,\"results\":[";
    for (int i = 0; i < 15; ++i) {
        const QByteArray n = QByteArray::number(i);
        if (i) answer += ",";
        answer += Record(n, "\"url\":\"\\/img\\/" + n + ".jpg\",\"thumbnailUrl\":\"\\/img\\/" + n +
                                "_tn.jpg\",\"originalUrl\":\"\\/img\\/" + n + "_lg.jpg\",\"description\":\"" +
                                QByteArray(5000, 'd') + "\"");
    }
    answer += "]}";
    ASSERT_GT(answer.size(), 64 * 1024);
    const std::vector<TPortalMedia> media = ParsePortalMedia(answer);
    ASSERT_EQ(media.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(media[i].Url, QStringLiteral("/img/%1.jpg").arg(i));
        EXPECT_EQ(media[i].Thumbnail, QStringLiteral("https://portal.test/img/%1_tn.jpg").arg(i));
        EXPECT_EQ(media[i].Original, QStringLiteral("https://portal.test/img/%1_lg.jpg").arg(i));
    }
}

// Shapes that made the backtracking pattern over the whole answer give up
// with "match limit exceeded".
QByteArray Pathological(int shape)
{
    QByteArray text;
    if (shape == 0) {
        for (int i = 0; i < 3000; ++i) text += "\"url\":\"x\",\"thumbnailUrl\":\"y\",";
    } else if (shape == 1) {
        text = "\"url\":\"a\"";
        for (int i = 0; i < 20000; ++i) text += "thumbnailUrl\":\"a\"";
    } else {
        for (int i = 0; i < 3000; ++i) text += "\"url\":null,";
        text += "thumbnailUrl\":null," + QByteArray(3000, 'x');
    }
    return text;
}

TEST_F(MediaRecords, AnswersThatOverwhelmedThePatternGiveNoImages)
{
    for (int shape = 0; shape < 3; ++shape) EXPECT_TRUE(ParsePortalMedia(Pathological(shape)).empty()) << shape;
}

class MediaWindow : public LichenWindowTest {
protected:
    void Answer(const QByteArray& media)
    {
        server.Route("/portal/api/v2/taxonomy?taxon=Usnea%20florida&type=EXACT&limit=10&offset=0",
                     FakeResponse::Ok(R"({"count":1,"results":[{"tid":5021}]})", "application/json"));
        server.Route(MediaPath, FakeResponse::Ok(media, "application/json"));
        db.InsertLichen("Usnea florida", "usnic acid", "Usnea");
    }
    const QString MediaPath =
        QStringLiteral("/portal/api/v2/media?tid=5021&includeSynonyms=1&includeChildren=0&limit=15&offset=0");
};

TEST_F(MediaWindow, ARecordWithoutAThumbnailShowsNoPictureOfTheNextRecord)
{
    Answer("{\"results\":[" + Record("1", R"("url":"\/img\/lost.jpg","originalUrl":"\/img\/lost_lg.jpg")") + "," +
           Record("2", "\"url\":\"" + Escaped(Abs("/img/b.jpg")).toUtf8() +
                           R"(","thumbnailUrl":"\/img\/b_tn.jpg","originalUrl":"\/img\/b_lg.jpg")") +
           "]}");
    server.Route("/img/b_tn.jpg", FakeResponse::Ok(SolidJpeg(QColor(0, 200, 0)), "image/jpeg"));
    server.Route("/img/b.jpg", FakeResponse::Ok(SolidJpeg(QColor(250, 140, 0), 300, 200), "image/jpeg"));

    ShowLichen("Usnea florida");

    EXPECT_EQ(server.Requests().mid(2), QStringList({"/img/b_tn.jpg", "/img/b.jpg"}));
    EXPECT_EQ(ImageUrls[0], Abs("/img/b.jpg"));
    EXPECT_EQ(OriginalImageUrls[0], Abs("/img/b_lg.jpg"));
    EXPECT_TRUE(OneLichenForm->ThumbnailImages[0]->Visible());
    EXPECT_FALSE(OneLichenForm->ThumbnailImages[1]->Visible());
    EXPECT_TRUE(HasColour(OneLichenForm->Image1->Picture(), QColor(250, 140, 0)));
}

TEST_F(MediaWindow, APathologicalAnswerShowsNoImagesFoundAndNoErrorBox)
{
    Answer(Pathological(0));

    ShowLichen("Usnea florida");

    EXPECT_EQ(server.Requests().size(), 2);   // taxonomy and media, no picture
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_EQ(CurrentImageIndex, -1);
    EXPECT_EQ(OneLichenForm->Image1->Picture().size(), QSize(564, 385));   // the notice
    EXPECT_FALSE(OneLichenForm->FullScreenButton->Enabled());
    EXPECT_TRUE(OneLichenForm->Visible());
}

} // namespace
