#pragma once
// Labels, buttons, edits, memos and rich edits, check boxes, group boxes,
// radio groups and combo boxes.
#include "Control.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;

class TLabel : public TControl {
public:
    TLabel(TComponent* AOwner, TControl* AParent);
    void SetCaption(const QString& c) override;   // "&&" shows as "&"
    bool AutoSize() const { return autoSize; }
    void SetAutoSize(bool v);
    void SetAlignment(TAlignment a);
    void SetWordWrap(bool v);
    void SetTransparent(bool v);
    void SetColor(const TColor& c) override;
    // An auto-sized label follows its font, also one inherited from its
    // window, so a later font change does not cut the caption.
    bool HandleEvent(QObject* watched, QEvent* event) override;
private:
    QLabel* label() const;
    void FitToText();
    bool autoSize = true;
};

class TButton : public TControl {
public:
    TButton(TComponent* AOwner, TControl* AParent);
    ~TButton() override;
    void SetCaption(const QString& c) override;
    // Cancel: the Esc key in its window presses it. Default: the Enter key.
    bool Cancel() const { return cancel; }
    void SetCancel(bool v);
    bool Default() const { return isDefault; }
    void SetDefault(bool v);
    int ModalResult = 0;   // a modal form closes with it when pressed
    void Click() override;
private:
    QPushButton* button() const;
    bool cancel = false, isDefault = false;
};

class TEdit : public TControl {
public:
    TEdit(TComponent* AOwner, TControl* AParent);
    QString Caption() const override;
    // Runs OnChange when the text changes.
    void SetCaption(const QString& c) override;
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    int MaxLength() const { return maxLength; }
    void SetMaxLength(int n);   // 0 = no limit
    bool NumbersOnly() const { return numbersOnly; }
    void SetNumbersOnly(bool v);   // digits only
    void SetAlignment(TAlignment a);
    void SelectAll();
    int SelStart() const;
    void SetSelStart(int pos);
    void SetColor(const TColor& c) override;
    TNotifyEvent OnChange;
    QLineEdit* LineEdit() const;
private:
    int maxLength = 0;
    bool numbersOnly = false;
};

class TMemoLines;
// Lines joined with CR LF both ways: Text() is the lines joined by "\r\n";
// SetText splits at CR LF, LF or CR.
class TMemo : public TControl {
public:
    TMemo(TComponent* AOwner, TControl* AParent);
    ~TMemo() override;
    QString Caption() const override;
    void SetCaption(const QString& c) override;   // runs OnChange when changed
    TStrings* Lines();
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    void SetWordWrap(bool v);
    void SetScrollBars(bool vertical, bool horizontal);
    void SetColor(const TColor& c) override;
    void SelectAll();
    void CopyToClipboard();
    TNotifyEvent OnChange;
    QPlainTextEdit* TextEdit() const;
    // Framework side: replaces the content (no event) / after any change.
    void SetPlainText(const QString& lfText);
    void ContentChanged();
private:
    std::unique_ptr<TMemoLines> lines;
    bool settingFromCode = false;
};

class TCheckBox : public TControl {
public:
    TCheckBox(TComponent* AOwner, TControl* AParent);
    void SetCaption(const QString& c) override;
    bool Checked() const;
    // Runs OnClick when the state changes.
    void SetChecked(bool v);
    // OnClick: also runs after a user's click.
    void SetAlignment(TAlignment a) {}
private:
    QCheckBox* box() const;
};

class TGroupBox : public TControl {
public:
    TGroupBox(TComponent* AOwner, TControl* AParent);
    void SetCaption(const QString& c) override;
protected:
    QGroupBox* group() const;
};

class TRadioItems;
// A captioned group of radio buttons, one per item, in one column.
class TRadioGroup : public TGroupBox {
public:
    TRadioGroup(TComponent* AOwner, TControl* AParent);
    ~TRadioGroup() override;
    TStrings* Items();
    int ItemIndex() const { return itemIndex; }
    // Runs OnClick when the index changes.
    void SetItemIndex(int index);
    int Columns() const { return columns; }
    void SetColumns(int n);
    // Framework side.
    void RebuildButtons();
    void SetBounds(int left, int top, int width, int height) override;
private:
    void Layout();
    std::unique_ptr<TRadioItems> items;
    std::vector<QPointer<QAbstractButton>> buttons;
    QButtonGroup* buttonGroup = nullptr;
    int itemIndex = -1;
    int columns = 1;
};

enum TComboBoxStyle { csDropDown, csDropDownList, csSimple };
class TComboItems;
// Adding or clearing items never changes the shown text (unlike Qt).
class TComboBox : public TControl {
public:
    TComboBox(TComponent* AOwner, TControl* AParent);
    ~TComboBox() override;
    TComboBoxStyle Style() const { return style; }
    void SetStyle(TComboBoxStyle s);
    TStrings* Items();
    void AddItem(const QString& s, TObject* object = nullptr) { Items()->AddObject(s, object); }
    void Clear();   // removes the items and empties the text
    int ItemIndex() const;
    // Runs OnChange when the shown text changes.
    void SetItemIndex(int index);
    QString Caption() const override;
    void SetCaption(const QString& c) override;
    int DropDownCount = 8;
    bool Sorted() const { return sorted; }
    void SetSorted(bool v) { sorted = v; }
    TNotifyEvent OnChange;   // a typed change or a chosen item (user), a changed text (code)
    TNotifyEvent OnSelect;   // the user chose an item from the list
    QComboBox* Combo() const;
    // Framework side: runs an items change keeping the shown text.
    void KeepText(const std::function<void()>& change);
private:
    void ApplyText(const QString& t);
    std::unique_ptr<TComboItems> items;
    TComboBoxStyle style = csDropDown;
    bool sorted = false;
    QString lastText;
};

class TRichEditLines;
class TRichEdit : public TControl {
public:
    TRichEdit(TComponent* AOwner, TControl* AParent);
    ~TRichEdit() override;
    QString Caption() const override;
    void SetCaption(const QString& c) override;
    TStrings* Lines();
    void SelectAll();
    QString SelText() const;
    void CopyToClipboard();
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    QTextEdit* TextEdit() const;
private:
    std::unique_ptr<TRichEditLines> lines;
};
