#include "lichens/LichenMatches.h"
#include "lichens/LichenText.h"
#include "lichens/OneLichen.h"
#include "substances/ViewRecord.h"

#include "core/MainWindow.h"
#include "core/Queries.h"

TLichenMatchesForm* LichenMatchesForm = nullptr;
std::function<void(const QString& lichen)> LichenMatchesOpenLichen = ShowLichen;
std::function<void(const QString& substance)> LichenMatchesOpenSubstance = ShowSubstanceRecord;

namespace {
bool IsHeaderLine(const QString& line)
{
    return line == QLatin1String("Substances:") || line == QLatin1String("Lichens:");
}
} // namespace

TLichenMatchesForm::TLichenMatchesForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = "LichenMatchesForm";
    Tag = -1;
    SetCaption("Lichen Matches");
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    SetClientWidth(359);
    SetClientHeight(481);

    LichenListBox = new TListBox(this, this);
    LichenListBox->Name = "LichenListBox";
    LichenListBox->SetBounds(16, 16, 329, 372);
    LichenListBox->SetStyle(lbOwnerDrawFixed);
    LichenListBox->Font()->SetName("Lucida Console");
    LichenListBox->Font()->SetHeight(-11);
    LichenListBox->OnDrawItem = Bind(this, &TLichenMatchesForm::LichenListBoxDrawItem);
    LichenListBox->OnDblClick = Bind(this, &TLichenMatchesForm::LichenListBoxDblClick);

    MatchRadio = new TRadioGroup(this, this);
    MatchRadio->Name = "MatchRadio";
    MatchRadio->SetBounds(72, 413, 97, 61);
    MatchRadio->SetCaption("Match");
    MatchRadio->Items()->Add("Exact");
    MatchRadio->Items()->Add("Inexact");
    MatchRadio->SetItemIndex(1);
    MatchRadio->SetHint("Exact:  Only contains these substances;  Inexact:  Contains these and possibly others.");
    MatchRadio->SetShowHint(true);
    MatchRadio->OnClick = Bind(this, &TLichenMatchesForm::MatchRadioClick);

    CloseButton = new TButton(this, this);
    CloseButton->Name = "CloseButton";
    CloseButton->SetBounds(192, 431, 81, 25);
    CloseButton->SetCaption("Close");
    CloseButton->OnClick = Bind(this, &TLichenMatchesForm::CloseButtonClick);

    SetPosition(poMainFormCenter);
}

void TLichenMatchesForm::CloseButtonClick(TObject*)
{
    Hide();
    if (Form1)
        Form1->SpotListView->SetFocus();
}

void TLichenMatchesForm::MatchRadioClick(TObject* Sender)
{
    if (Form1)
        Form1->ViewLichensButtonClick(Sender);
}

void TLichenMatchesForm::LichenListBoxDrawItem(TObject*, int Index, const QRect& Rect, TOwnerDrawState)
{
    const QString line = LichenListBox->Items()->Strings(Index);
    TCanvas* canvas = LichenListBox->Canvas();
    canvas->Brush->Color = IsHeaderLine(line) ? cl3DLight : clWindow;
    canvas->FillRect(Rect);
    canvas->Font->SetColor(clBlack);
    canvas->TextOut(Rect.left() + 1, Rect.top(), line);
}

void TLichenMatchesForm::LichenListBoxDblClick(TObject*)
{
    const int index = LichenListBox->ItemIndex();
    if (index < 0)
        return;
    const QString line = LichenListBox->Items()->Strings(index);
    if (IsHeaderLine(line)) {
        ShowMessage("Cannot select word " + line);
        return;
    }
    if (line.isEmpty()) {
        ShowMessage("Cannot select blank line.");
        return;
    }
    // The name is bound, not pasted into the text: a name holding a double
    // quote must not break the statement.
    RunQuery(LichenRowsSql, {line});
    if (!MainQuery().Eof()) {
        if (LichenMatchesOpenLichen)
            LichenMatchesOpenLichen(line);
        return;
    }
    SelectSubstanceByName(line);
    if (!MainQuery().Eof()) {
        const QString name = GetFieldString("name");
        if (LichenMatchesOpenSubstance)
            LichenMatchesOpenSubstance(name);
    }
}
