// The main window's commands: the spot list, the matching run, the spot
// files and CSV export, the lichen searches and the matching options.
#include "core/MainWindow.h"
#include "substances/ViewRecord.h"

#include "config/Cune.h"
#include "config/SearchConfig.h"
#include "core/FormMapping.h"
#include "core/HintWindow.h"
#include "core/Queries.h"
#include "core/RecordText.h"
#include "core/WaitWindow.h"
#include "framework/Text.h"
#include "identify/GenusList.h"
#include "identify/GroupList.h"
#include "identify/InputValues.h"
#include "identify/LichenSearch.h"
#include "identify/SpotFiles.h"
#include "lichens/LichenMatches.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString SpotFileFilter = QStringLiteral("Spot files (*.spot)|*.spot");
const QString FullFileFilter = QStringLiteral("Full files (*.ful)|*.ful");
const QString CsvFileFilter = QStringLiteral("CSV files (*.csv)|*.csv");
const QString ClearSpotsQuestion = QStringLiteral("Spot data will be cleared.  Continue?");
const QString WaitAgainText = QStringLiteral("This may take a minute or so...");

bool IsCuneCaption(const QString& caption) { return caption.contains(QLatin1String("- Cune")); }
bool IsSpotCaption(const QString& caption) { return caption.contains(QLatin1String("Spot ")); }

QStringList SelectedItemsOf(TListBox* list)
{
    QStringList names;
    if (!list) return names;
    for (int i = 0; i < list->Items()->Count(); ++i)
        if (list->Selected(i)) names << list->Items()->Strings(i);
    return names;
}

// Hides the wait window on every way out of a long operation.
struct TWaitGuard {
    ~TWaitGuard()
    {
        if (!WaitForm) return;
        WaitForm->Label1->SetCaption(WaitAgainText);
        WaitForm->Hide();
    }
};

// Asks before unsaved spots are replaced; true to go on.
bool MayClearSpots()
{
    return SpotsSaved
           || MessageDlg(ClearSpotsQuestion, TMsgDlgType::mtInformation, mbOK | mbCancel) != mrCancel;
}

} // namespace

// ---------------------------------------------------------------- matching

TMatchSettings TForm1::CurrentMatchSettings() const
{
    TMatchSettings s;
    s.MatchingMethod = MatchingMethodRadioGroup->ItemIndex();
    if (SearchConfigForm) {
        s.ToleranceText = SearchConfigForm->RFErrorEdit->Text();
        s.CorrelationFactorText = SearchConfigForm->CorrelationFactorEdit->Text();
        const auto combos = SearchConfigForm->ThallusCombos();
        for (int i = 0; i < int(combos.size()) && i < int(s.ThallusTexts.size()); ++i)
            s.ThallusTexts[i] = combos[i]->Text();
    } else {
        const TSearchConfig defaults;
        s.ToleranceText = defaults.RFError;
        s.CorrelationFactorText = defaults.Correlation;
    }
    s.UseTLC = UseTLCCheckbox->Checked();
    s.UseUV = UseUVCheckbox->Checked();
    s.UseThallus = UseThallusCheckbox->Checked();
    s.ApplyCune = ApplyCuneCheckBox->Checked();
    s.CuneControls = CuneControls;
    s.Genus.Active = FilterGenusCheckBox->Checked() && !GenusLabel->Caption().isEmpty();
    if (s.Genus.Active) s.Genus.Names = SelectedItemsOf(GenusForm ? GenusForm->GenusListBox : nullptr);
    s.Group.Active = FilterGroupCheckBox->Checked() && !GroupLabel->Caption().isEmpty();
    if (s.Group.Active) s.Group.Names = SelectedItemsOf(GroupForm ? GroupForm->GroupListBox : nullptr);
    return s;
}

