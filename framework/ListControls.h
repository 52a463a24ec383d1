#pragma once
// List boxes and list views.
#include "Control.h"

class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

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
