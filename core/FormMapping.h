#pragma once
// Moving values between a window's controls and a substance record by Tag,
// and finding and placing the application's windows.
//
// A control whose Tag is a field index 1..30 shows that field of a record
// (ColumnNames[tag]); Tags 0 and below are never touched. Tags 9 and 10 are
// check boxes ("+" = checked), 26 a list box of related compounds, 27 a memo
// with one synonym per line; the others show their value as their text.
// Only the first component with a given Tag is used.
//
// The placement functions centre windows on the main window's vertical
// centre line (Application->MainForm(), the window created first).
#include "core/Record.h"
#include "framework/Forms.h"

// A fresh record filled from every component of the form with a Tag above 0.
TSubstanceRecord FormToRecord(TComponent* form);
// Reads the first component with that Tag into field `tag` of the record.
void ReadControlByTag(TComponent* form, int tag, TSubstanceRecord& record);
// Sets the first component with that Tag from a text.
void SetControlByTag(TComponent* form, int tag, const QString& text);
// Sets the first component with that Tag from column ColumnNames[tag] of the
// main query's current row (tag 0..30). The column is read first, so a
// missing column raises before any control changes.
void SetControlFromQuery(TComponent* form, int tag);
// Appends the text as an item to every combo box of the form.
void AddItemToComboBoxes(TComponent* form, const QString& text);

// Visible windows of the application with Tag 100 or 101.
int CountViewWindows();
// True when a visible window's Name contains the text.
bool ShowingFormNameContains(const QString& text);
// True when a visible window has the same Name as the given one.
bool IsFormShowing(const TComponent* form);
// True when some window of the application has exactly that Name.
bool FormNameExists(const QString& name);
// The first window of the application with exactly that Name, or nullptr.
TForm* FindFormByName(const QString& name);

// One window centred on the main window's centre line, or two side by side
// meeting at it. Only Left changes; nothing is shown.
void PlaceSideBySide(TForm* first, TForm* second = nullptr);
// Places the window "ViewRecordForm" and its comparison copies "Compare1",
// "Compare2", ... (row of three on the centre line, the rest cascaded).
void ArrangeCompareWindows();
