#include "core/FormMapping.h"

#include "core/Queries.h"
#include "core/RecordText.h"

namespace {

// Tags 0 and below carry no field: such controls are never read or set.
TComponent* FirstWithTag(TComponent* form, int tag)
{
    if (!form || tag <= 0) return nullptr;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (c && c->Tag == tag) return c;
    }
    return nullptr;
}

bool IsCheckTag(int tag) { return tag == 9 || tag == 10; }

bool IsVisibleWindow(TComponent* c)
{
    auto* control = dynamic_cast<TControl*>(c);
    return control && control->Visible();
}

int MainCentreLine(bool& ok)
{
    TForm* main = Application ? Application->MainForm() : nullptr;
    ok = main != nullptr;
    return ok ? main->Left() + main->Width() / 2 : 0;
}

} // namespace

void ReadControlByTag(TComponent* form, int tag, TSubstanceRecord& record)
{
    TComponent* c = FirstWithTag(form, tag);
    if (!c) return;
    QString value;
    if (IsCheckTag(tag)) {
        auto* box = dynamic_cast<TCheckBox*>(c);
        value = box && box->Checked() ? QStringLiteral("+") : QString();
    } else if (auto* control = dynamic_cast<TControl*>(c)) {
        value = control->Text();
    }
    record.SetByIndex(tag, value);
}

TSubstanceRecord FormToRecord(TComponent* form)
{
    TSubstanceRecord record;
    record.Clear();
    if (!form) return record;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (c && c->Tag > 0) ReadControlByTag(form, c->Tag, record);
    }
    return record;
}

void SetControlByTag(TComponent* form, int tag, const QString& text)
{
    TComponent* c = FirstWithTag(form, tag);
    if (!c) return;
    if (IsCheckTag(tag)) {
        if (auto* box = dynamic_cast<TCheckBox*>(c)) box->SetChecked(text == QLatin1String("+"));
    } else if (auto* control = dynamic_cast<TControl*>(c)) {
        control->SetText(text);
    }
}

void SetControlFromQuery(TComponent* form, int tag)
{
    if (tag < 0 || tag >= FieldCount) return;
    QString value = GetFieldString(ColumnNames[tag]);
    TComponent* c = FirstWithTag(form, tag);
    if (!c) return;
    if (IsCheckTag(tag)) {
        if (auto* box = dynamic_cast<TCheckBox*>(c)) box->SetChecked(value == QLatin1String("+"));
    } else if (tag == 26) {
        auto* list = dynamic_cast<TListBox*>(c);
        if (!list) return;
        list->Clear();
        // Every non-empty name is listed, short ones too, so that saving the
        // record writes back every related compound it had.
        while (!value.isEmpty()) {
            QString item = SplitOff(value, QStringLiteral(", "), true);
            if (!item.isEmpty()) list->Items()->Add(item);
        }
    } else if (tag == 27) {
        if (auto* control = dynamic_cast<TControl*>(c))
            control->SetText(QString(value).replace(QLatin1String(", "), QLatin1String("\r\n")));
    } else if (auto* control = dynamic_cast<TControl*>(c)) {
        control->SetText(value);
    }
}

void AddItemToComboBoxes(TComponent* form, const QString& text)
{
    if (!form) return;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* combo = dynamic_cast<TComboBox*>(form->Components(i))) combo->AddItem(text, nullptr);
}

int CountViewWindows()
{
    int count = 0;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        TComponent* c = Application->Components(i);
        if (IsVisibleWindow(c) && (c->Tag == 100 || c->Tag == 101)) ++count;
    }
    return count;
}

bool ShowingFormNameContains(const QString& text)
{
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        TComponent* c = Application->Components(i);
        if (c && c->Name.contains(text) && IsVisibleWindow(c)) return true;
    }
    return false;
}

bool IsFormShowing(const TComponent* form)
{
    if (!form) return false;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        TComponent* c = Application->Components(i);
        if (c && c->Name == form->Name && IsVisibleWindow(c)) return true;
    }
    return false;
}

bool FormNameExists(const QString& name)
{
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        TComponent* c = Application->Components(i);
        if (c && c->Name == name) return true;
    }
    return false;
}

TForm* FindFormByName(const QString& name)
{
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        TComponent* c = Application->Components(i);
        if (c && c->Name == name) return dynamic_cast<TForm*>(c);
    }
    return nullptr;
}

void PlaceSideBySide(TForm* first, TForm* second)
{
    bool ok = false;
    int centre = MainCentreLine(ok);
    if (!ok || !first) return;
    if (!second) {
        first->SetLeft(centre - first->Width() / 2);
    } else {
        first->SetLeft(centre - first->Width());
        second->SetLeft(centre);
    }
}

void ArrangeCompareWindows()
{
    bool ok = false;
    int centre = MainCentreLine(ok);
    TForm* record = FindFormByName(QStringLiteral("ViewRecordForm"));
    if (!ok || !record) return;
    TForm* compare2 = FindFormByName(QStringLiteral("Compare2"));
    if (!compare2) {
        if (TForm* compare1 = FindFormByName(QStringLiteral("Compare1"))) PlaceSideBySide(record, compare1);
        return;
    }
    int w = record->Width();
    record->SetLeft(centre - (w * 3) / 2);
    if (TForm* compare1 = FindFormByName(QStringLiteral("Compare1")))
        compare1->SetBounds(centre - compare1->Width() / 2, record->Top(), compare1->Width(), compare1->Height());
    compare2->SetBounds(centre + compare2->Width() / 2, record->Top(), compare2->Width(), compare2->Height());
    int top = record->Top() + 60, left = record->Left() + 60;
    for (int n = 3;; ++n) {
        TForm* copy = FindFormByName(QStringLiteral("Compare%1").arg(n));
        if (!copy) break;
        copy->SetBounds(left, top, copy->Width(), copy->Height());
        top += 60;
        left += 60;
    }
}
