// A picture of every window as the program builds it, saved into the build
// folder ("screenshots/window_<Name>.png") for a person to look at; the
// pictures are artefacts, not checks.
#include "all_windows_kit.h"
#include "support/ScriptedDialogs.h"

#include "core/FormMapping.h"
#include "substances/ViewRecord.h"

#include <QFileInfo>

class Screenshots : public AllWindows {};

TEST_F(Screenshots, EveryWindow)
{
    // Something to show: a spot with its substances, a record with a
    // comparison window beside it.
    MatchOneSpot();
    ShowSubstanceRecord(QStringLiteral("Atranorin"));
    ViewRecordForm->BioRelatedListBox->SetItemIndex(0);
    ViewRecordForm->Compare1->Click();
    std::vector<TForm*> windows = Windows();
    if (TForm* compare = FindFormByName(QStringLiteral("Compare1"))) windows.push_back(compare);

    for (TForm* form : windows) {
        const bool wasShowing = form->Showing();
        form->Show();
        QApplication::processEvents();
        const QString path = SaveScreenshot(form, QStringLiteral("window_") + form->Name);
        EXPECT_GT(QFileInfo(path).size(), 0) << path.toStdString();
        if (!wasShowing) form->Hide();
    }
}
