// The colour-similarity editor: OK writes the row and the matching column,
// refuses values that are not whole numbers 0..100, Cancel keeps everything.
#include "test_searchconfigwindow_kit.h"

namespace {

using ColorEditor = ConfigWindows;

TEST_F(ColorEditor, OkWritesRowAndColumnAndMarksUnsaved)
{
    CreateWithDefault();
    TEditOneColorForm* e = EditOneColorForm;
    e->EditColorRow(10);
    EXPECT_TRUE(e->Visible());
    EXPECT_EQ(e->Caption(), "Edit Red");
    EXPECT_EQ(e->ColorEdits[4]->Text(), "30");
    EXPECT_EQ(e->ColorUpDowns[11]->Position(), 80);
    EXPECT_EQ(e->ColorLabels[17]->Caption(), "Black");

    e->ColorEdits[4]->SetText("80");
    e->Button2Click(nullptr);

    EXPECT_EQ(ColorMatrix[10].Similarity[4], "80");
    EXPECT_EQ(ColorMatrix[4].Similarity[10], "80");
    EXPECT_EQ(ColorMatrix[10].Similarity[10], "100");
    EXPECT_EQ(ColorMatrix[10].Similarity[3], "0");
    EXPECT_FALSE(e->Visible());
    EXPECT_FALSE(SearchConfigSaved);
    EXPECT_EQ(SearchConfigForm->Caption(), "(Unsaved)");
    EXPECT_EQ(Form1->SearchFile->Caption(), "Default");
    // The view shows the new similarity at both places.
    TListItems* rows = SearchConfigForm->SearchConfigListView->Items();
    EXPECT_EQ(rows->Item(10)->SubItems()->Strings(4), "X");
    EXPECT_EQ(rows->Item(4)->SubItems()->Strings(10), "X");
    EXPECT_TRUE(TestDialogs().Messages().isEmpty());
}

TEST_F(ColorEditor, RefusesValuesThatAreNotWholeNumbersUpTo100)
{
    CreateWithDefault();
    TEditOneColorForm* e = EditOneColorForm;
    for (const QString bad : {"", "abc", "101", "-5", "4.5", "8 0"}) {
        SCOPED_TRACE(bad.toStdString());
        TestDialogs().Reset();
        e->EditColorRow(2);
        e->ColorEdits[0]->SetText("55");
        e->ColorEdits[7]->SetText(bad);
        e->Button2Click(nullptr);
        ASSERT_EQ(TestDialogs().Messages().size(), 1);
        EXPECT_TRUE(TestDialogs().Messages()[0].contains("P. Yellow"));
        EXPECT_TRUE(e->Visible());
        EXPECT_EQ(ColorMatrix[2].Similarity[0], "0");
        EXPECT_EQ(ColorMatrix[2].Similarity[7], "10");
        EXPECT_TRUE(SearchConfigSaved);
    }
    e->Button1Click(nullptr);   // Cancel
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(ColorMatrix[2].Similarity[0], "0");
    EXPECT_TRUE(SearchConfigSaved);
    EXPECT_EQ(SearchConfigForm->Caption(), "Default");
}

TEST_F(ColorEditor, UpDownsStepByTenAndLabelsFollowTheLoadedNames)
{
    CreateWithDefault();
    TEditOneColorForm* e = EditOneColorForm;
    e->EditColorRow(0);
    e->ColorEdits[1]->SetText("95");   // typed: the next click starts from it
    e->ColorUpDowns[1]->ClickButton(btNext);
    EXPECT_EQ(e->ColorEdits[1]->Text(), "100");
    e->ColorUpDowns[1]->ClickButton(btPrev);
    e->ColorUpDowns[1]->ClickButton(btPrev);
    EXPECT_EQ(e->ColorEdits[1]->Text(), "80");
    e->ColorEdits[2]->SetText("5");
    e->ColorUpDowns[2]->ClickButton(btPrev);
    EXPECT_EQ(e->ColorEdits[2]->Text(), "0");
    e->Button1Click(nullptr);

    // A configuration with other row names.
    QByteArray renamed = DefaultScfg();
    renamed.replace("White: ", "Whitish: ");
    WriteFile("Renamed.scfg", renamed);
    TestDialogs().NextFileName(InDir("Renamed.scfg"));
    SearchConfigForm->Load1Click(nullptr);
    e->EditColorRow(1);
    EXPECT_EQ(e->Caption(), "Edit Whitish");
    EXPECT_EQ(e->ColorLabels[1]->Caption(), "Whitish");

    e->EditColorRow(18);   // no such row: nothing happens
    EXPECT_EQ(e->EditedColorRow, 1);
}

} // namespace
