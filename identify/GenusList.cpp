#include "identify/GenusList.h"

#include "core/MainWindow.h"
#include "core/Queries.h"

TGenusForm* GenusForm = nullptr;

QStringList SelectedItemTexts(TListBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (list->Selected(i))
            texts << list->Items()->Strings(i);
    return texts;
}

void SelectItemsShownBy(TListBox* list, const QStringList& remembered, const QString& caption)
{
    // The remembered items are exact (a name may itself hold ", "); the
    // caption split is for a label that was set elsewhere.
    QStringList names;
    if (!remembered.isEmpty() && remembered.join(", ") == caption)
        names = remembered;
    else if (!caption.isEmpty())
        names = caption.split(", ");
    for (int i = 0; i < list->Items()->Count(); ++i)
        list->SetSelected(i, names.contains(list->Items()->Strings(i)));
}

void FillPickList(TListBox* list, const QString& sql, const QString& field)
{
    RunQuery(sql);
    TSQLQuery& query = MainQuery();
    while (!query.Eof()) {
        list->Items()->Add(GetFieldString(field));
        query.Next();
    }
}

TGenusForm::TGenusForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = "GenusForm";
    Tag = -1;
    SetCaption("Genus Filter");
    SetClientWidth(224);
    SetClientHeight(562);
    OnClose = Bind(this, &TGenusForm::FormClose);

    GenusListBox = new TListBox(this, this);
    GenusListBox->Name = "GenusListBox";
    GenusListBox->SetBounds(16, 16, 193, 489);
    GenusListBox->SetMultiSelect(true);
    GenusListBox->SetHint("Double click to select");
    GenusListBox->SetShowHint(true);
    GenusListBox->OnDblClick = Bind(this, &TGenusForm::GenusListBoxDblClick);

    OKButton = new TButton(this, this);
    OKButton->Name = "OKButton";
    OKButton->SetBounds(16, 517, 89, 33);
    OKButton->SetCaption("OK");
    OKButton->OnClick = Bind(this, &TGenusForm::OKButtonClick);

    CancelButton = new TButton(this, this);
    CancelButton->Name = "CancelButton";
    CancelButton->SetBounds(120, 517, 89, 33);
    CancelButton->SetCaption("Cancel");
    CancelButton->OnClick = Bind(this, &TGenusForm::CancelButtonClick);

    SetPosition(poMainFormCenter);
}

void TGenusForm::GenusListBoxDblClick(TObject*)
{
    const int index = GenusListBox->ItemIndex();
    if (index < 0)
        return;
    labelItems = QStringList{GenusListBox->Items()->Strings(index)};
    Form1->GenusLabel->SetCaption(labelItems.first());
    Close();
    Form1->MatchAllSpots();
}

void TGenusForm::OKButtonClick(TObject*)
{
    const QStringList chosen = SelectedItemTexts(GenusListBox);
    if (chosen.isEmpty()) {
        Close();
    } else {
        labelItems = chosen;
        Form1->GenusLabel->SetCaption(chosen.join(", "));
        Hide();
    }
    Form1->MatchAllSpots();
}

void TGenusForm::CancelButtonClick(TObject*)
{
    Close();
}

void TGenusForm::RestoreSelectionFromLabel()
{
    SelectItemsShownBy(GenusListBox, labelItems, Form1->GenusLabel->Caption());
}

void TGenusForm::FormClose(TObject*, TCloseAction&)
{
    // Leaving without OK: the matching reads the list's selection, so it is
    // put back to what the label shows.
    RestoreSelectionFromLabel();
    if (Form1->GenusLabel->Caption().isEmpty())
        Form1->FilterGenusCheckBox->SetChecked(false);
}

void FillGenusList()
{
    FillPickList(GenusForm->GenusListBox, "select DISTINCT Genus from Lichens ORDER BY Genus", "Genus");
}