void TForm1::ClearSpotList()
{
    SpotListView->Clear();
    // The rows, and with them the selection the count was made for, are
    // gone: the button reads as for no selection, as at the start.
    ViewLichensButton->SetCaption(QStringLiteral("0 Lichens"));
}

void TForm1::MatchAllSpots()
{
    ClearSpotList();
    GroupLabel->SetHint(GroupLabel->Caption());
    GenusLabel->SetHint(GenusLabel->Caption());
    if (Spots.empty()) {
        UpdateSpotMenuItems();
        return;
    }
    AllLichensButton->SetEnabled(true);
    const TMatchResult result = ::MatchAllSpots(Spots, CurrentMatchSettings(), ColorMatrix, MainQuery(), SortColumn);
    AddMatchRows(result.Rows);
    UpdateSpotMenuItems();
    if (result.Failed) throw Exception(result.Error);
}

void TForm1::AddSpotListRow(const TSubstanceRecord& record)
{
    TListItem* item = SpotListView->Items()->Add();
    item->SetCaption(record.name);
    for (int k = 1; k <= 19; ++k)
        item->SubItems()->Add(record.GetByIndex(k));
    UpdateSpotMenuItems();
}

void TForm1::AddMatchRows(const std::vector<TMatchRow>& rows)
{
    for (const TMatchRow& row : rows) {
        TSubstanceRecord shown = row.Record;
        shown.name = row.Caption;
        AddSpotListRow(shown);
    }
}

void TForm1::UpdateSpotMenuItems()
{
    const bool rows = SpotListView->Items()->Count() > 0;
    ExportData1->SetEnabled(rows);
    SaveAs1->SetEnabled(rows);
    SaveFullFile1->SetEnabled(rows);
}

// ---------------------------------------------------------------- spot entry

void TForm1::ClearSpotDialog()
{
    if (!InputSpotValuesForm) return;
    for (int k = 1; k <= 14; ++k)
        SetControlByTag(InputSpotValuesForm, k, QString());
}

void TForm1::FillSpotDialog(int n)
{
    ClearSpotDialog();
    if (!InputSpotValuesForm || n < 1 || n > int(Spots.size())) return;
    InputSpotValuesForm->SpotNumberLabel->SetCaption(QString::number(n));
    const TSubstanceRecord& spot = Spots[n - 1];
    for (int k = 1; k <= 14; ++k)
        SetControlByTag(InputSpotValuesForm, k, spot.GetByIndex(k));
}

void TForm1::Button1Click(TObject* Sender)
{
    const int n = int(Spots.size()) + 1;
    SortColumn = 100;
    ClearSpotDialog();
    if (InputSpotValuesForm) {
        InputSpotValuesForm->SpotNumberLabel->SetCaption(QString::number(n));
        InputSpotValuesForm->SetCaption(QStringLiteral("Input Spot Value"));
        InputSpotValuesForm->Show();
    }
    SpotsSaved = false;
    SaveIcon->SetEnabled(true);
    ViewLichensButton->SetEnabled(true);
}

void TForm1::OpenSubstanceRecord(const QString& caption)
{
    if (OnOpenSubstanceRecord) OnOpenSubstanceRecord(caption);
    else ShowSubstanceRecord(caption);
}

// ---------------------------------------------------------------- spot list

void TForm1::SpotListViewCustomDrawItem(TObject* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)
{
    const QString caption = Item->Caption();
    const bool cune = caption.contains(QLatin1String("Cune"));
    if (caption.startsWith(QLatin1String("Spot")) && !cune)
        SpotListView->Canvas()->Brush->Color = ApplyCuneCheckBox->Checked() ? clSilver : clSkyBlue;
    else if (cune)
        SpotListView->Canvas()->Brush->Color = clSkyBlue;
}

