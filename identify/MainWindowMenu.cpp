// The main window's menu commands, the About box and the quit sequence.
#include "core/MainWindow.h"

#include "config/Cune.h"
#include "config/SearchConfig.h"
#include "config/SearchConfigFile.h"
#include "core/HelpWindow.h"
#include "core/Queries.h"
#include "core/RecordText.h"
#include "framework/Text.h"
#include "identify/RFCalculator.h"
#include "update/UpdateDates.h"

namespace {

const QString Crlf = QStringLiteral("\r\n");

QString DataDateText(const QByteArray& date)
{
    const QString unknown = QStringLiteral("Unknown");
    bool ok = false;
    const long long seconds = QString::fromLatin1(date).trimmed().toLongLong(&ok);
    // A date never recorded is not shown as the first day of 1970, nor is a
    // damaged one read from "UpdateDates.txt" shown as some other day.
    if (!ok || seconds <= 0) return unknown;
    const QString text = FormatDateMmmDYyyy(seconds, QLocale::system());
    return text.isEmpty() ? unknown : text;
}

const QString CreditsText = QStringLiteral(
    "Quillaspore ranks lichen substances against the spots of a thin-layer chromatography "
    "plate and lists the lichens that contain the substances chosen.\r\n"
    "\r\n"
    "The standardized Rf values, spot colours and solvent systems follow the standardized "
    "TLC method for lichen products of C. F. Culberson and co-workers and the handbook "
    "\"Microchemical Methods for the Identification of Lichens\" by A. Orange, P. W. James "
    "and F. J. White.\r\n"
    "\r\n"
    "Lichen occurrence data, glossary images and lichen photographs come from the lichen "
    "data portal and its contributors; please cite them when you publish results.\r\n");

} // namespace

void TForm1::MainMenuSearchConfigurationClick(TObject* Sender)
{
    if (SearchConfigForm) SearchConfigForm->Show();
}

void TForm1::MainMenuTLCRFClick(TObject* Sender)
{
    if (RFForm) RFForm->Show();
}

void TForm1::MainMenuCuneClick(TObject* Sender)
{
    if (CuneForm) CuneForm->Show();
}

void TForm1::MainMenuHelpClick(TObject* Sender)
{
    if (!HelpForm) return;
    HelpForm->Show();
    HelpForm->WebBrowser->Navigate(HelpContentsPage());
}

void TForm1::MainMenuAboutClick(TObject* Sender)
{
    const QString text = QStringLiteral("Program Version ") + ProgramVersion + Crlf
                         + QStringLiteral("Lichen Data:     ") + DataDateText(LichenDataDate) + Crlf
                         + QStringLiteral("Substance Data:  ") + DataDateText(SubstanceDataDate) + Crlf + Crlf
                         + CreditsText;
    MessageDlg(text, TMsgDlgType::mtInformation, mbOK);
}

void TForm1::MainMenuQuitClick(TObject* Sender)
{
    // Written before any question, so it is current even when the user stays.
    WriteCurrentSearchFile(SearchConfigFileName, MatchingMethodRadioGroup->ItemIndex());
    if (!SpotsSaved
        && MessageDlg(QStringLiteral("Spot data not saved.  Really quit?"), TMsgDlgType::mtInformation,
                      mbOK | mbCancel) == mrCancel)
        return;
    if (!SearchConfigSaved
        && MessageDlg(QStringLiteral("Search Configuration not saved.  Really quit?"), TMsgDlgType::mtInformation,
                      mbOK | mbCancel) == mrCancel)
        return;
    Halt(0);
}

void TForm1::FormClose(TObject* Sender, TCloseAction& Action)
{
    Action = caNone;
    MainMenuQuitClick(Sender);
}

void TForm1::ReadLIASFile1Click(TObject* Sender)
{
    ShowMessage(QStringLiteral("In ReadLIASFile1Click.  Shouldn't be here."));
}

void TForm1::Button3Click(TObject* Sender)
{
    QStringList names;
    RunQuery(QStringLiteral("SELECT Related FROM Substances WHERE 1"));
    TSQLQuery& q = MainQuery();
    while (!q.Eof()) {
        QString related = q.FieldByName(QStringLiteral("Related")).AsString();
        while (related.size() >= 6)
            names << SplitOff(related, QStringLiteral(", "), true);
        q.Next();
    }
    QString text;
    for (const QString& name : names) {
        SelectSubstanceByName(name);
        if (MainQuery().Eof()) text += name + Crlf;
    }
    WriteUtf8File(QStringLiteral("BioRel.txt"), text.toUtf8(), true);
}

void TForm1::Button2Click(TObject* Sender) {}
