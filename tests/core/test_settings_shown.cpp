// What the program shows of its search settings follows the user's edits:
// the number beside the main window's arrows is the tolerance or factor the
// matching uses, and the spot entry window shows the thallus reactions in
// use, whether it was open or closed while they changed.
#include "all_windows_kit.h"

#include "config/SearchConfig.h"
#include "identify/InputValues.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QStringList SpotListCaptions()
{
    QStringList out;
    for (int i = 0; i < Form1->SpotListView->Items()->Count(); ++i)
        out << Form1->SpotListView->Items()->Item(i)->Caption();
    return out;
}

// The user's way to put a new text into a field: click it, select what is
// there, type over it (nothing typed empties it).
void TypeOver(QLineEdit* edit, const QString& text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
    ASSERT_EQ(edit->text(), text);
}

void Click(TControl* button)
{
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
}

QString Shown() { return Form1->MatchingValueLabel->Caption(); }

} // namespace

using SettingsShown = AllWindows;

TEST_F(SettingsShown, NumberBesideTheArrowsFollowsTheEditOfItsMethod)
{
    TSearchConfigForm* f = SearchConfigForm;
    QLineEdit* rfError = f->RFErrorEdit->LineEdit();
    QLineEdit* factor = f->CorrelationFactorEdit->LineEdit();
    // A spot 3 off Atranorin (A 75) and 4 off Chloroatranorin (A 74).
    TSubstanceRecord spot;
    spot.name = QStringLiteral("Spot 1");
    spot.A = QStringLiteral("78");
    Spots = {spot};
    Form1->MatchAllSpots();
    ASSERT_EQ(Shown(), "1");
    ASSERT_EQ(SpotListCaptions(), QStringList({"Spot 1"}));
    f->Show();

    TypeOver(rfError, "3");
    EXPECT_EQ(Shown(), "3");
    EXPECT_EQ(Form1->MatchingUpDown->Position(), 3);
    EXPECT_EQ(Form1->MatchingUpDown->Hint(), "3");
    EXPECT_EQ(SpotListCaptions(), QStringList({"Spot 1", "Atranorin"}));
    EXPECT_FALSE(SearchConfigSaved);

    // Emptied, the edit holds no value yet: the list and the number stay.
    TypeOver(rfError, "");
    EXPECT_EQ(Shown(), "3");
    EXPECT_EQ(SpotListCaptions(), QStringList({"Spot 1", "Atranorin"}));
    TypeOver(rfError, "12");
    EXPECT_EQ(Shown(), "12");

    // The arrows step from the typed value and write it back.
    QTest::mouseClick(Form1->MatchingUpDown->Widget()->findChildren<QWidget*>().at(0), Qt::LeftButton);
    EXPECT_EQ(Shown(), "13");
    EXPECT_EQ(f->RFErrorEdit->Text(), "13");

    // Correlation chosen in the main window: its factor is the number, and
    // only its own edit moves it.
    QRadioButton* correlation = nullptr;
    for (QRadioButton* b : Form1->MatchingMethodRadioGroup->Widget()->findChildren<QRadioButton*>())
        if (b->text() == "Correlation") correlation = b;
    ASSERT_TRUE(correlation);
    QTest::mouseClick(correlation, Qt::LeftButton);
    ASSERT_EQ(f->MatchingMethodRadioGroup->ItemIndex(), 1);
    EXPECT_EQ(Shown(), "5");
    TypeOver(factor, "8");
    EXPECT_EQ(Shown(), "8");
    TypeOver(rfError, "2");
    EXPECT_EQ(Shown(), "8");
    f->Hide();
}

TEST_F(SettingsShown, SpotEntryWindowShowsTheThallusReactionsInUse)
{
    TInputSpotValuesForm* spotWindow = InputSpotValuesForm;
    TSearchConfigForm* f = SearchConfigForm;
    Form1->Show();
    Click(Form1->Button1);   // "Add TLC Spot"
    ASSERT_TRUE(spotWindow->Visible());
    EXPECT_EQ(spotWindow->KLabel->Caption(), "No Result");

    // "Edit Thallus Spot Tests": K typed, C picked from its list, then the
    // search configuration's OK.
    Click(spotWindow->Button1);
    ASSERT_TRUE(f->Visible());
    TypeOver(f->KCombo->Combo()->lineEdit(), "Yellow");
    QComboBox* c = f->CCombo->Combo();
    c->showPopup();
    const QModelIndex white = c->model()->index(c->findText("White"), 0);
    c->view()->scrollTo(white);
    QTest::mouseClick(c->view()->viewport(), Qt::LeftButton, {}, c->view()->visualRect(white).center());
    ASSERT_EQ(f->CCombo->Text(), "White");
    Click(f->CloseButton);
    ASSERT_FALSE(f->Visible());
    // The spot window stood open meanwhile and shows them already.
    EXPECT_EQ(spotWindow->KLabel->Caption(), "Yellow");
    EXPECT_EQ(spotWindow->CLabel->Caption(), "White");

    // Closed and opened again by "Add TLC Spot": the same.
    Click(spotWindow->CancelButton);
    ASSERT_FALSE(spotWindow->Visible());
    Click(Form1->Button1);
    ASSERT_TRUE(spotWindow->Visible());
    EXPECT_EQ(spotWindow->KLabel->Caption(), "Yellow");
    EXPECT_EQ(spotWindow->CLabel->Caption(), "White");
    EXPECT_EQ(spotWindow->PDLabel->Caption(), "No Result");

    // A configuration loaded later brings its own reactions into the window.
    Click(spotWindow->CancelButton);
    f->LoadDefault1Click(nullptr);
    Click(Form1->Button1);
    EXPECT_EQ(spotWindow->KLabel->Caption(), "No Result");
    EXPECT_EQ(spotWindow->CLabel->Caption(), "No Result");
    Click(spotWindow->CancelButton);
}
