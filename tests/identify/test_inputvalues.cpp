// The spot entry window on its own: OK stores the spot into Spots (append or
// replace), refuses an invalid number, Cancel stores nothing, the colour
// lists, and a real double-click on an Rf field opening the calculator.
#include "support/ScriptedDialogs.h"
#include "core/MainWindow.h"
#include "core/Record.h"
#include "identify/InputValues.h"
#include "identify/RFCalculator.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SpotEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        Spots.clear();
        SpotsSaved = true;
        Application->CreateForm(InputSpotValuesForm);
        Application->CreateForm(RFForm);
        form = InputSpotValuesForm;
    }
    void TearDown() override
    {
        delete RFForm;
        RFForm = nullptr;
        delete InputSpotValuesForm;
        InputSpotValuesForm = nullptr;
        Spots.clear();
        SpotsSaved = true;
    }
    // What an opener does for a new spot n, then the user types.
    void Enter(const QString& n, const QString& a, const QString& bprime = {})
    {
        form->SpotNumberLabel->SetCaption(n);
        form->AEdit->SetText(a);
        form->BprimeEdit->SetText(bprime);
        form->Show();
    }
    TInputSpotValuesForm* form = nullptr;
};

TEST_F(SpotEntry, OkAppendsNewSpotsAndReplacesAnEditedOne)
{
    ASSERT_EQ(Form1, nullptr);   // the window alone: no matching run here
    Enter("1", "45", "30");
    form->BefVisCheckBox->SetChecked(true);
    form->ArchersCombo->SetText("Red");
    form->OKButton->Click();
    ASSERT_EQ(Spots.size(), 1u);
    EXPECT_EQ(Spots[0].name, "Spot 1");
    EXPECT_EQ(Spots[0].A, "45");
    EXPECT_EQ(Spots[0].Bprime, "30");
    EXPECT_EQ(Spots[0].BefVis, "+");
    EXPECT_EQ(Spots[0].BefUVS, "");
    EXPECT_EQ(Spots[0].BefUVL, "No Result");
    EXPECT_EQ(Spots[0].Archers, "Red");
    EXPECT_EQ(Spots[0].KResult, "");
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(SpotsSaved);

    form->BefVisCheckBox->SetChecked(false);
    Enter("2", "60");
    form->OKButton->Click();
    Enter("3", "", "");
    form->OKButton->Click();
    ASSERT_EQ(Spots.size(), 3u);

    SpotsSaved = true;
    Enter("2", "61");
    form->OKButton->Click();
    ASSERT_EQ(Spots.size(), 3u);
    EXPECT_EQ(Spots[0].A, "45");
    EXPECT_EQ(Spots[1].name, "Spot 2");
    EXPECT_EQ(Spots[1].A, "61");
    EXPECT_EQ(Spots[1].BefVis, "");
    EXPECT_EQ(Spots[2].name, "Spot 3");
    EXPECT_EQ(Spots[2].A, "");
    EXPECT_FALSE(SpotsSaved);

    // A number beyond the end appends, named with that number.
    Enter("7", "10");
    form->OKButton->Click();
    ASSERT_EQ(Spots.size(), 4u);
    EXPECT_EQ(Spots[3].name, "Spot 7");
}

TEST_F(SpotEntry, InvalidNumberIsRefusedAndTheDialogStays)
{
    for (const char* n : {"0", "-2", "x", ""}) {
        Enter(n, "45");
        form->OKButton->Click();
        EXPECT_TRUE(form->Visible()) << n;
        EXPECT_TRUE(Spots.empty()) << n;
        EXPECT_TRUE(SpotsSaved) << n;
    }
    EXPECT_EQ(TestDialogs().Messages(),
              QStringList({"Invalid spot number: 0", "Invalid spot number: -2", "Invalid spot number: x",
                           "Invalid spot number: "}));
}

TEST_F(SpotEntry, CancelStoresNothingAndKeepsTheTypedValues)
{
    Enter("1", "45");
    form->CancelButton->Click();
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(Spots.empty());
    EXPECT_TRUE(SpotsSaved);
    EXPECT_EQ(form->AEdit->Text(), "45");
}

