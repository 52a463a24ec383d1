// The Rf calculator: the value text from two distances (a table, both
// decimal separators) and the window's paste into the spot entry window.
#include "support/ScriptedDialogs.h"
#include "identify/InputValues.h"
#include "identify/RFCalculator.h"
#include "identify/RfValue.h"
#include "framework/Text.h"

#include <gtest/gtest.h>

namespace {

struct RfCase { const char* spot; const char* front; const char* expected; };

TEST(RfValue, DistancesGiveWholeHundredths)
{
    const RfCase cases[] = {
        {"3", "7", "43"},      // 42.857143
        {"1", "8", "13"},      // 12.5: half away from zero
        {"-1", "8", "-13"},    // negative distances are not refused
        {"5", "10", "50"},
        {"9", "8", "113"},     // beyond the front: no range check
        {"", "10", "0"},
        {"3", "", "0"},        // front empty, as right after an opener emptied it
        {"3", "0", "0"},
        {"abc", "7", "0"},
        {"3", "x", "0"},
        {"0", "-8", "0"},      // no "-0"
        {" 2.5", "10", "25"},
    };
    for (const RfCase& c : cases)
        EXPECT_EQ(RfValueText(c.spot, c.front), c.expected) << c.spot << " / " << c.front;
    EXPECT_TRUE(RfValueText("1e12", "1").contains('E'));
}

TEST(RfValue, DecimalSeparatorIsTheUsersOne)
{
    const QChar saved = DecimalSeparator();
    SetDecimalSeparator(',');
    EXPECT_EQ(RfValueText("1,5", "6"), "25");
    EXPECT_EQ(RfValueText("0,3", "0,7"), "43");
    EXPECT_EQ(RfValueText("1", "1.5"), "0");   // a point is no number here
    SetDecimalSeparator('.');
    EXPECT_EQ(RfValueText("1.5", "6"), "25");
    EXPECT_EQ(RfValueText("1,5", "6"), "0");
    SetDecimalSeparator(saved);
}

class RfWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->CreateForm(InputSpotValuesForm);
        Application->CreateForm(RFForm);
        RFFormOpener.clear();
    }
    void TearDown() override
    {
        delete RFForm;
        RFForm = nullptr;
        delete InputSpotValuesForm;
        InputSpotValuesForm = nullptr;
        RFFormOpener.clear();
    }
};

TEST_F(RfWindow, StartsInCloseModeAndRecomputesOnEveryChange)
{
    EXPECT_EQ(RFForm->Caption(), "Calculate RF-TLC");
    EXPECT_EQ(RFForm->ClientWidth(), 261);
    EXPECT_EQ(RFForm->ClientHeight(), 201);
    EXPECT_EQ(RFForm->Button1->Caption(), "Close");
    RFForm->SolventFrontEdit->SetText("7");
    RFForm->SpotEdit->SetText("3");
    EXPECT_EQ(RFForm->RFEdit->Text(), "43");
    RFForm->SolventFrontEdit->SetText("8");
    EXPECT_EQ(RFForm->RFEdit->Text(), "38");
    RFForm->SolventFrontEdit->SetText("");
    EXPECT_EQ(RFForm->RFEdit->Text(), "0");

    // "Close" only closes: nothing is pasted anywhere.
    RFForm->Show();
    RFForm->Button1->Click();
    EXPECT_FALSE(RFForm->Visible());
    EXPECT_FALSE(InputSpotValuesForm->Visible());
    EXPECT_EQ(InputSpotValuesForm->AEdit->Text(), "");
}

TEST_F(RfWindow, OpenedFromSpotFieldPastesIntoThatField)
{
    TInputSpotValuesForm* spot = InputSpotValuesForm;
    RFForm->RFEdit->SetText("99");
    spot->AEditDblClick(spot->BprimeEdit);
    EXPECT_EQ(RFFormOpener, "InputSpotValuesForm");
    EXPECT_EQ(RFForm->Button1->Caption(), "Paste Bprime");
    EXPECT_EQ(RFForm->SpotEdit->Text(), "");
    EXPECT_EQ(RFForm->SolventFrontEdit->Text(), "");
    EXPECT_EQ(RFForm->RFEdit->Text(), "");
    EXPECT_TRUE(RFForm->Visible());

    RFForm->SpotEdit->SetText("1");
    RFForm->SolventFrontEdit->SetText("8");
    RFForm->Button1->Click();
    EXPECT_EQ(spot->BprimeEdit->Text(), "13");
    EXPECT_EQ(spot->AEdit->Text(), "");
    EXPECT_TRUE(spot->Visible());
    EXPECT_FALSE(RFForm->Visible());
    EXPECT_EQ(RFForm->Button1->Caption(), "Close");

    // A value typed into the result field is pasted as typed.
    spot->AEditDblClick(spot->HPLCEdit);
    EXPECT_EQ(RFForm->Button1->Caption(), "Paste HPLC");
    RFForm->RFEdit->SetText("77");
    RFForm->Button1->Click();
    EXPECT_EQ(spot->HPLCEdit->Text(), "77");
}

TEST_F(RfWindow, CaptionNamingNoRfColumnPastesNothing)
{
    RFFormOpener = "InputSpotValuesForm";
    RFForm->Button1->SetCaption("Paste name");
    RFForm->RFEdit->SetText("12");
    RFForm->Show();
    RFForm->Button1->Click();
    EXPECT_EQ(InputSpotValuesForm->SpotNumberLabel->Caption(), "0");
    EXPECT_FALSE(InputSpotValuesForm->Visible());
    EXPECT_FALSE(RFForm->Visible());
    EXPECT_EQ(RFForm->Button1->Caption(), "Close");
}

} // namespace
