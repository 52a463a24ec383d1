// Main-window commands that open the substance list, the substance record,
// the lichen list and the data update. Their menu items are created when
// these windows join the program.
#include "core/MainWindow.h"

#include "core/WaitWindow.h"
#include "lichens/LichenList.h"
#include "substances/RecordList.h"
#include "substances/ViewRecord.h"
#include "update/UpdateForm.h"

void TForm1::MainMenuViewSubstancesClick(TObject* Sender)
{
    ChoosingCuneControl = false;
    RecordListForm->SetCaption(QStringLiteral("Substances"));
    FillSubstanceList(QString());
}

void TForm1::MainMenuAddSubstanceClick(TObject* Sender)
{
    ViewRecordForm->Show();
    ClearRecordForm();
    ViewRecordForm->ReadOnlyCheckBox->SetChecked(false);
}

void TForm1::MainMenuViewLichensClick(TObject* Sender)
{
    LichenListForm->SearchWordEdit->SetText(QString());
    LoadLichenList();
}

void TForm1::MainMenuDownloadLIPORDataClick(TObject* Sender)
{
    if (MessageDlg(QStringLiteral("This will replace all existing Lichen data. Continue?"),
                   TMsgDlgType::mtConfirmation, mbOK | mbCancel) != mrOk)
        return;
    WaitForm->Show();
    UpdateForm->LichenUpdateButtonClick(Sender);
}

void TForm1::DownloadSubstanceData1Click(TObject* Sender)
{
    if (MessageDlg(QStringLiteral("This will replace all existing Substance data. Continue?"),
                   TMsgDlgType::mtConfirmation, mbOK | mbCancel) != mrOk)
        return;
    WaitForm->Show();
    UpdateForm->SubstanceUpdateButtonClick(Sender);
}