void TForm1::SpotListViewDblClick(TObject* Sender)
{
    TListItem* item = SpotListView->Selected();
    if (!item) return;
    const QString caption = item->Caption();
    if (IsCuneCaption(caption)) {
        if (CuneForm) CuneForm->Show();
        return;
    }
    if (caption.left(4) != QLatin1String("Spot")) {
        OpenSubstanceRecord(caption);
        return;
    }
    const int n = StrToInt(caption.mid(4, 10));
    // A hand-edited file may name a spot that is not in the list.
    if (n < 1 || n > int(Spots.size())) return;
    FillSpotDialog(n);
    if (!InputSpotValuesForm) return;
    InputSpotValuesForm->SpotNumberLabel->SetCaption(QString::number(n));
    InputSpotValuesForm->SetCaption(QStringLiteral("Edit Spot Value"));
    InputSpotValuesForm->Show();
}

void TForm1::SpotListViewChange(TObject* Sender, TListItem* Item, TItemChange Change)
{
    UpdateSpotMenuItems();
}

void TForm1::SpotListViewColumnClick(TObject* Sender, TListColumn* Column)
{
    SortColumn = Column->Index();
    MatchAllSpots();
}

void TForm1::PopUpViewSubstanceClick(TObject* Sender)
{
    if (SpotListView->Items()->Count() > 0) SpotListViewDblClick(Sender);
}

void TForm1::PopUpViewLichensClick(TObject* Sender)
{
    if (SpotListView->Items()->Count() > 0) ViewLichensButtonClick(Sender);
}

void TForm1::PopUpSortbyMatchClick(TObject* Sender)
{
    SortColumn = 100;
    if (SpotListView->Items()->Count() > 0) MatchAllSpots();
}

void TForm1::PopUpClearAllEntriesClick(TObject* Sender) { MainMenuNewClick(Sender); }

void TForm1::MainMenuNewClick(TObject* Sender)
{
    if (!MayClearSpots()) return;
    ClearSpotList();
    Spots.clear();
    UpdateSpotMenuItems();
    ViewLichensButton->SetEnabled(false);
}

void TForm1::NewIconClick(TObject* Sender) { MainMenuNewClick(Sender); }

// ---------------------------------------------------------------- spot files

void TForm1::LoadSpotsFromText(QString text)
{
    Spots = ParseSpotFileText(text);
    SortColumn = 100;
    MatchAllSpots();
}

void TForm1::MainMenuOpenSpotFileClick(TObject* Sender)
{
    // Unsaved spots are not replaced without asking, as New does. Declining
    // leaves the sort order and the button as a cancelled file choice does.
    SortColumn = 100;
    if (!MayClearSpots()) {
        ViewLichensButton->SetEnabled(true);
        return;
    }
    OpenDialog1->Filter = SpotFileFilter;
    OpenDialog1->DefaultExt = QStringLiteral("spot");
    OpenDialog1->FileName = QStringLiteral("*.spot");
    if (OpenDialog1->Execute()) {
        const QString name = OpenDialog1->FileName;
        QFile probe(name);
        if (!probe.open(QIODevice::ReadOnly)) {
            ReadUtf8File(name);   // reports the file; the current spots stay
        } else {
            probe.close();
            LoadSpotsFromText(ReadUtf8File(name));
        }
    }
    ViewLichensButton->SetEnabled(true);
}

void TForm1::LoadIconClick(TObject* Sender) { MainMenuOpenSpotFileClick(Sender); }

void TForm1::MainMenuSaveSpotFileClick(TObject* Sender)
{
    if (Spots.empty()) {
        ShowMessage(QStringLiteral("No spots to save"));
        return;
    }
    SaveDialog1->Filter = SpotFileFilter;
    SaveDialog1->DefaultExt = QStringLiteral("spot");
    if (!SaveDialog1->Execute()) return;
    // Only a written file makes the spots saved; a failed write keeps them unsaved.
    if (!WriteSpotFile(SaveDialog1->FileName, Spots)) return;
    SpotsSaved = true;
    SaveIcon->SetEnabled(false);
}

void TForm1::SaveIconClick(TObject* Sender) { MainMenuSaveSpotFileClick(Sender); }

