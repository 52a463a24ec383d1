// The substance list window: lines for "" and a search text, choosing a
// line, type-ahead and the related-compound pick.
#include "test_subswin_kit.h"

#include <QListWidget>
#include <QTest>

namespace {

using SubstanceList = SubstanceWindowTest;

const QStringList AllLines = {"Atranorin", "  (atranorine)", "  (atranol)", "Chloroatranorin",
                              "4-O-Demethylbarbatic acid", "  (DMB)", "Usnic acid", "  (usnein)", "  (UA)"};

TEST_F(SubstanceList, ListsEverySubstanceOrASearchInNameOrder)
{
    FillSubstanceList("");
    EXPECT_TRUE(RecordListForm->Visible());
    EXPECT_EQ(ListLines(RecordListForm->RecordListBox), AllLines);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), 0);
    EXPECT_EQ(RecordListForm->SearchWordEdit->Text(), "");
    SaveScreenshot(RecordListForm, "substance_list");

    // Typing refills: name or synonym, any ASCII case, anywhere.
    RecordListForm->SearchWordEdit->SetText("ATRANO");
    EXPECT_EQ(ListLines(RecordListForm->RecordListBox),
              QStringList({"Atranorin", "  (atranorine)", "  (atranol)", "Chloroatranorin"}));
    RecordListForm->SearchWordEdit->SetText("usne");
    EXPECT_EQ(ListLines(RecordListForm->RecordListBox), QStringList({"Usnic acid", "  (usnein)", "  (UA)"}));
    // Quotes and LIKE-breaking text are plain search text.
    RecordListForm->SearchWordEdit->SetText("\"); DROP TABLE Lichens; --");
    EXPECT_EQ(RecordListForm->RecordListBox->Items()->Count(), 0);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), -1);
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_EQ(db.Count("Lichens"), 2);

    // Up and Down stay inside the list; nothing selected on an empty one.
    WORD down = VK_DOWN, up = VK_UP;
    RecordListForm->SearchWordEditKeyDown(nullptr, down, 0);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), -1);
    RecordListForm->SearchWordEdit->SetText("usne");
    for (int i = 0; i < 5; ++i) RecordListForm->SearchWordEditKeyDown(nullptr, down, 0);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), 2);
    for (int i = 0; i < 5; ++i) RecordListForm->SearchWordEditKeyDown(nullptr, up, 0);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), 0);
}

TEST_F(SubstanceList, ChoosingALineOpensItsSubstanceReadOnly)
{
    server.Route("/portal/glossary/individual.php?glossid=12", FakeResponse::Ok("<img src=\"http://x/a.jpg\">"));
    server.Route("/portal/glossary/individual.php?glossid=7", FakeResponse::Ok("<p>no pictures</p>"));
    FillSubstanceList("");
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(false);
    TestDialogs().Reset();

    // A synonym line opens the substance that lists it.
    RecordListForm->RecordListBox->SetItemIndex(AllLines.indexOf("  (atranol)"));
    RecordListForm->RecordListBoxDblClick(RecordListForm->RecordListBox);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"atranol found as Synonym of Atranorin"}));
    EXPECT_TRUE(ViewRecordForm->Visible());
    EXPECT_TRUE(ViewRecordForm->ReadOnlyCheckBox->Checked());
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Atranorin");
    EXPECT_EQ(ViewRecordForm->AEdit->Text(), "75");
    EXPECT_EQ(ListLines(ViewRecordForm->LichenListBox), QStringList({"Lecanora muralis", "Parmelia sulcata"}));
    EXPECT_TRUE(ViewRecordForm->Image1->Visible());
    EXPECT_EQ(ViewRecordForm->Left() + ViewRecordForm->Width(), RecordListForm->Left());

    // Enter in the search edit chooses the selected line; its page has no
    // picture, so the image area is hidden.
    RecordListForm->RecordListBox->SetItemIndex(AllLines.indexOf("Usnic acid"));
    WORD enter = VK_RETURN;
    RecordListForm->SearchWordEditKeyDown(RecordListForm->SearchWordEdit, enter, 0);
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Usnic acid");
    EXPECT_FALSE(ViewRecordForm->Image1->Visible());
    EXPECT_EQ(server.Requests(), QStringList({"/portal/glossary/individual.php?glossid=12",
                                              "/portal/glossary/individual.php?glossid=7"}));

    // Offline: no request, the image area hidden.
    ViewRecordForm->Image1->Show();
    InternetEnabled = false;
    RecordListForm->RecordListBox->SetItemIndex(0);
    RecordListForm->RecordListBoxDblClick(RecordListForm->RecordListBox);
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Atranorin");
    EXPECT_FALSE(ViewRecordForm->Image1->Visible());
    EXPECT_EQ(server.Requests().size(), 2);
}

