// The substance record window: read-only and editable states, saving a new
// record and replacing one, the close question, related compounds, the
// atlas page.
#include "test_subswin_kit.h"

#include <QListWidget>
#include <QTest>

namespace {

using RecordWindow = SubstanceWindowTest;

const QString LocalNote =
    "Note that any changes or additions are local only and will be overwritten when downloading Substance Data.";

TEST_F(RecordWindow, ReadOnlyAndEditableStates)
{
    ShowSubstanceRecord("Atranorin");
    TViewRecordForm* f = ViewRecordForm;
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->BioRelatedListBox->Items()->ToStringList(), QStringList({"Chloroatranorin", "Usnic acid"}));
    EXPECT_TRUE(f->BefUVSCheckBox->Checked());
    EXPECT_FALSE(f->BefVisCheckBox->Checked());
    EXPECT_EQ(f->NotesMemo->Text(), "Quorrel 12");
    EXPECT_EQ(f->SynMemo->Text(), "atranorine\r\natranol");
    SaveScreenshot(f, "substance_record");

    auto check = [&](bool readOnly) {
        EXPECT_EQ(f->AEdit->ReadOnly(), readOnly);
        EXPECT_EQ(f->FragmentEdit3->ReadOnly(), readOnly);
        EXPECT_EQ(f->NotesMemo->ReadOnly(), readOnly);
        EXPECT_EQ(f->SynMemo->ReadOnly(), readOnly);
        EXPECT_EQ(f->GroupNameEdit->ReadOnly(), readOnly);
        EXPECT_EQ(f->BefVisCheckBox->Enabled(), !readOnly);
        EXPECT_EQ(f->KCombo->Enabled(), !readOnly);
        EXPECT_EQ(f->AftUVCombo->Enabled(), !readOnly);
        EXPECT_EQ(f->SaveButton->Enabled(), !readOnly);
        EXPECT_EQ(f->AddRelatedCompound1->Visible(), !readOnly);
        EXPECT_EQ(f->RemoveRelatedCompound1->Visible(), !readOnly);
        EXPECT_TRUE(f->Compare1->Visible());
        EXPECT_FALSE(f->NameEdit->ReadOnly());
    };
    check(true);
    f->ReadOnlyCheckBox->SetChecked(false);
    EXPECT_EQ(TestDialogs().Shown(), QStringList{LocalNote});
    check(false);

    // Closing while editable asks; Cancel keeps the window open.
    TestDialogs().AnswerNext(mrCancel);
    f->CloseButton->Click();
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(TestDialogs().Shown().last(), "Did you need to save changes?");
    f->CloseButton->Click();   // OK
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(f->ReadOnlyCheckBox->Checked());
    check(true);

    // A read-only window closes without a question.
    ShowSubstanceRecord("Atranorin");
    TestDialogs().Reset();
    f->CloseButton->Click();
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());

    // An unknown name keeps the content and still shows the window.
    ShowSubstanceRecord("Nothing");
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Nothing not found in database."}));
    EXPECT_EQ(f->NameEdit->Text(), "Atranorin");
    EXPECT_TRUE(f->Visible());
}

TEST_F(RecordWindow, SavesANewRecordAndReplacesAnExistingOne)
{
    TViewRecordForm* f = ViewRecordForm;
    f->Show();
    ClearRecordForm();
    f->ReadOnlyCheckBox->SetChecked(false);
    TestDialogs().Reset();
    const QString name = "New \"one\"); DROP TABLE Lichens; --";
    f->NameEdit->SetText(name);
    f->AEdit->SetText("33");
    f->BefVisCheckBox->SetChecked(true);
    f->SynMemo->SetText("syn one\r\nsyn two\r\nsyn three");
    f->NotesMemo->SetText("line \"1\"\r\nline 2");
    f->BioRelatedListBox->AddItem("Usnic acid");
    f->BioRelatedListBox->AddItem("Atranorin");
    f->SaveButton->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Substance \"" + name + "\" saved."}));
    EXPECT_TRUE(f->ReadOnlyCheckBox->Checked());
    EXPECT_EQ(db.Count("Lichens"), 2);
    auto rows = db.Rows("SELECT name, A, BefVis, BefUVS, Synonyms, Notes, Related, KResult, GLossID FROM Substances "
                        "WHERE A = '33'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), name);
    EXPECT_EQ(rows[0][2].toString(), "+");
    EXPECT_EQ(rows[0][3].toString(), "-");
    EXPECT_EQ(rows[0][4].toString(), "syn one, syn two, syn three");
    EXPECT_EQ(rows[0][5].toString(), "line \"1\"\r\nline 2");
    EXPECT_EQ(rows[0][6].toString(), "Atranorin, Usnic acid, ");
    EXPECT_EQ(rows[0][7].toString(), "");
    EXPECT_TRUE(rows[0][8].isNull());

    // Replacing: asked first (name compared without case); Cancel changes
    // nothing, not even the read-only state.
    ShowSubstanceRecord("Atranorin");
    f->ReadOnlyCheckBox->SetChecked(false);
    f->NameEdit->SetText("ATRANORIN");
    f->AEdit->SetText("76");
    f->BioRelatedListBox->Clear();
    TestDialogs().Reset();
    TestDialogs().AnswerNext(mrCancel);
    f->SaveButton->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"ATRANORIN already exists.  Replace?"}));
    EXPECT_FALSE(f->ReadOnlyCheckBox->Checked());
    EXPECT_EQ(db.Scalar("SELECT A FROM Substances WHERE name = 'Atranorin'"), "75");

    TestDialogs().Reset();
    f->SaveButton->Click();   // OK
    EXPECT_EQ(TestDialogs().Shown(),
              QStringList({"ATRANORIN already exists.  Replace?", "Substance \"ATRANORIN\" updated."}));
    rows = db.Rows("SELECT name, A, Related, Lichens, GLossID, Notes FROM Substances WHERE name LIKE 'atranorin'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "ATRANORIN");
    EXPECT_EQ(rows[0][1].toString(), "76");
    EXPECT_EQ(rows[0][2].toString(), "");
    EXPECT_EQ(rows[0][3].toString(), "kept");
    EXPECT_EQ(rows[0][4].toString(), "12");
    EXPECT_EQ(rows[0][5].toString(), "Quorrel 12");
    EXPECT_EQ(db.Count("Substances"), 5);
}

