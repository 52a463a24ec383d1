#include "identify/GroupList.h"

#include "identify/GenusList.h"

#include "core/MainWindow.h"

TGroupForm* GroupForm = nullptr;

TGroupForm::TGroupForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = "GroupForm";
    Tag = -1;
    SetCaption("Group Filter");
    SetClientWidth(264);
    SetClientHeight(454);
    OnClose = Bind(this, &TGroupForm::FormClose);

    GroupListBox = new TListBox(this, this);
    GroupListBox->Name = "GroupListBox";
    GroupListBox->SetBounds(16, 16, 233, 377);
    GroupListBox->SetMultiSelect(true);
    GroupListBox->SetHint("Double click to select");
    GroupListBox->SetShowHint(true);
    GroupListBox->OnDblClick = Bind(this, &TGroupForm::GroupListBoxDblClick);

    OKButton = new TButton(this, this);
    OKButton->Name = "OKButton";
    OKButton->SetBounds(32, 409, 89, 33);
    OKButton->SetCaption("OK");
    OKButton->OnClick = Bind(this, &TGroupForm::OKButtonClick);

    CancelButton = new TButton(this, this);
    CancelButton->Name = "CancelButton";
    CancelButton->SetBounds(144, 409, 89, 33);
    CancelButton->SetCaption("Cancel");
    CancelButton->OnClick = Bind(this, &TGroupForm::CancelButtonClick);

    SetPosition(poMainFormCenter);
}

void TGroupForm::GroupListBoxDblClick(TObject*)
{
    const int index = GroupListBox->ItemIndex();
    if (index < 0)
        return;
    labelItems = QStringList{GroupListBox->Items()->Strings(index)};
    Form1->GroupLabel->SetCaption(labelItems.first());
    Close();
    Form1->MatchAllSpots();
}

void TGroupForm::OKButtonClick(TObject*)
{
    const QStringList chosen = SelectedItemTexts(GroupListBox);
    if (chosen.isEmpty()) {
        Close();
    } else {
        labelItems = chosen;
        Form1->GroupLabel->SetCaption(chosen.join(", "));
        Hide();
    }
    Form1->MatchAllSpots();
}

void TGroupForm::CancelButtonClick(TObject*)
{
    Close();
}

void TGroupForm::RestoreSelectionFromLabel()
{
    SelectItemsShownBy(GroupListBox, labelItems, Form1->GroupLabel->Caption());
}

void TGroupForm::FormClose(TObject*, TCloseAction&)
{
    // Leaving without OK: the matching reads the list's selection, so it is
    // put back to what the label shows.
    RestoreSelectionFromLabel();
    if (Form1->GroupLabel->Caption().isEmpty())
        Form1->FilterGroupCheckBox->SetChecked(false);
}

void FillGroupList()
{
    FillPickList(GroupForm->GroupListBox, "select DISTINCT GroupName from Substances ORDER BY GroupName", "GroupName");
}