TEST_F(SubstanceList, TypingInTheListTypesTheCharacterPressed)
{
    FillSubstanceList("");
    QListWidget* list = RecordListForm->RecordListBox->List();
    const struct { int key; Qt::KeyboardModifiers modifiers; QString text; QString typed; } cases[] = {
        {Qt::Key_2, Qt::NoModifier, "2", "2"},
        {Qt::Key_2, Qt::KeypadModifier, "2", "2"},   // a keypad digit is a digit
        {Qt::Key_B, Qt::NoModifier, "b", "b"},
        {Qt::Key_U, Qt::ShiftModifier, "U", "u"},
        {Qt::Key_F2, Qt::NoModifier, "", ""},        // a function key types nothing
        {Qt::Key_Space, Qt::NoModifier, " ", ""},
    };
    for (const auto& c : cases) {
        RecordListForm->SearchWordEdit->SetText("");
        TestDialogs().Reset();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.text);
        QApplication::sendEvent(list, &press);
        EXPECT_EQ(RecordListForm->SearchWordEdit->Text(), c.typed) << c.key;
        EXPECT_EQ(TestDialogs().EndKeyCount(), c.typed.isEmpty() ? 0 : 1) << c.key;
    }
    // An arrow key moves the list's selection and types nothing.
    RecordListForm->SearchWordEdit->SetText("");
    RecordListForm->RecordListBox->SetItemIndex(0);
    TestDialogs().Reset();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), 1);
    EXPECT_EQ(RecordListForm->SearchWordEdit->Text(), "");
    EXPECT_EQ(TestDialogs().EndKeyCount(), 0);

    // The typed character searched.
    RecordListForm->SearchWordEdit->SetText("");
    QKeyEvent u(QEvent::KeyPress, Qt::Key_U, Qt::NoModifier, "u");
    QApplication::sendEvent(list, &u);
    EXPECT_EQ(ListLines(RecordListForm->RecordListBox), QStringList({"Usnic acid", "  (usnein)", "  (UA)"}));
}

TEST_F(SubstanceList, AnEmptyTableGivesAnEmptyList)
{
    db.Exec("DELETE FROM Substances");
    FillSubstanceList("");
    EXPECT_TRUE(RecordListForm->Visible());
    EXPECT_EQ(RecordListForm->RecordListBox->Items()->Count(), 0);
    EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), -1);
    EXPECT_EQ(RecordListForm->SearchWordEdit->Text(), "");
    // Enter and the arrows with nothing to choose do nothing.
    for (WORD key : {WORD(VK_RETURN), WORD(VK_DOWN), WORD(VK_UP)}) {
        WORD k = key;
        RecordListForm->SearchWordEditKeyDown(RecordListForm->SearchWordEdit, k, 0);
        EXPECT_EQ(RecordListForm->RecordListBox->ItemIndex(), -1) << key;
    }
    EXPECT_FALSE(ViewRecordForm->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_TRUE(server.Requests().isEmpty());
}

