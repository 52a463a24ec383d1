#pragma once
// Controls built in code on Qt Widgets. Each control is created with its
// owner (the form: creation order = component order) and its parent control
// (where it stands), then placed with SetBounds as the form resource gives:
//     OKButton = new TButton(this, Panel1);
//     OKButton->Name = "OKButton";
//     OKButton->SetBounds(144, 558, 89, 33);
//     OKButton->SetCaption("OK");
//     OKButton->OnClick = Bind(this, &THelpForm::OKButtonClick);
//
// Event rules: setting Checked, ItemIndex or an edit's Text from code runs the
// click or change handler when, and only when, the value changes (directly,
// exceptions go to the caller); a user's change runs the same handler once
// (through SafeCall). Items changes never run handlers.
#include "Classes.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTextEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class QHBoxLayout;
class TPopupMenu;
class TImageList;
class TEventSink;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// ---------------------------------------------------------------- TControl

class TControl : public TComponent {
public:
    // AParent: the control it stands on (a form, panel, group box, tool bar);
    // nullptr only for forms.
    TControl(TComponent* AOwner, TControl* AParent, QWidget* widget);
    ~TControl() override;

    TControl* Parent() const { return parent; }

    // Geometry in pixels, relative to the parent's client area (forms: outer
    // bounds on the screen).
    virtual int Left() const;
    virtual int Top() const;
    virtual int Width() const;
    virtual int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    virtual void SetClientWidth(int w);
    virtual void SetClientHeight(int h);
    QRect BoundsRect() const { return QRect(Left(), Top(), Width(), Height()); }
    QRect ClientRect() const { return QRect(0, 0, ClientWidth(), ClientHeight()); }

    // The control's own Visible flag (not "is on screen").
    bool Visible() const { return visible; }
    virtual void SetVisible(bool v);
    virtual void Show() { SetVisible(true); }
    virtual void Hide() { SetVisible(false); }
    // Visible and every parent visible (the window shown).
    bool Showing() const;

    bool Enabled() const { return enabled; }
    virtual void SetEnabled(bool v);

    QString Hint() const { return hint; }
    void SetHint(const QString& h);
    bool ShowHint() const { return showHint; }
    void SetShowHint(bool v);

    // Caption and Text are the same text of a control (the one it shows).
    virtual QString Caption() const { return text; }
    virtual void SetCaption(const QString& c);
    QString Text() const { return Caption(); }
    void SetText(const QString& t) { SetCaption(t); }

    TFont* Font() { return &font; }
    TColor Color() const { return color; }
    virtual void SetColor(const TColor& c);

    TAlign Align() const { return align; }
    void SetAlign(TAlign a);