TEST_F(SpotEntry, EveryShowRefillsTheColourListsKeepingTheShownTexts)
{
    const auto saved = ColorMatrix;
    for (int i = 0; i < 20; ++i)
        ColorMatrix[size_t(i)].ColorName = "Colour" + QString::number(i);
    form->ArchersCombo->SetText("Red");
    form->AftUVCombo->SetText("");
    for (int shows = 0; shows < 3; ++shows) {
        form->Show();
        form->Hide();
    }
    ColorMatrix = saved;
    for (TComboBox* combo : {form->BefUVLCombo, form->ArchersCombo, form->AftVisCombo, form->AftUVCombo}) {
        ASSERT_EQ(combo->Items()->Count(), 19);
        EXPECT_EQ(combo->Items()->Strings(0), "");
        EXPECT_EQ(combo->Items()->Strings(1), "Colour0");
        EXPECT_EQ(combo->Items()->Strings(18), "Colour17");
    }
    EXPECT_EQ(form->BefUVLCombo->Text(), "No Result");
    EXPECT_EQ(form->ArchersCombo->Text(), "Red");
    EXPECT_EQ(form->AftUVCombo->Text(), "");
}

TEST_F(SpotEntry, LayoutTagsAndDoubleClickOpeningTheCalculator)
{
    EXPECT_EQ(form->Caption(), "Input TLC Spot Values");
    EXPECT_EQ(form->Tag, -1);
    EXPECT_EQ(form->ClientWidth(), 619);
    EXPECT_EQ(form->ClientHeight(), 567);
    const TControl* tagged[] = {form->AEdit, form->BEdit, form->BprimeEdit, form->CEdit, form->EEdit,
                                form->FEdit, form->GEdit, form->HPLCEdit, form->BefVisCheckBox,
                                form->BefUVSCheckBox, form->BefUVLCombo, form->ArchersCombo,
                                form->AftVisCombo, form->AftUVCombo};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(tagged[i]->Tag, i + 1);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(tagged[i]->Width(), 35);
        EXPECT_EQ(tagged[i]->Top(), form->AEdit->Top());
        if (i > 0) {
            EXPECT_GT(tagged[i]->Left(), tagged[i - 1]->Left());
        }
    }
    EXPECT_TRUE(form->CancelButton->Cancel());

    form->Show();
    RFForm->SpotEdit->SetText("4");
    QTest::mouseDClick(form->HPLCEdit->LineEdit(), Qt::LeftButton);
    EXPECT_TRUE(RFForm->Visible());
    EXPECT_EQ(RFForm->Button1->Caption(), "Paste HPLC");
    EXPECT_EQ(RFForm->SpotEdit->Text(), "");
    EXPECT_TRUE(form->Visible());   // not modal: the dialog stays open
}

TEST_F(SpotEntry, EveryLabelShowsItsWholeCaptionAndTheTabOrderRunsThroughTheFields)
{
    form->Show();
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* label = dynamic_cast<TLabel*>(form->Components(i));
        if (!label || label->Caption().isEmpty()) continue;
        const QFontMetrics metrics(label->Widget()->font());
        EXPECT_LE(metrics.horizontalAdvance(label->Caption()), label->Width()) << label->Name.toStdString();
        EXPECT_LE(metrics.height(), label->Height()) << label->Name.toStdString();
    }
    // The title in its large font ends before the spot number begins.
    EXPECT_LE(form->Label1->Left() + form->Label1->Width(), form->SpotNumberLabel->Left());
    EXPECT_EQ(form->Label1->Caption(), "TLC Spot");

    QWidget* chain[] = {form->AEdit->Widget(),     form->BEdit->Widget(), form->BprimeEdit->Widget(),
                        form->CEdit->Widget(),     form->EEdit->Widget(), form->FEdit->Widget(),
                        form->GEdit->Widget(),     form->HPLCEdit->Widget(), form->OKButton->Widget(),
                        form->CancelButton->Widget()};
    for (int i = 0; i + 1 < int(std::size(chain)); ++i) {
        // The next control that takes the Tab key after chain[i].
        QWidget* next = chain[i]->nextInFocusChain();
        while (next && next != chain[i] && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_TRUE(next == chain[i + 1] || chain[i + 1]->isAncestorOf(next) || next->isAncestorOf(chain[i + 1]))
            << "after field " << i;
    }
}

} // namespace
