#include "config/EditOneColor.h"
#include "config/SearchConfig.h"
#include "framework/Text.h"

#include <algorithm>

TEditOneColorForm* EditOneColorForm = nullptr;

TEditOneColorForm::TEditOneColorForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("EditOneColorForm");
    SetCaption(QStringLiteral("Edit Color"));
    SetBorderStyle(bsSingle);
    SetClientWidth(270);
    SetClientHeight(387);

    Button1 = new TButton(this, this);
    Button1->Name = QStringLiteral("Button1");
    Button1->SetBounds(32, 344, 81, 25);
    Button1->SetCaption(QStringLiteral("Cancel"));
    Button1->OnClick = Bind(this, &TEditOneColorForm::Button1Click);
    Button2 = new TButton(this, this);
    Button2->Name = QStringLiteral("Button2");
    Button2->SetBounds(160, 344, 81, 25);
    Button2->SetCaption(QStringLiteral("OK"));
    Button2->OnClick = Bind(this, &TEditOneColorForm::Button2Click);

    for (int k = 0; k < ConfigColorCount; ++k) {
        const int p = k < 9 ? k : k - 9;
        const int top = 33 * (p + 1);
        const int left = k < 9 ? 15 : 130;

        TLabel* label = new TLabel(this, this);
        label->SetAutoSize(false);
        label->SetBounds(left, top + 5, 60, 17);
        label->Font()->SetSize(10);
        label->SetAlignment(taRightJustify);
        label->SetCaption(ColorMatrix[k].ColorName);
        ColorLabels[k] = label;

        TEdit* edit = new TEdit(this, this);
        edit->SetBounds(left + 65, top, 40, 24);
        edit->Font()->SetSize(10);
        edit->OnChange = Bind(this, &TEditOneColorForm::ColorEditChange);
        ColorEdits[k] = edit;

        // Stands right of its edit, as an attached up-down does.
        TUpDown* upDown = new TUpDown(this, this);
        upDown->SetBounds(left + 105, top, 17, 24);
        upDown->SetMin(0);
        upDown->SetMax(100);
        upDown->SetIncrement(10);
        upDown->OnClick = Bind(this, &TEditOneColorForm::ColorUpDownClick);
        ColorUpDowns[k] = upDown;
        edit->SetText(QStringLiteral("0"));
    }
    SetPosition(poMainFormCenter);
}

void TEditOneColorForm::EditColorRow(int n)
{
    if (n < 0 || n >= ConfigColorCount)
        return;
    Show();
    EditedColorRow = n;
    SetCaption(QStringLiteral("Edit ") + ColorMatrix[n].ColorName);
    for (int k = 0; k < ConfigColorCount; ++k) {
        // The names follow the configuration loaded last.
        ColorLabels[k]->SetCaption(ColorMatrix[k].ColorName);
        ColorUpDowns[k]->SetPosition(StrToIntDef(ColorMatrix[n].Similarity[k], 0));
        ColorEdits[k]->SetText(QString::number(ColorUpDowns[k]->Position()));
    }
}

void TEditOneColorForm::Button1Click(TObject*) { Hide(); }

void TEditOneColorForm::Button2Click(TObject*)
{
    const int n = EditedColorRow;
    if (n < 0 || n >= ConfigColorCount)
        return;
    for (int k = 0; k < ConfigColorCount; ++k) {
        const QString text = ColorEdits[k]->Text();
        if (!IsValidSimilarity(text)) {
            ShowMessage(QStringLiteral("The similarity to %1 must be a whole number from 0 to 100: \"%2\"")
                            .arg(ColorMatrix[k].ColorName, text));
            ColorEdits[k]->SetFocus();
            return;
        }
    }
    for (int k = 0; k < ConfigColorCount; ++k) {
        const QString value = QString::number(StrToIntDef(ColorEdits[k]->Text(), 0));
        ColorMatrix[n].Similarity[k] = value;
        ColorMatrix[k].Similarity[n] = value;
    }
    if (SearchConfigForm)
        SearchConfigForm->SearchConfigListView->Clear();
    RefreshColorMatrixView();
    UpdateSaveEnabled();
    Hide();
    SearchConfigSaved = false;
    if (SearchConfigForm)
        SearchConfigForm->SetCaption(QStringLiteral("(Unsaved)"));
}

void TEditOneColorForm::ColorEditChange(TObject* Sender)
{
    // A typed value is where the next up-down click starts from.
    const auto it = std::find(ColorEdits.begin(), ColorEdits.end(), Sender);
    if (it == ColorEdits.end())
        return;
    const QString text = (*it)->Text();
    if (IsValidSimilarity(text))
        ColorUpDowns[it - ColorEdits.begin()]->SetPosition(StrToIntDef(text, 0));
}

void TEditOneColorForm::ColorUpDownClick(TObject* Sender, TUDBtnType)
{
    const auto it = std::find(ColorUpDowns.begin(), ColorUpDowns.end(), Sender);
    if (it == ColorUpDowns.end())
        return;
    ColorEdits[it - ColorUpDowns.begin()]->SetText(QString::number((*it)->Position()));
}