TEST_F(SubstanceList, RelatedCompoundPickAddsToTheRecordView)
{
    ShowSubstanceRecord("Chloroatranorin");
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(false);
    EXPECT_TRUE(ViewRecordForm->AddRelatedCompound1->Visible());
    ViewRecordForm->AddRelatedCompound1->Click();
    EXPECT_TRUE(ChoosingRelatedCompound);
    EXPECT_TRUE(RecordListForm->Visible());

    RecordListForm->RecordListBox->SetItemIndex(AllLines.indexOf("Usnic acid"));
    RecordListForm->RecordListBoxDblClick(RecordListForm->RecordListBox);
    EXPECT_FALSE(ChoosingRelatedCompound);
    EXPECT_FALSE(RecordListForm->Visible());
    EXPECT_EQ(ListLines(ViewRecordForm->BioRelatedListBox), QStringList({"Atranorin", "Usnic acid"}));
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Chloroatranorin");
    EXPECT_EQ(server.Requests().size(), 0);

    // Hiding the list ends the pick mode.
    ViewRecordForm->AddRelatedCompound1->Click();
    RecordListForm->CloseButton->Click();
    EXPECT_FALSE(ChoosingRelatedCompound);
    EXPECT_FALSE(RecordListForm->Visible());
}

} // namespace

#include "config/Cune.h"
#include "core/MainWindow.h"

namespace {

TEST_F(SubstanceList, CuneControlPickFillsTheCuneWindow)
{
    Application->CreateForm(CuneForm);
    CuneControls.clear();
    PickCuneControlFromSubstanceList();
    EXPECT_TRUE(ChoosingCuneControl);
    EXPECT_EQ(RecordListForm->Caption(), "Select Cune Control Substance");

    RecordListForm->RecordListBox->SetItemIndex(AllLines.indexOf("Usnic acid"));
    RecordListForm->RecordListBoxDblClick(RecordListForm->RecordListBox);
    EXPECT_TRUE(CuneForm->Visible());
    ASSERT_EQ(CuneControls.size(), 1u);
    EXPECT_EQ(CuneControls[0].name, "Usnic acid");
    EXPECT_FALSE(RecordListForm->Visible());
    EXPECT_TRUE(ViewRecordForm->Visible());
    EXPECT_EQ(ViewRecordForm->NameEdit->Text(), "Usnic acid");
    EXPECT_TRUE(server.Requests().isEmpty());   // no image probe
    EXPECT_TRUE(ChoosingCuneControl);

    // With both flags set the related-compound pick wins.
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(false);
    ViewRecordForm->AddRelatedCompound1->Click();
    RecordListForm->RecordListBox->SetItemIndex(0);
    RecordListForm->RecordListBoxDblClick(RecordListForm->RecordListBox);
    EXPECT_EQ(ListLines(ViewRecordForm->BioRelatedListBox), QStringList{"Atranorin"});
    EXPECT_EQ(CuneControls.size(), 1u);
    EXPECT_TRUE(ChoosingCuneControl);

    ChoosingCuneControl = false;
    CuneControls.clear();
    CuneForm = nullptr;   // freed with the other windows
}

} // namespace

namespace {

// A name saved with "_" or "%" opens as itself: a double-click on its line
// shows its own record, not that of the name the letters match as a pattern.
TEST_F(SubstanceList, ANameWithWildcardLettersOpensAsItself)
{
    connection.ExecuteDirect("INSERT INTO Substances(name, A, Notes) VALUES ('Usnic_acid', 71, 'underscore')");
    connection.ExecuteDirect("INSERT INTO Substances(name, A, Notes) VALUES ('Usnic%', 72, 'percent')");
    FillSubstanceList("usnic");
    QListWidget* list = RecordListForm->RecordListBox->List();
    for (const char* name : {"Usnic_acid", "Usnic%", "Usnic acid"}) {
        SCOPED_TRACE(name);
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        const QRect r = list->visualItemRect(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_TRUE(ViewRecordForm->Visible());
        EXPECT_EQ(ViewRecordForm->NameEdit->Text(), name);
    }
    EXPECT_EQ(ViewRecordForm->AEdit->Text(), "70");
}

} // namespace