TEST_F(RecordWindow, AFailedSaveIsReported)
{
    ShowSubstanceRecord("Usnic acid");
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(false);
    db.Exec("CREATE TRIGGER refuse BEFORE UPDATE ON Substances BEGIN SELECT RAISE(ABORT, 'refused'); END");
    TestDialogs().Reset();
    ViewRecordForm->SaveButton->Click();
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Usnic acid already exists.  Replace?",
                                                  "Error writing to database.  Name \"Usnic acid\" not unique?"}));
    EXPECT_TRUE(ViewRecordForm->ReadOnlyCheckBox->Checked());
}

TEST_F(RecordWindow, RelatedCompoundsArePointedAtRemovedAndOpened)
{
    ShowSubstanceRecord("Atranorin");
    TViewRecordForm* f = ViewRecordForm;
    f->ReadOnlyCheckBox->SetChecked(false);
    TListBox* related = f->BioRelatedListBox;
    for (int i = 0; i < 30; ++i) related->AddItem(QStringLiteral("Zeorin %1 [x]").arg(i, 2, 10, QChar('0')));
    QListWidget* list = related->List();
    list->scrollToBottom();
    QApplication::processEvents();

    // A right click selects the item under the pointer, wherever scrolled.
    const int target = related->Items()->Count() - 2;
    const QPoint at = list->visualItemRect(list->item(target)).center();
    QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_EQ(related->ItemIndex(), target);
    f->RemoveRelatedCompound1->Click();
    EXPECT_EQ(related->Items()->Count(), 31);
    EXPECT_EQ(related->Items()->IndexOf("Zeorin 28 [x]"), -1);

    // Below the last item nothing is selected.
    while (related->Items()->Count() > 1) related->Items()->Delete(1);
    list->scrollToTop();
    QTest::mousePress(list->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(5, list->viewport()->height() - 3));
    EXPECT_EQ(related->ItemIndex(), -1);
    f->RemoveRelatedCompound1->Click();
    EXPECT_EQ(related->Items()->Count(), 1);
    f->BioRelatedListBoxDblClick(related);   // nothing selected: nothing

    // A double click opens the compound named before " [" in this window.
    related->AddItem("Usnic acid [see notes]");
    related->SetItemIndex(related->Items()->IndexOf("Usnic acid [see notes]"));
    TestDialogs().Reset();
    f->BioRelatedListBoxDblClick(related);
    EXPECT_EQ(f->NameEdit->Text(), "Usnic acid");
    EXPECT_FALSE(f->ReadOnlyCheckBox->Checked());
    related->AddItem("Missing one");
    related->SetItemIndex(related->Items()->IndexOf("Missing one"));
    f->BioRelatedListBoxDblClick(related);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({"Missing one not found in database."}));
    EXPECT_EQ(f->NameEdit->Text(), "Usnic acid");
}

TEST_F(RecordWindow, AtlasPageOpensWithTheNameEncoded)
{
    ShowSubstanceRecord("Usnic acid");
    ViewRecordForm->NPATLASButton->Click();
    EXPECT_EQ(TestDialogs().OpenedUrls(), QStringList({"http://atlas.test/search/basic?name=Usnic%20acid"}));
    EXPECT_TRUE(server.Requests().isEmpty());
}

} // namespace