    TPopupMenu* PopupMenu() const { return popupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    // A point in the coordinates of the mouse events (the input area: a
    // list's rows, a form's client area) as a point on the screen.
    QPoint ClientToScreen(const QPoint& p) const;

    void SetFocus();
    bool Focused() const;
    // Runs OnClick (directly, as a click from code).
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    // The mouse pointer has left the control (or its input area).
    TNotifyEvent OnMouseLeave;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Qt side.
    QWidget* Widget() const { return widget; }
    // Where child controls are placed (a group box's or form's inner area).
    virtual QWidget* ClientWidget() const { return widget; }
    // Lays out the children with an Align (on resize).
    void Realign();
    // Handles a Qt event of the widget or its input area; true = consumed.
    virtual bool HandleEvent(QObject* watched, QEvent* event);

protected:
    // Context object of the control's signal connections (they end with it).
    QObject* Context() const;
    // Input widget that receives mouse events (a list's viewport).
    void WatchInput(QWidget* w);
    virtual void ApplyFont();
    // Labels, panels, images: press and release inside run OnClick.
    bool clickOnRelease = false;
    QPointer<QWidget> widget;
    QString text;

private:
    QPointer<QWidget> input;   // the input area given to WatchInput, if any
    friend class TForm;
    TControl* parent = nullptr;
    std::vector<TControl*> children;
    bool visible = true;
    bool enabled = true;
    bool showHint = true;
    bool pressed = false;
    QString hint;
    TFont font;
    TColor color = clDefault;
    TAlign align = alNone;
    TPopupMenu* popupMenu = nullptr;
    QPointer<QObject> sink;
};

// ---------------------------------------------------------------- simple controls

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

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateBits { odSelected = 1, odFocused = 2, odDisabled = 4 };
using TOwnerDrawState = int;
class TListBox;
using TDrawItemEvent = std::function<void(TObject* Control, int Index, const QRect& Rect, TOwnerDrawState State)>;
class TListBoxItems;

class TListBox : public TControl {
public:
    TListBox(TComponent* AOwner, TControl* AParent);
    ~TListBox() override;
    TStrings* Items();
    void AddItem(const QString& s, TObject* object = nullptr) { Items()->AddObject(s, object); }
    // Appends many lines as Items()->Add would one by one (a sorted list
    // puts each at its place), in one change of the list.
    void AddItems(const QStringList& lines);
    void Clear() { Items()->Clear(); }
    bool Sorted() const { return sorted; }
    void SetSorted(bool v);   // sorts now and keeps new items in order
    // The focused (current) item, -1 when none. Setting it fires nothing.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect; }
    void SetMultiSelect(bool v);
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    void DeleteSelected();
    void ClearSelection();
    // Index of the item at a client point, -1 when there is none.
    int ItemAtPos(int x, int y, bool existing = true) const;
    int ItemHeight() const { return itemHeight; }
    void SetItemHeight(int h);
    int TopIndex() const;
    TListBoxStyle Style() const { return style; }
    void SetStyle(TListBoxStyle s);
    // Owner draw: draws the item Index in Rect on Canvas().
    TDrawItemEvent OnDrawItem;
    TCanvas* Canvas() { return &canvas; }
    QListWidget* List() const;
    // Framework side.
    void DrawItem(QPainter* painter, int index, const QRect& rect, TOwnerDrawState state);
private:
    std::unique_ptr<TListBoxItems> items;
    TCanvas canvas;
    bool sorted = false, multiSelect = false;
    int itemHeight = 13;
    TListBoxStyle style = lbStandard;
};

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TBorderStyleCtl { bsNoneCtl, bsSingleCtl };
// A panel: a box with a centred caption on which other controls stand.
class TPanel : public TControl {
public:
    TPanel(TComponent* AOwner, TControl* AParent);
    void SetCaption(const QString& c) override;
    void SetBevelOuter(TBevelCut b);
    void SetBevelInner(TBevelCut b);
    void SetBorderWidth(int w);
    void SetSingleBorder(bool v);
    void SetColor(const TColor& c) override;
    bool ParentBackground = false;
private:
    TBevelCut bevelOuter = bvRaised;
};

class TProgressBar : public TControl {
public:
    TProgressBar(TComponent* AOwner, TControl* AParent);
    int Min() const { return min; }
    int Max() const { return max; }
    void SetMin(int v);
    void SetMax(int v);
    int Position() const { return position; }
    void SetPosition(int v);   // clamps to Min..Max
    void SetSmooth(bool v) {}
private:
    QProgressBar* bar() const;
    int min = 0, max = 100, position = 0;
};

enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
// Up and down buttons over a Position in Min..Max.
class TUpDown : public TControl {
public:
    TUpDown(TComponent* AOwner, TControl* AParent);
    int Min() const { return min; }
    int Max() const { return max; }
    void SetMin(int v);
    void SetMax(int v);
    int Increment() const { return increment; }
    void SetIncrement(int v) { increment = v; }
    int Position() const { return position; }
    // Clamps to Min..Max; fires nothing.
    void SetPosition(int v);
    // A user's click: moves Position by Increment within Min..Max, then OnClick.
    void ClickButton(TUDBtnType button);
    TUDClickEvent OnClick;
    QToolButton* UpButton() const { return up; }
    QToolButton* DownButton() const { return down; }
private:
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    int min = 0, max = 100, position = 0, increment = 1;
};

// A picture control: Stretch (scale to the control), Proportional (keep the
// aspect ratio), Center. Canvas() draws on the picture; on an empty picture it
// first makes a blank white one of the control's size.
class TImage : public TControl {
public:
    TImage(TComponent* AOwner, TControl* AParent);
    const QImage& Picture() const { return picture; }
    void SetPicture(const QImage& image);
    void ClearPicture();   // Picture = nothing
    bool Stretch() const { return stretch; }
    void SetStretch(bool v);
    bool Proportional() const { return proportional; }
    void SetProportional(bool v);
    bool Center() const { return center; }
    void SetCenter(bool v);
    TCanvas* Canvas();
    // Framework side: the rectangle the picture is drawn into.
    QRect DestRect() const;
    void Repaint();
private:
    QImage picture;
    TCanvas canvas;
    bool stretch = false, proportional = false, center = false;
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

// A list of icons for tool buttons and menu items.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner) : TComponent(AOwner) {}
    int Add(const QImage& image);
    int Count() const { return int(images.size()); }
    QImage Image(int index) const;
private:
    std::vector<QImage> images;
};

class TToolButton;
class TToolBar : public TControl {
public:
    TToolBar(TComponent* AOwner, TControl* AParent);
    TImageList* Images() const { return images; }
    void SetImages(TImageList* list) { images = list; }
    // The widest the bar may be (0 = no limit), also when its Align
    // stretches it.
    int MaxWidth() const { return maxWidth; }
    void SetMaxWidth(int w);
    // A transparent bar paints no background of its own.
    bool Transparent() const { return transparent; }
    void SetTransparent(bool v);
    void SetBounds(int left, int top, int width, int height) override;
    int ButtonCount() const { return int(buttons.size()); }
    TToolButton* Buttons(int index) const { return buttons.at(index); }
    // Framework side.
    void AddButton(TToolButton* b);
    void RemoveButton(TToolButton* b);
    void LayoutButtons();
private:
    TImageList* images = nullptr;
    std::vector<TToolButton*> buttons;
    int maxWidth = 0;
    bool transparent = false;
};

enum TToolButtonStyle { tbsButton, tbsSeparator };
class TToolButton : public TControl {
public:
    // Buttons stand on their tool bar in creation order.
    TToolButton(TComponent* AOwner, TToolBar* AToolBar);
    ~TToolButton() override;
    void SetCaption(const QString& c) override;
    int ImageIndex() const { return imageIndex; }
    void SetImageIndex(int i);
    void SetIcon(const QImage& image);
    TToolButtonStyle Style() const { return style; }
    void SetStyle(TToolButtonStyle s);
    void Click() override;
    QToolButton* Button() const;
private:
    TToolBar* toolBar;
    int imageIndex = -1;
    TToolButtonStyle style = tbsButton;
};

// The help browser: there is no web engine. Navigate records the address,
// shows it as a link and opens it through Dialogs().OpenUrl.
class TWebBrowser : public TControl {
public:
    TWebBrowser(TComponent* AOwner, TControl* AParent);
    void Navigate(const QString& address);
    QString LocationURL() const { return location; }
    QStringList History() const { return history; }
private:
    QString location;
    QStringList history;
};

// ---------------------------------------------------------------- list view

class TListView;
class TListItem;

class TListColumn {
public:
    QString Caption() const { return caption; }
    void SetCaption(const QString& c);
    int Width() const { return width; }
    void SetWidth(int w);
    TAlignment Alignment() const { return alignment; }
    void SetAlignment(TAlignment a);
    int Index() const { return index; }
private:
    friend class TListColumns;
    TListView* view = nullptr;
    int index = 0;
    QString caption;
    int width = 50;
    TAlignment alignment = taLeftJustify;
};

class TListColumns {
public:
    explicit TListColumns(TListView* v) : view(v) {}
    TListColumn* Add();
    int Count() const { return int(columns.size()); }
    TListColumn* Items(int index) const { return columns.at(index).get(); }
    TListColumn* operator[](int index) const { return Items(index); }
    void Clear();
private:
    TListView* view;
    std::vector<std::unique_ptr<TListColumn>> columns;
};

class TSubItems;
class TListItem {
public:
    QString Caption() const;
    void SetCaption(const QString& c);
    // The texts of columns 1, 2, ...
    TStrings* SubItems();
    bool Selected() const;
    void SetSelected(bool v);
    bool Focused() const;
    void *Data = nullptr;
    int Index() const;
    TListView* ListView() const { return view; }
    void Delete();
    ~TListItem();
private:
    friend class TListItems;
    friend class TListView;
    friend class TSubItems;
    TListItem(TListView* v);
    TListView* view;
    QTreeWidgetItem* item = nullptr;
    std::unique_ptr<TSubItems> subItems;
};

class TListItems {
public:
    explicit TListItems(TListView* v) : view(v) {}
    TListItem* Add();
    TListItem* Insert(int index);
    int Count() const { return int(items.size()); }
    TListItem* Item(int index) const { return items.at(index).get(); }
    TListItem* operator[](int index) const { return Item(index); }
    void Delete(int index);
    void Clear();
    void BeginUpdate() {}
    void EndUpdate() {}
    int IndexOf(const TListItem* item) const;
private:
    friend class TListView;
    TListView* view;
    std::vector<std::unique_ptr<TListItem>> items;
};

enum TItemChange { ctText, ctImage, ctState };
enum TCustomDrawStateBits { cdsSelected = 1, cdsFocused = 2 };
using TCustomDrawState = int;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
// Runs for every row before it is painted; set Sender's Canvas()->Brush->Color
// (row background) and Canvas()->Font->Color (text); they start as the
// list's defaults for each row.
using TLVCustomDrawItemEvent = std::function<void(TObject* Sender, TListItem* Item, TCustomDrawState State, bool& DefaultDraw)>;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// A report-style list view: columns, rows of a caption and sub-items.
class TListView : public TControl {
public:
    TListView(TComponent* AOwner, TControl* AParent);
    ~TListView() override;
    TListColumns* Columns() { return &columns; }
    TListItems* Items() { return &items; }
    void Clear() { items.Clear(); }
    TViewStyle ViewStyle = vsReport;
    bool MultiSelect() const { return multiSelect; }
    void SetMultiSelect(bool v);
    bool RowSelect = true;
    bool ReadOnly = true;
    void SetShowColumnHeaders(bool v);
    // The first selected row, or nullptr.
    TListItem* Selected() const;
    int SelCount() const;
    // The selected rows in list order.
    std::vector<TListItem*> SelectedItems() const;
    TListItem* ItemFocused() const;
    TListItem* GetItemAt(int x, int y) const;
    void ClearSelection();
    TCanvas* Canvas() { return &canvas; }
    // Background and text colour of a row as the custom-draw hook decides
    // them (runs OnCustomDrawItem); invalid colours = the list's defaults.
    std::pair<TColor, TColor> RowColors(TListItem* item);

    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVChangeEvent OnChange;
    TLVCustomDrawItemEvent OnCustomDrawItem;

    QTreeWidget* Tree() const;
    // Framework side.
    void ColumnsChanged();
    void ItemChanged(TListItem* item, TItemChange change);
    TListItem* ItemOf(QTreeWidgetItem* item) const;
    void SelectionChanged();
private:
    TListColumns columns{this};
    TListItems items{this};
    TCanvas canvas;
    bool multiSelect = false;
    std::vector<TListItem*> lastSelection;
    friend class TListItems;
};

// ---------------------------------------------------------------- clipboard

class TClipboard {
public:
    QString AsText() const;
    void SetAsText(const QString& text);
    void Clear();
};
TClipboard* Clipboard();

// ---------------------------------------------------------------- file dialogs

// Open and save dialogs through Dialogs().FileDialog, so tests can answer.
// Filter "Spot files (*.spot)|*.spot|All files (*.*)|*.*"; DefaultExt without
// the dot. Execute returns false when cancelled; otherwise FileName is the
// chosen full path (DefaultExt appended when the name has no extension).
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
    QString Filter, DefaultExt, FileName, InitialDir, Title;
    int FilterIndex = 1;
    virtual bool Execute();
protected:
    bool save = false;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) { save = true; }
};
