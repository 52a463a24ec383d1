// The spot entry window with the main window: an edited spot is marked
// unsaved even when the matching fails, and the Rf calculator pastes into
// the cune window too.
#include "identify/test_mainwindow_fixture.h"
#include "core/Queries.h"

namespace {

using SpotEntryWithMain = MainWindowTest;

TEST_F(SpotEntryWithMain, FailingMatchStillLeavesTheNewSpotUnsaved)
{
    ASSERT_FALSE(Form1->SaveIcon->Enabled());
    Form1->Button1Click(Form1->Button1);
    ASSERT_TRUE(InputSpotValuesForm->Visible());
    InputSpotValuesForm->AEdit->SetText("75");
    MainQuery().Close();
    db.Exec("DROP TABLE Substances");
    EXPECT_THROW(InputSpotValuesForm->OKButton->Click(), Exception);
    ASSERT_EQ(Spots.size(), 1u);
    EXPECT_EQ(Spots[0].name, "Spot 1");
    EXPECT_EQ(Spots[0].A, "75");
    EXPECT_FALSE(SpotsSaved);
    EXPECT_TRUE(Form1->SaveIcon->Enabled());
    EXPECT_TRUE(InputSpotValuesForm->Visible());   // the user sees that OK did not finish
}

TEST_F(SpotEntryWithMain, InvalidNumberRunsNoMatching)
{
    TwoSpots();
    Form1->MatchAllSpots();
    const QStringList before = Captions();
    ASSERT_FALSE(before.isEmpty());
    Form1->SpotListView->Clear();
    InputSpotValuesForm->SpotNumberLabel->SetCaption("0");
    InputSpotValuesForm->Show();
    InputSpotValuesForm->OKButton->Click();
    EXPECT_TRUE(Captions().isEmpty());   // not re-listed
    EXPECT_EQ(Spots.size(), 2u);
    EXPECT_TRUE(SpotsSaved);
    EXPECT_FALSE(Form1->SaveIcon->Enabled());
}

TEST_F(SpotEntryWithMain, CalculatorPastesIntoTheCuneWindowAndKeepsItsModeWhenClosedByTheBox)
{
    TEdit* target = nullptr;
    for (int i = 0; i < CuneForm->ComponentCount() && !target; ++i)
        if (CuneForm->Components(i)->Tag == 3)
            target = dynamic_cast<TEdit*>(CuneForm->Components(i));
    ASSERT_TRUE(target);
    RFFormOpener = "CuneForm";
    RFForm->Button1->SetCaption("Paste Bprime");
    RFForm->SpotEdit->SetText("3");
    RFForm->SolventFrontEdit->SetText("7");
    RFForm->Show();
    RFForm->Button1->Click();
    EXPECT_EQ(target->Text(), "43");
    EXPECT_TRUE(CuneForm->Visible());
    EXPECT_FALSE(InputSpotValuesForm->Visible());
    EXPECT_FALSE(RFForm->Visible());
    EXPECT_EQ(RFForm->Button1->Caption(), "Close");

    // Closed by the title bar: the next opening still pastes into B'.
    InputSpotValuesForm->AEditDblClick(InputSpotValuesForm->BprimeEdit);
    RFForm->Close();
    EXPECT_EQ(RFForm->Button1->Caption(), "Paste Bprime");
    RFForm->Show();
    RFForm->SpotEdit->SetText("1");
    RFForm->SolventFrontEdit->SetText("8");
    RFForm->Button1->Click();
    EXPECT_EQ(InputSpotValuesForm->BprimeEdit->Text(), "13");
    EXPECT_EQ(target->Text(), "43");
}

} // namespace