void TForm1::ExportData1Click(TObject* Sender)
{
    SaveDialog1->Filter = CsvFileFilter;
    SaveDialog1->DefaultExt = QStringLiteral("csv");
    if (!SaveDialog1->Execute()) return;
    std::vector<TCsvRow> rows;
    for (int i = 0; i < SpotListView->Items()->Count(); ++i) {
        TListItem* item = SpotListView->Items()->Item(i);
        TCsvRow row;
        row.Caption = item->Caption();
        for (int k = 0; k < 19; ++k)
            row.Cells << (k < item->SubItems()->Count() ? item->SubItems()->Strings(k) : QString());
        rows.push_back(row);
    }
    const QString name = SaveDialog1->FileName;
    if (WriteUtf8File(name, SpotCsvText(rows).toUtf8(), true))
        ShowMessage(QFileInfo(name).fileName() + QStringLiteral(" Saved"));
}

void TForm1::MainMenuOpenFullFileClick(TObject* Sender)
{
    // Declining the question leaves what a cancelled file choice leaves.
    SortColumn = 100;
    if (!MayClearSpots()) return;
    OpenDialog1->Filter = FullFileFilter;
    OpenDialog1->DefaultExt = QStringLiteral("ful");
    OpenDialog1->FileName = QStringLiteral("*.ful");
    if (!OpenDialog1->Execute()) return;
    const TFullFileParts parts = SplitFullFileText(ReadUtf8File(OpenDialog1->FileName));
    LoadSpotsFromText(parts.SpotText);
    ParseSearchConfig(parts.SearchConfigText);
    SearchConfigFileName = QStringLiteral("Not Saved");
    if (SearchConfigForm) SearchConfigForm->Save1->SetEnabled(false);
    SaveIcon->SetEnabled(false);
    SaveAllIcon->SetEnabled(false);
    ViewLichensButton->SetEnabled(true);
}

void TForm1::LoadAllIconClick(TObject* Sender) { MainMenuOpenFullFileClick(Sender); }

void TForm1::MainMenuSaveFullFileClick(TObject* Sender)
{
    SaveDialog1->Filter = FullFileFilter;
    SaveDialog1->DefaultExt = QStringLiteral("ful");
    if (!SaveDialog1->Execute()) return;
    if (!WriteUnicodeFile(SaveDialog1->FileName, FullFileText(Spots, SearchConfigToText()))) return;
    SpotsSaved = true;
    SaveIcon->SetEnabled(false);
    SaveAllIcon->SetEnabled(false);
}

void TForm1::SaveAllIconClick(TObject* Sender) { MainMenuSaveFullFileClick(Sender); }

// ---------------------------------------------------------------- lichen search

void TForm1::ViewLichensButtonClick(TObject* Sender)
{
    TListBox* list = LichenMatchesForm->LichenListBox;
    list->Clear();
    const std::vector<TListItem*> selected = SpotListView->SelectedItems();
    if (selected.empty()) {
        ShowMessage(QStringLiteral("No substances selected"));
        return;
    }
    list->Items()->Add(QStringLiteral("Substances:"));
    QStringList names;
    for (TListItem* item : selected) {
        const QString n = item->Caption();
        if (IsCuneCaption(n)) {
            if (CuneForm) CuneForm->Show();
            return;
        }
        if (IsSpotCaption(n)) {
            OpenSubstanceRecord(n);
            return;
        }
        names << n;
        list->Items()->Add(n);
    }
    list->Items()->Add(QString());
    list->Items()->Add(QStringLiteral("Lichens:"));
    const bool exact = LichenMatchesForm->MatchRadio->ItemIndex() == 0;
    for (const QString& lichen : FindLichensContainingAll(names, exact))
        list->Items()->Add(lichen);
    LichenMatchesForm->Show();
}

