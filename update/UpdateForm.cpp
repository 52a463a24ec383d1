#include "update/UpdateForm.h"

#include "core/MainWindow.h"
#include "core/Queries.h"
#include "core/Settings.h"
#include "core/WaitWindow.h"
#include "core/WebText.h"
#include "framework/NetHTTP.h"
#include "update/Glossary.h"
#include "update/LichenUpdate.h"
#include "update/SubstanceUpdate.h"
#include "update/VersionCheck.h"

TUpdateForm* UpdateForm = nullptr;

namespace {

// The wait window as the updates drive it.
class TWaitFormProgress : public IUpdateProgress {
public:
    void SetCaption(const QString& text) override
    {
        if (WaitForm) WaitForm->SetCaption(text);
    }
    void SetLabel(const QString& text) override
    {
        if (WaitForm) WaitForm->Label1->SetCaption(text);
    }
    void SetPosition(int position) override
    {
        if (WaitForm) WaitForm->ProgressBar1->SetPosition(position);
    }
    void Show() override
    {
        if (WaitForm) WaitForm->Show();
    }
    void Hide() override
    {
        if (WaitForm) WaitForm->Hide();
    }
    void ProcessMessages() override { Application->ProcessMessages(); }
};

TUpdateContext MakeContext(IUpdateProgress& progress)
{
    return TUpdateContext{MainConnection(), &HttpGetBody, progress, PortalBaseAddress};
}

TButton* MakeHiddenButton(TUpdateForm* form, const QString& name, const QString& caption,
                          int left, int width)
{
    auto* button = new TButton(form, form);
    button->Name = name;
    button->SetBounds(left, 408, width, 25);
    button->SetCaption(caption);
    button->SetVisible(false);
    return button;
}

} // namespace

TUpdateForm::TUpdateForm(TComponent* AOwner) : TForm(AOwner)
{
    Name = QStringLiteral("UpdateForm");
    Tag = -1;
    SetCaption(QStringLiteral("Downloading Data"));
    SetClientWidth(555);
    SetClientHeight(516);

    LichenUpdateButton = MakeHiddenButton(this, "LichenUpdateButton", "LIPOR Update", 240, 89);
    LichenUpdateButton->OnClick = Bind(this, &TUpdateForm::LichenUpdateButtonClick);
    SubstanceUpdateButton = MakeHiddenButton(this, "SubstanceUpdateButton", "Substance Update", 360, 105);
    SubstanceUpdateButton->OnClick = Bind(this, &TUpdateForm::SubstanceUpdateButtonClick);
    VersionCheckButton = MakeHiddenButton(this, "VersionCheckButton", "VersionCheck", 480, 89);
    VersionCheckButton->OnClick = Bind(this, &TUpdateForm::VersionCheckButtonClick);

    ImageList1 = new TImageList(this);
    ImageList1->Name = QStringLiteral("ImageList1");

    SetPosition(poMainFormCenter);

    // The substance browser and the substance update need the glossary
    // column; an older database gets it here, before any other window reads
    // the table. A failure to add it ends the start-up.
    EnsureGlossaryColumn(MainConnection());
}

TUpdateForm::~TUpdateForm() = default;

void TUpdateForm::LichenUpdateButtonClick(TObject* Sender)
{
    TWaitFormProgress progress;
    TUpdateContext context = MakeContext(progress);
    RunLichenUpdate(context);
}

void TUpdateForm::SubstanceUpdateButtonClick(TObject* Sender)
{
    TWaitFormProgress progress;
    TUpdateContext context = MakeContext(progress);
    RunSubstanceUpdate(context);
}

void TUpdateForm::VersionCheckButtonClick(TObject* Sender)
{
    TWaitFormProgress progress;
    TVersionCheckContext context{
        &HttpGetText,
        progress,
        [](int milliseconds) {
            if (TNetHTTPRequest* request = WebTextRequest())
                request->ConnectionTimeout = milliseconds;
        },
        [] { return InternetEnabled; },
        ProgramVersion,
        VersionPageAddress};
    try {
        RunVersionCheck(context);
    } catch (...) {
        // The wait window has no close box: it must not stay on screen when
        // a bad version page or date ends the check with an error report.
        progress.Hide();
        throw;
    }
}
