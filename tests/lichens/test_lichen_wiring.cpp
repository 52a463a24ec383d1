// The lichen browser reached from the main window: the "View Lichens" menu
// command and a double-click in the lichen matches window open the real
// lichen and record windows.
#include "identify/test_mainwindow_fixture.h"
#include "lichens/LichenList.h"
#include "lichens/OneLichen.h"
#include "substances/ViewRecord.h"

namespace {

class LichenWiring : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        InternetEnabled = false;   // no portal in these tests
        Application->CreateForm(ViewRecordForm);
        Application->CreateForm(LichenListForm);
        Application->CreateForm(OneLichenForm);
    }
    void TearDown() override
    {
        Free(OneLichenForm);
        Free(LichenListForm);
        Free(ViewRecordForm);
        MainWindowTest::TearDown();
    }
    static QStringList ListLines() { return LichenListForm->LichenListBox->Items()->ToStringList(); }
};

TEST_F(LichenWiring, ViewLichensMenuListsEveryLichenWithAnEmptySearch)
{
    LichenListForm->SearchWordEdit->SetText("zz");   // a search left from before
    ASSERT_TRUE(ListLines().isEmpty());
    ASSERT_TRUE(LichenListForm->FilteredCheckbox->Checked());

    Form1->ViewLichens1->Click();

    EXPECT_TRUE(LichenListForm->Visible());
    EXPECT_EQ(LichenListForm->SearchWordEdit->Text(), "");
    EXPECT_FALSE(LichenListForm->FilteredCheckbox->Checked());
    EXPECT_EQ(ListLines(), QStringList({"Cladonia rangiferina", "Parmelia saxatilis", "Parmelia sulcata",
                                        "Physcia aipolia"}));
    EXPECT_FALSE(WaitForm->Visible());
}

TEST_F(LichenWiring, MatchesDoubleClickOpensTheLichenOrTheSubstanceRecord)
{
    LichenMatchesForm->LichenListBox->Items()->Assign(
        {"Substances:", "Atranorin", "", "Lichens:", "Parmelia sulcata"});
    LichenMatchesForm->Show();
    auto doubleClick = [](int index) {
        LichenMatchesForm->LichenListBox->SetItemIndex(index);
        LichenMatchesForm->LichenListBoxDblClick(LichenMatchesForm->LichenListBox);
    };

    doubleClick(4);
    EXPECT_TRUE(OneLichenForm->Visible());
    EXPECT_EQ(OneLichenForm->LichenNameLabel->Caption(), "Parmelia sulcata");
    EXPECT_EQ(OneLichenForm->ListBox->Items()->ToStringList(), QStringList({"Atranorin", "Salazinic acid"}));
    EXPECT_FALSE(WaitForm->Visible());
    // The list window is placed beside it even while hidden.
    EXPECT_EQ(OneLichenForm->Left(), LichenListForm->Left() + LichenListForm->Width());

    doubleClick(1);
    EXPECT_TRUE(ViewRecordForm->Visible());
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Atranorin");
    EXPECT_TRUE(TestDialogs().Messages().isEmpty());
}

} // namespace