void TForm1::SpotListViewSelectItem(TObject* Sender, TListItem* Item, bool Selected)
{
    QStringList names;
    for (TListItem* item : SpotListView->SelectedItems()) {
        const QString n = item->Caption();
        if (IsCuneCaption(n) || IsSpotCaption(n)) return;
        names << n;
    }
    if (names.isEmpty()) return;
    const int count = int(FindLichensContainingAll(names, false).size());
    ViewLichensButton->SetCaption(QString::number(count) + QStringLiteral(" Lichens"));
}

void TForm1::Hint(TObject* Sender, TShiftState Shift, int X, int Y)
{
    if (SpotListView->Items()->Count() == 0 || !HintForm) return;
    // The row actually under the mouse (X, Y in the list's row area).
    TListItem* item = X > 250 ? nullptr : SpotListView->GetItemAt(X, Y);
    if (!item || IsSpotCaption(item->Caption()) || IsCuneCaption(item->Caption())) {
        HintForm->Hide();
        return;
    }
    const int n = CountLichensContaining(item->Caption());
    // Placed from where the pointer is on the screen (so the window frame,
    // the menu bar and the list's header are counted): 30 pixels in from the
    // list's left edge and 20 pixels below the pointer, never under it, so
    // the row keeps its clicks.
    const QPoint pointer = SpotListView->ClientToScreen(QPoint(X, Y));
    const QPoint listOrigin = SpotListView->ClientToScreen(QPoint(0, 0));
    HintForm->SetBounds(listOrigin.x() + 30, pointer.y() + 20, HintForm->Width(), HintForm->Height());
    HintForm->Panel->SetCaption(QString::number(n) + QStringLiteral(" Lichen") + (n > 1 ? QStringLiteral("s") : QString()));
    if (!HintForm->Visible()) HintForm->Show();
}

void TForm1::HintLeave(TObject* Sender)
{
    // The hint belongs to the row under the pointer; off the list it would
    // only cover the spot captions.
    if (HintForm) HintForm->Hide();
}

void TForm1::AllLichensButtonClick(TObject* Sender)
{
    ShowWait(QStringLiteral("Wait..."), this);
    TWaitGuard hideWait;
    TListBox* list = LichenMatchesForm->LichenListBox;
    list->Clear();
    const int r = SpotListView->Items()->Count();
    if (r < 2) {
        ShowMessage(QStringLiteral("Not enough substances"));
        return;
    }
    for (int i = 0; i <= r - 2; ++i) {
        WaitForm->ProgressBar1->SetPosition(i * 150 / r);
        const QString a = SpotListView->Items()->Item(i)->Caption();
        if (IsSpotCaption(a)) continue;
        for (int j = i + 1; j <= r - 1; ++j) {
            const QString b = SpotListView->Items()->Item(j)->Caption();
            if (IsSpotCaption(b)) continue;
            const QStringList lichens = FindLichensContainingAll({a, b}, false);
            if (lichens.isEmpty()) continue;
            list->Items()->Add(QStringLiteral("Substances:"));
            list->Items()->Add(a);
            list->Items()->Add(b);
            list->Items()->Add(QStringLiteral("Lichens:"));
            for (const QString& lichen : lichens)
                list->Items()->Add(lichen);
            list->Items()->Add(QString());
        }
    }
    LichenMatchesForm->Show();
}

// ---------------------------------------------------------------- matching options

void TForm1::MatchingMethodRadioGroupClick(TObject* Sender)
{
    SortColumn = 100;
    const int m = MatchingMethodRadioGroup->ItemIndex();
    if (SearchConfigForm) {
        SearchConfigForm->MatchingMethodRadioGroup->SetItemIndex(m);
        MatchingUpDown->SetPosition(ThresholdPositionOf(
            m != 0 ? SearchConfigForm->CorrelationFactorEdit->Text() : SearchConfigForm->RFErrorEdit->Text()));
    }
    MatchingUpDown->SetHint(QString::number(MatchingUpDown->Position()));
    MatchingValueLabel->SetCaption(QString::number(MatchingUpDown->Position()));
    MatchAllSpots();
}

