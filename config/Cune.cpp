#include "config/Cune.h"
#include "config/ToolBarPictures.h"
#include "core/FormMapping.h"
#include "core/MainWindow.h"
#include "core/Queries.h"
#include "core/RecordText.h"
#include "framework/Text.h"
#include "identify/RFCalculator.h"
#include "substances/RecordList.h"

TCuneForm* CuneForm = nullptr;
TCuneControls CuneControls;

namespace {

const QString AddCaption = QStringLiteral("Add to table");
const QString ReplaceCaption = QStringLiteral("Replace");

void Rematch()
{
    if (!Form1)
        return;
    try {
        Form1->MatchAllSpots();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
}

void SetCuneLabel(const QString& caption, bool centred)
{
    if (!Form1)
        return;
    Form1->CuneLabel->SetCaption(caption);
    if (centred)
        Form1->CuneLabel->SetAlignment(taCenter);
}

bool AwaitingLocalValues() { return CuneControls.size() % 2 == 1; }

void RefuseWhileAwaiting()
{
    ShowMessage(QStringLiteral("Please enter the local values of %1 first.")
                    .arg(CuneControls.back().name));
}

} // namespace

TCuneForm::TCuneForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("CuneForm");
    Tag = 5;
    SetCaption(QStringLiteral("Cune Values"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    Font()->SetName(QStringLiteral("MS Sans Serif"));
    SetClientWidth(702);
    SetClientHeight(474);

    CuneListView = new TListView(this, this);
    CuneListView->Name = QStringLiteral("CuneListView");
    CuneListView->SetBounds(8, 36, 686, 290);
    CuneListView->ViewStyle = vsReport;
    CuneListView->RowSelect = true;
    CuneListView->SetHint(QStringLiteral("Double click or right click to edit"));
    CuneListView->SetShowHint(true);
    {
        TListColumn* c = CuneListView->Columns()->Add();
        c->SetCaption(QStringLiteral("Cuning Controls"));
        c->SetWidth(250);
        for (const char* caption : {"A", "B", "B'", "C", "E", "F", "G", "HPLC"}) {
            c = CuneListView->Columns()->Add();
            c->SetCaption(QString::fromUtf8(caption));
            c->SetWidth(50);
        }
    }

    ToolBar1 = new TToolBar(this, this);
    ToolBar1->Name = QStringLiteral("ToolBar1");
    ToolBar1->SetBounds(0, 0, 702, 29);
    SetToolBarPictures(this, ToolBar1);
    LoadCuneIcon = MakeToolButton(this, ToolBar1, QStringLiteral("LoadCuneIcon"), tpOpen,
                                  QStringLiteral("Open Cune File"));
    SaveCuneIcon = MakeToolButton(this, ToolBar1, QStringLiteral("SaveCuneIcon"), tpSave,
                                  QStringLiteral("Save Cune File"));
    ToolButton3 = new TToolButton(this, ToolBar1);
    ToolButton3->Name = QStringLiteral("ToolButton3");
    ToolButton3->SetStyle(tbsSeparator);
    AddCuneIcon = MakeToolButton(this, ToolBar1, QStringLiteral("AddCuneIcon"), tpNew,
                                 QStringLiteral("Add New Control"));
    DeleteCuneIcon = MakeToolButton(this, ToolBar1, QStringLiteral("DeleteCuneIcon"), tpDelete,
                                    QStringLiteral("Delete Selected Control"));

    AddValuesPanel = new TPanel(this, this);
    AddValuesPanel->Name = QStringLiteral("AddValuesPanel");
    AddValuesPanel->SetBounds(8, 334, 686, 80);
    AddValuesPanel->SetBevelOuter(bvLowered);
    {
        const char* captions[] = {"A", "B", "B'", "C", "E", "F", "G", "HPLC"};
        TLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8};
        TEdit** edits[] = {&AEdit, &BEdit, &BprimeEdit, &CEdit, &EEdit, &FEdit, &GEdit, &HPLCEdit};
        const char* editNames[] = {"AEdit", "BEdit", "BprimeEdit", "CEdit", "EEdit", "FEdit", "GEdit", "HPLCEdit"};
        for (int i = 0; i < 8; ++i) {
            const int left = 12 + 62 * i;
            TLabel* l = new TLabel(this, AddValuesPanel);
            l->Name = QStringLiteral("Label%1").arg(i + 1);
            l->SetBounds(left, 10, 50, 16);
            l->Font()->SetBold(true);
            l->SetCaption(QString::fromUtf8(captions[i]));
            *labels[i] = l;
            TEdit* e = new TEdit(this, AddValuesPanel);
            e->Name = QString::fromUtf8(editNames[i]);
            e->Tag = i + 1;
            e->SetBounds(left, 32, 50, 22);
            e->OnDblClick = Bind(this, &TCuneForm::AEditDblClick);
            *edits[i] = e;
        }
    }
    AddButton = new TButton(this, AddValuesPanel);
    AddButton->Name = QStringLiteral("AddButton");
    AddButton->SetBounds(530, 28, 140, 28);
    AddButton->SetCaption(AddCaption);
    AddButton->SetHint(QStringLiteral("Add the values into the table above."));
    AddButton->SetShowHint(true);

    AcceptButton = new TButton(this, this);
    AcceptButton->Name = QStringLiteral("AcceptButton");
    AcceptButton->SetBounds(220, 430, 100, 30);
    AcceptButton->SetCaption(QStringLiteral("Accept"));
    AcceptButton->SetHint(QStringLiteral("Accept the Cune table"));
    AcceptButton->SetShowHint(true);
    CancelButton = new TButton(this, this);
    CancelButton->Name = QStringLiteral("CancelButton");
    CancelButton->SetBounds(382, 430, 100, 30);
    CancelButton->SetCaption(QStringLiteral("Cancel"));
    CancelButton->SetCancel(true);

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->Name = QStringLiteral("PopupMenu1");
    Edit1 = new TMenuItem(this, PopupMenu1);
    Edit1->Name = QStringLiteral("Edit1");
    Edit1->SetCaption(QStringLiteral("Edit"));
    Delete1 = new TMenuItem(this, PopupMenu1);
    Delete1->Name = QStringLiteral("Delete1");
    Delete1->SetCaption(QStringLiteral("Delete"));
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Name = QStringLiteral("OpenDialog1");
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Name = QStringLiteral("SaveDialog1");
    MainMenu1 = new TMainMenu(this);
    MainMenu1->Name = QStringLiteral("MainMenu1");

    OnShow = Bind(this, &TCuneForm::FormShow);
    AddCuneIcon->OnClick = Bind(this, &TCuneForm::AddCuneIconClick);
    AddButton->OnClick = Bind(this, &TCuneForm::AddButtonClick);
    CuneListView->OnDblClick = Bind(this, &TCuneForm::CuneListViewDblClick);
    Edit1->OnClick = Bind(this, &TCuneForm::Edit1Click);
    Delete1->OnClick = Bind(this, &TCuneForm::Delete1Click);
    DeleteCuneIcon->OnClick = Bind(this, &TCuneForm::DeleteCuneIconClick);
    CuneListView->OnMouseUp = Bind(this, &TCuneForm::CuneListViewContextPopup);
    CuneListView->OnChange = Bind(this, &TCuneForm::CuneListViewChange);
    CuneListView->OnSelectItem = Bind(this, &TCuneForm::CuneListViewSelectItem);
    CuneListView->OnClick = Bind(this, &TCuneForm::CuneListViewClick);
    AcceptButton->OnClick = Bind(this, &TCuneForm::AcceptButtonClick);
    CancelButton->OnClick = Bind(this, &TCuneForm::CancelButtonClick);
    LoadCuneIcon->OnClick = Bind(this, &TCuneForm::LoadCuneIconClick);
    SaveCuneIcon->OnClick = Bind(this, &TCuneForm::SaveCuneIconClick);

    SetPosition(poMainFormCenter);
    EnableAddValuesPanel(true);
    UpdateAcceptEnabled();
    DeleteCuneIcon->SetEnabled(false);
}

std::array<TEdit*, 8> TCuneForm::ValueEdits() const
{
    return {AEdit, BEdit, BprimeEdit, CEdit, EEdit, FEdit, GEdit, HPLCEdit};
}

void TCuneForm::UpdateAcceptEnabled()
{
    // Only whole pairs can be accepted or kept in a file.
    const bool complete = IsCompleteCuneList(CuneControls);
    AcceptButton->SetEnabled(complete);
    SaveCuneIcon->SetEnabled(complete);
}

void TCuneForm::FormShow(TObject*)
{
    if (CuneListView->Items()->Count() == 0) {
        EnableAddValuesPanel(false);
        AcceptButton->SetEnabled(false);
        SaveCuneIcon->SetEnabled(false);
        DeleteCuneIcon->SetEnabled(false);
    }
}

void TCuneForm::AddCuneIconClick(TObject*)
{
    if (AwaitingLocalValues()) {
        RefuseWhileAwaiting();
        return;
    }
    PickCuneControlFromSubstanceList();
    if (Form1) {
        Form1->ApplyCuneCheckBox->SetEnabled(true);
        SetCuneLabel(QStringLiteral("(Not saved)"), false);
    }
}

void TCuneForm::AddButtonClick(TObject*)
{
    TSubstanceRecord record;
    if (AddButton->Caption() == ReplaceCaption) {
        const int index = ReplacingIndex;
        // Only the local record that Edit opened is replaced.
        if (index < 0 || index >= int(CuneControls.size()) || index % 2 == 0)
            return;
        record.name = CuneControls[index].name;
        for (int t = 1; t <= 8; ++t)
            ReadControlByTag(this, t, record);
        for (int t = 1; t <= 8; ++t)
            SetControlByTag(this, t, QString());
        CuneControls[index] = record;
    } else {
        // Local values belong to a control whose published record is last.
        if (!AwaitingLocalValues()) {
            ShowMessage(QStringLiteral("Please add a control substance first."));
            return;
        }
        record.name = CuneControls.back().name;
        for (int t = 1; t <= 8; ++t)
            ReadControlByTag(this, t, record);
        for (int t = 1; t <= 8; ++t)
            SetControlByTag(this, t, QString());
        CuneControls.push_back(record);
    }
    RefillCuneList();
    // Still open for a last control that waits for its local values.
    EnableAddValuesPanel(AwaitingLocalValues());
    AddButton->SetCaption(AddCaption);
    ReplacingIndex = -1;
}

void TCuneForm::CuneListViewDblClick(TObject* Sender) { Edit1Click(Sender); }

void TCuneForm::Edit1Click(TObject*)
{
    TListItem* item = CuneListView->Selected();
    if (!item)
        return;
    const int index = item->Index();
    if (index < 0 || index >= int(CuneControls.size()))
        return;
    if (index % 2 == 0) {
        ShowMessage(QStringLiteral("Cannot edit Published Values here"));
        return;
    }
    for (int t = 1; t <= 8; ++t)
        SetControlByTag(this, t, CuneControls[index].Field(t));
    AddButton->SetCaption(ReplaceCaption);
    ReplacingIndex = index;
    EnableAddValuesPanel(true);
}

void TCuneForm::Delete1Click(TObject*)
{
    TListItem* item = CuneListView->Selected();
    if (!item)
        return;
    const int selected = item->Index();
    if (selected < 0 || selected >= int(CuneControls.size()))
        return;
    const int p = selected - selected % 2;
    const int count = p + 1 < int(CuneControls.size()) ? 2 : 1;
    CuneControls.erase(CuneControls.begin() + p, CuneControls.begin() + p + count);
    // Positions moved: a replace in progress has lost its row.
    if (ReplacingIndex >= 0) {
        ReplacingIndex = -1;
        AddButton->SetCaption(AddCaption);
        for (int t = 1; t <= 8; ++t)
            SetControlByTag(this, t, QString());
    }
    if (!AwaitingLocalValues())
        EnableAddValuesPanel(false);
    if (CuneControls.empty() && Form1)
        Form1->ApplyCuneCheckBox->SetChecked(false);
    RefillCuneList();
}

void TCuneForm::DeleteCuneIconClick(TObject* Sender) { Delete1Click(Sender); }

void TCuneForm::CuneListViewContextPopup(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    if (Button != mbRight || !CuneListView->Selected())
        return;
    // X, Y are in the rows' area, below the header and inside the frame.
    const QPoint at = CuneListView->ClientToScreen(QPoint(X, Y));
    PopupMenu1->Popup(at.x(), at.y());
}

void TCuneForm::CuneListViewChange(TObject*, TListItem*, TItemChange) { UpdateAcceptEnabled(); }

void TCuneForm::CuneListViewSelectItem(TObject*, TListItem*, bool)
{
    DeleteCuneIcon->SetEnabled(CuneListView->Selected() != nullptr);
}

void TCuneForm::CuneListViewClick(TObject*)
{
    if (!CuneListView->Selected())
        DeleteCuneIcon->SetEnabled(false);
}

void TCuneForm::AcceptButtonClick(TObject*)
{
    if (AwaitingLocalValues())
        ShowMessage(QStringLiteral("Last control has no local values and will be dropped"));
    Hide();
    Rematch();
    if (Form1)
        Form1->ApplyCuneCheckBox->SetChecked(true);
}

void TCuneForm::CancelButtonClick(TObject*)
{
    if (CuneControls.empty() && Form1) {
        Form1->ApplyCuneCheckBox->SetChecked(false);
        SetCuneLabel(QString(), false);
    }
    Hide();
}

void TCuneForm::LoadCuneIconClick(TObject*)
{
    OpenDialog1->Filter = QStringLiteral("Cune Files (*.cune)|*.cune");
    OpenDialog1->DefaultExt = QStringLiteral("cune");
    OpenDialog1->FileName = QStringLiteral("*.cune");
    if (!OpenDialog1->Execute())
        return;
    const QString path = OpenDialog1->FileName;
    const TCuneLoad load = ReadCuneFile(path);
    if (!load.Ok) {
        // The list stays as it was.
        if (!load.Message.isEmpty())
            ShowMessage(load.Message);
        return;
    }
    CuneControls = load.Controls;
    ReplacingIndex = -1;
    AddButton->SetCaption(AddCaption);
    RefillCuneList();
    Show();
    EnableAddValuesPanel(false);
    if (Form1) {
        Form1->ApplyCuneCheckBox->SetEnabled(true);
        SetCuneLabel(CuneDisplayName(path), true);
    }
}

void TCuneForm::SaveCuneIconClick(TObject*)
{
    if (!IsCompleteCuneList(CuneControls))
        return;
    SaveDialog1->Filter = QStringLiteral("cune files (*.cune)|*.cune");
    SaveDialog1->DefaultExt = QStringLiteral("cune");
    if (!SaveDialog1->Execute())
        return;
    const QString path = SaveDialog1->FileName;
    if (WriteCuneFile(path, CuneControls))
        SetCuneLabel(CuneDisplayName(path), true);
}

void TCuneForm::AEditDblClick(TObject* Sender)
{
    auto* edit = dynamic_cast<TEdit*>(Sender);
    if (!edit || edit->Tag < 1 || edit->Tag > 8 || !RFForm)
        return;
    RFFormOpener = QStringLiteral("CuneForm");
    RFForm->Button1->SetCaption(QStringLiteral("Paste ") + ColumnNames[edit->Tag]);
    RFForm->SpotEdit->SetText(QString());
    RFForm->SolventFrontEdit->SetText(QString());
    RFForm->RFEdit->SetText(QString());
    RFForm->Show();
}

// ---------------------------------------------------------------- operations

void AddCuneControl(const QString& name)
{
    if (AwaitingLocalValues()) {
        RefuseWhileAwaiting();
        return;
    }
    EnableAddValuesPanel(true);
    SelectSubstanceByName(name);
    TSubstanceRecord record = ReadSubstanceRow();
    if (record.name.isEmpty())
        record.name = Trim(name);
    CuneControls.push_back(record);
    if (CuneForm) {
        CuneForm->ReplacingIndex = -1;
        CuneForm->AddButton->SetCaption(AddCaption);
    }
    RefillCuneList();
}

void RefillCuneList()
{
    if (!CuneForm)
        return;
    TListView* view = CuneForm->CuneListView;
    view->Clear();
    for (size_t i = 0; i < CuneControls.size(); ++i) {
        const TSubstanceRecord& r = CuneControls[i];
        TListItem* item = view->Items()->Add();
        item->SetCaption(r.name + (i % 2 == 0 ? QStringLiteral(" - Published") : QStringLiteral(" - Local")));
        for (int f = 1; f <= 8; ++f)
            item->SubItems()->Add(r.Field(f));
    }
    CuneForm->CuneListViewChange(view, nullptr, ctText);
    CuneForm->DeleteCuneIcon->SetEnabled(view->Selected() != nullptr);
}

void EnableAddValuesPanel(bool flag)
{
    if (!CuneForm)
        return;
    for (int i = 0; i < CuneForm->ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(CuneForm->Components(i));
        if (control && control->Parent() == CuneForm->AddValuesPanel)
            control->SetEnabled(flag);
    }
}

void ParseCuneText(const QString& text)
{
    CuneControls = ParseCuneFileText(text);
    RefillCuneList();
}

void PickCuneControlFromSubstanceList()
{
    if (!RecordListForm)
        return;
    RecordListForm->SetCaption(QStringLiteral("Select Cune Control Substance"));
    RecordListForm->FillSubstanceList(QString());
    ChoosingCuneControl = true;
    RecordListForm->SearchWordLabel->Hide();
    RecordListForm->SearchWordEdit->Show();
    RecordListForm->Show();
    RecordListForm->SearchWordEdit->SetFocus();
}
