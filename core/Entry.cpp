#include "core/Entry.h"

#include "framework/Framework.h"

#include "core/MainWindow.h"
#include "core/HelpWindow.h"
#include "core/WaitWindow.h"
#include "core/HintWindow.h"
#include "core/FullScreenImage.h"
#include "identify/InputValues.h"
#include "config/SearchConfig.h"
#include "config/EditOneColor.h"
#include "substances/ViewRecord.h"
#include "substances/RecordList.h"
#include "lichens/LichenMatches.h"
#include "update/UpdateForm.h"
#include "config/Cune.h"
#include "identify/RFCalculator.h"
#include "lichens/LichenList.h"
#include "lichens/OneLichen.h"
#include "identify/GenusList.h"
#include "identify/GroupList.h"
#include "substances/SubstanceImage.h"

#include <functional>
#include <vector>

namespace {

// How to clear each created window's global again.
std::vector<std::function<void()>>& Resetters()
{
    static std::vector<std::function<void()>> list;
    return list;
}

template <class T> void Create(T*& ref)
{
    Resetters().push_back([&ref] { ref = nullptr; });
    Application->CreateForm(ref);
}

} // namespace

void CreateAllForms()
{
    // The order matters: the search configuration window (third) loads the
    // colour names every later window fills its lists from, and the update
    // window checks the database only after the main window has migrated it.
    Create(Form1);
    Create(InputSpotValuesForm);
    Create(SearchConfigForm);
    Create(EditOneColorForm);
    Create(ViewRecordForm);
    Create(RecordListForm);
    Create(HelpForm);
    Create(LichenMatchesForm);
    Create(WaitForm);
    Create(UpdateForm);
    Create(CuneForm);
    Create(RFForm);
    Create(LichenListForm);
    Create(OneLichenForm);
    Create(GenusForm);
    Create(HintForm);
    Create(GroupForm);
    Create(SubstanceImageForm);
    Create(FullScreenImageForm);
}

void DestroyAllForms()
{
    Application->FreeReleased();
    // Last created first, so no window outlives one it was built after.
    while (Application->ComponentCount() > 0)
        delete Application->Components(Application->ComponentCount() - 1);
    for (auto& reset : Resetters()) reset();
    Resetters().clear();
    Application->ResetForTests();
}

int RunProgram()
{
    Application->Initialize();
    Application->MainFormOnTaskBar = true;
    Application->SetTitle("Quillaspore");
    try {
        CreateAllForms();
    } catch (const EHalt& halt) {
        return halt.ExitCode;
    } catch (const Exception& e) {
        Application->ShowException(e);
        return 1;
    } catch (const std::exception&) {
        Application->ShowException(Exception(QString()));
        return 1;
    }
    Application->Run();
    return 0;
}