void TForm1::MatchingUpDownClick(TObject* Sender, TUDBtnType Button)
{
    const QString position = QString::number(MatchingUpDown->Position());
    if (SearchConfigForm) {
        if (SearchConfigForm->MatchingMethodRadioGroup->ItemIndex() != 0)
            SearchConfigForm->CorrelationFactorEdit->SetText(position);
        else
            SearchConfigForm->RFErrorEdit->SetText(position);
    }
    MatchingUpDown->SetHint(position);
    MatchingValueLabel->SetCaption(position);
    MatchAllSpots();
}

void TForm1::UseUVCheckboxClick(TObject* Sender)
{
    const bool on = UseUVCheckbox->Checked();
    SpotListView->Columns()->Items(9)->SetCaption(on ? QStringLiteral("Visible") : QStringLiteral("(Vis)"));
    SpotListView->Columns()->Items(10)->SetCaption(on ? QStringLiteral("UV Short") : QStringLiteral("(UVShrt)"));
    if (SearchConfigForm) SearchConfigForm->UseUVCheckbox->SetChecked(on);
}

void TForm1::UseTLCCheckboxClick(TObject* Sender)
{
    const bool on = UseTLCCheckbox->Checked();
    const char* captions[] = {"UV Long", "Visible", "Visible", "UV Long"};
    for (int i = 0; i < 4; ++i) {
        const QString c = QString::fromLatin1(captions[i]);
        SpotListView->Columns()->Items(11 + i)->SetCaption(on ? c : QStringLiteral("(") + c + QStringLiteral(")"));
    }
    if (SearchConfigForm) SearchConfigForm->UseTLCCheckbox->SetChecked(on);
}

void TForm1::UseThallusCheckboxClick(TObject* Sender)
{
    const bool on = UseThallusCheckbox->Checked();
    if (SearchConfigForm) SearchConfigForm->UseThallusCheckbox->SetChecked(on);
    for (TLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6})
        label->SetEnabled(on);
}

void TForm1::ApplyCuneCheckBoxClick(TObject* Sender)
{
    if (CuneControls.empty() && CuneForm) CuneForm->Show();
    MatchAllSpots();
}

void TForm1::CunePanelDblClick(TObject* Sender)
{
    if (CuneForm) CuneForm->Show();
}

void TForm1::SearchPanelDblClick(TObject* Sender)
{
    if (SearchConfigForm) SearchConfigForm->Show();
}

void TForm1::SearchFileDblClick(TObject* Sender) { SearchPanelDblClick(Sender); }

void TForm1::FilterGenusCheckBoxClick(TObject* Sender)
{
    if (FilterGenusCheckBox->Checked()) {
        if (GenusForm->GenusListBox->Items()->Count() == 0) FillGenusList();
        GenusForm->Show();
        return;
    }
    GenusLabel->SetCaption(QString());
    MatchAllSpots();
}

void TForm1::GenusLabelDblClick(TObject* Sender)
{
    FilterGenusCheckBox->SetChecked(true);
    if (GenusForm->GenusListBox->Items()->Count() == 0) FillGenusList();
    GenusForm->Show();
}

void TForm1::FilterGroupCheckBoxClick(TObject* Sender)
{
    if (FilterGroupCheckBox->Checked()) {
        if (GroupForm->GroupListBox->Items()->Count() == 0) FillGroupList();
        GroupForm->Show();
        return;
    }
    GroupLabel->SetCaption(QString());
    MatchAllSpots();
}

void TForm1::GroupLabelDblClick(TObject* Sender)
{
    FilterGroupCheckBox->SetChecked(true);
    if (GroupForm->GroupListBox->Items()->Count() == 0) FillGroupList();
    GroupForm->Show();
    MatchAllSpots();
}
