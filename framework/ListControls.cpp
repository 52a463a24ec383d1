#include "ListControls.h"
#include "Text.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

// ---------------------------------------------------------------- TListBox

class TListBoxItems : public TStrings {
public:
    explicit TListBoxItems(TListBox* b) : box(b) {}
    QListWidget* q() const { return box->List(); }
    int Count() const override { return q()->count(); }
    QString Strings(int index) const override { CheckListIndex(index, Count()); return q()->item(index)->text(); }
    void SetStrings(int index, const QString& s) override { CheckListIndex(index, Count()); q()->item(index)->setText(s); }
    void Insert(int index, const QString& s) override
    {
        CheckListIndex(index, Count() + 1);
        QSignalBlocker block(q());
        q()->insertItem(index, s);
    }
    int Add(const QString& s) override
    {
        int index = Count();
        if (box->Sorted()) {
            index = 0;
            while (index < Count() && CompareTextForSort(q()->item(index)->text(), s) <= 0) ++index;
        }
        Insert(index, s);
        return index;
    }
    void Delete(int index) override
    {
        CheckListIndex(index, Count());
        QSignalBlocker block(q());
        delete q()->takeItem(index);
    }
    void Clear() override
    {
        QSignalBlocker block(q());
        q()->clear();
    }
    TObject* Objects(int index) const override
    {
        CheckListIndex(index, Count());
        return reinterpret_cast<TObject*>(q()->item(index)->data(Qt::UserRole).value<quintptr>());
    }
    void SetObjects(int index, TObject* object) override
    {
        CheckListIndex(index, Count());
        q()->item(index)->setData(Qt::UserRole, QVariant::fromValue(quintptr(object)));
    }
    TListBox* box;
};

class TListBoxDelegate : public QStyledItemDelegate {
public:
    TListBoxDelegate(TListBox* b, QObject* parent) : QStyledItemDelegate(parent), box(b) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (box->Style() == lbStandard || !box->OnDrawItem) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state = 0;
        if (option.state & QStyle::State_Selected) state |= odSelected;
        if (option.state & QStyle::State_HasFocus) state |= odFocused;
        box->DrawItem(painter, index.row(), option.rect, state);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (box->Style() != lbStandard) s.setHeight(box->ItemHeight());
        return s;
    }
    TListBox* box;
};

TListBox::TListBox(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QListWidget)
{
    items = std::make_unique<TListBoxItems>(this);
    List()->setItemDelegate(new TListBoxDelegate(this, List()));
    List()->setUniformItemSizes(true);
    clickOnRelease = true;
    WatchInput(List()->viewport());
}

TListBox::~TListBox() = default;

QListWidget* TListBox::List() const { return static_cast<QListWidget*>(widget.data()); }
TStrings* TListBox::Items() { return items.get(); }

void TListBox::SetSorted(bool v)
{
    sorted = v;
    if (!v) return;
    QStringList texts;
    std::vector<TObject*> objects;
    std::vector<int> order(size_t(items->Count()));
    for (int i = 0; i < items->Count(); ++i) order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareTextForSort(items->Strings(a), items->Strings(b)) < 0;
    });
    for (int i : order) { texts << items->Strings(i); objects.push_back(items->Objects(i)); }
    items->Clear();
    for (int i = 0; i < texts.size(); ++i) {
        items->Insert(i, texts[i]);
        items->SetObjects(i, objects[size_t(i)]);
    }
}

void TListBox::AddItems(const QStringList& lines)
{
    if (sorted) {
        for (const QString& s : lines) items->Add(s);
        return;
    }
    QSignalBlocker block(List());
    List()->addItems(lines);
}

int TListBox::ItemIndex() const { return List()->currentRow(); }

void TListBox::SetItemIndex(int index)
{
    QSignalBlocker block(List());
    if (index < 0 || index >= List()->count()) {
        List()->setCurrentRow(-1);
        if (!multiSelect) List()->clearSelection();
    } else if (multiSelect) {
        List()->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    } else {
        List()->setCurrentRow(index);
    }
}

void TListBox::SetMultiSelect(bool v)
{
    multiSelect = v;
    List()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int index) const
{
    CheckListIndex(index, List()->count());
    return List()->item(index)->isSelected();
}

void TListBox::SetSelected(int index, bool v)
{
    CheckListIndex(index, List()->count());
    QSignalBlocker block(List());
    if (!multiSelect && v) List()->setCurrentRow(index);
    else List()->item(index)->setSelected(v);
}

int TListBox::SelCount() const
{
    if (!multiSelect) return -1 == ItemIndex() ? 0 : 1;
    return int(List()->selectedItems().size());
}

void TListBox::DeleteSelected()
{
    for (int i = List()->count() - 1; i >= 0; --i)
        if (List()->item(i)->isSelected()) items->Delete(i);
}

void TListBox::ClearSelection() { List()->clearSelection(); }

int TListBox::ItemAtPos(int x, int y, bool existing) const
{
    QModelIndex index = List()->indexAt(QPoint(x, y));
    if (index.isValid()) return index.row();
    return existing ? -1 : List()->count();
}

void TListBox::SetItemHeight(int h)
{
    itemHeight = h;
    List()->doItemsLayout();
}

int TListBox::TopIndex() const
{
    QModelIndex index = List()->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : 0;
}

void TListBox::SetStyle(TListBoxStyle s)
{
    style = s;
    List()->doItemsLayout();
}

void TListBox::DrawItem(QPainter* painter, int index, const QRect& rect, TOwnerDrawState state)
{
    canvas.Font->SetQtFont(Font()->QtFont());
    canvas.Brush->Color = (state & odSelected) ? clHighlight : clWindow;
    canvas.Font->SetColor((state & odSelected) ? clHighlightText : clWindowText);
    canvas.BeginPaint(painter);
    SafeCall([&] { OnDrawItem(this, index, rect, state); });
    canvas.EndPaint();
    // As the platform does after the owner's drawing: a dotted focus
    // rectangle around the current line while the list has the focus.
    if (state & odFocused) {
        painter->save();
        QPen pen(QColor(0, 0, 0));
        pen.setWidth(0);
        pen.setDashPattern({1, 1});
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

// ---------------------------------------------------------------- list view

void TListColumn::SetCaption(const QString& c) { caption = c; if (view) view->ColumnsChanged(); }
void TListColumn::SetWidth(int w) { width = w; if (view) view->ColumnsChanged(); }
void TListColumn::SetAlignment(TAlignment a) { alignment = a; if (view) view->ColumnsChanged(); }

TListColumn* TListColumns::Add()
{
    auto c = std::make_unique<TListColumn>();
    c->view = view;
    c->index = Count();
    columns.push_back(std::move(c));
    view->ColumnsChanged();
    return columns.back().get();
}

void TListColumns::Clear()
{
    columns.clear();
    view->ColumnsChanged();
}

class TSubItems : public TStringList {
public:
    explicit TSubItems(TListItem* i) : item(i) {}
    void SetStrings(int index, const QString& s) override { TStringList::SetStrings(index, s); Sync(); }
    void Insert(int index, const QString& s) override { TStringList::Insert(index, s); Sync(); }
    void Delete(int index) override { TStringList::Delete(index); Sync(); }
    void Clear() override { TStringList::Clear(); Sync(); }
    void Sync()
    {
        QTreeWidgetItem* q = item->item;
        int columns = std::max(q->columnCount(), Count() + 1);
        for (int c = 1; c < columns; ++c) q->setText(c, c - 1 < Count() ? Strings(c - 1) : QString());
        item->view->ItemChanged(item, ctText);
    }
    TListItem* item;
};

TListItem::TListItem(TListView* v) : view(v), item(new QTreeWidgetItem), subItems(std::make_unique<TSubItems>(this))
{
    item->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(this)));
}

TListItem::~TListItem()
{
    QSignalBlocker block(view->Tree());
    delete item;
}

QString TListItem::Caption() const { return item->text(0); }

void TListItem::SetCaption(const QString& c)
{
    item->setText(0, c);
    view->ItemChanged(this, ctText);
}

TStrings* TListItem::SubItems() { return subItems.get(); }
bool TListItem::Selected() const { return item->isSelected(); }
void TListItem::SetSelected(bool v) { item->setSelected(v); }
bool TListItem::Focused() const { return view->Tree()->currentItem() == item; }
int TListItem::Index() const { return view->Items()->IndexOf(this); }
void TListItem::Delete() { view->Items()->Delete(Index()); }

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index)
{
    CheckListIndex(index, Count() + 1);
    std::unique_ptr<TListItem> item(new TListItem(view));
    TListItem* raw = item.get();
    {
        QSignalBlocker block(view->Tree());
        view->Tree()->insertTopLevelItem(index, raw->item);
    }
    items.insert(items.begin() + index, std::move(item));
    view->ItemChanged(raw, ctState);
    return raw;
}

int TListItems::IndexOf(const TListItem* item) const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == item) return int(i);
    return -1;
}

void TListItems::Delete(int index)
{
    CheckListIndex(index, Count());
    TListItem* raw = items[size_t(index)].get();
    auto& last = view->lastSelection;
    last.erase(std::remove(last.begin(), last.end(), raw), last.end());
    items.erase(items.begin() + index);
}

void TListItems::Clear()
{
    view->lastSelection.clear();
    QSignalBlocker block(view->Tree());
    view->Tree()->clear();   // deletes the Qt items
    for (auto& i : items) i->item = nullptr;
    items.clear();
}

class TListViewDelegate : public QStyledItemDelegate {
public:
    TListViewDelegate(TListView* v, QObject* parent) : QStyledItemDelegate(parent), view(v) {}
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        int column = index.column();
        if (column < view->Columns()->Count()) {
            TAlignment a = view->Columns()->Items(column)->Alignment();
            option->displayAlignment = Qt::AlignVCenter | (a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
        }
        TListItem* item = view->Items()->Count() > index.row() ? view->Items()->Item(index.row()) : nullptr;
        if (!item || !view->OnCustomDrawItem) return;
        auto [background, text] = view->RowColors(item);
        if (text.isValid()) SetEnabledColor(option->palette, QPalette::Text, text);
        if (background.isValid()) {
            option->backgroundBrush = QBrush(background);
            // The view's disabled text is readable on its base, not on
            // the row's own colour.
            option->palette.setColor(QPalette::Disabled, QPalette::Text,
                                     ReadableDisabledText(background, option->palette.color(QPalette::Active, QPalette::Text)));
        }
    }
    TListView* view;
};

TListView::TListView(TComponent* AOwner, TControl* AParent) : TControl(AOwner, AParent, new QTreeWidget)
{
    QTreeWidget* t = Tree();
    t->setRootIsDecorated(false);
    t->setUniformRowHeights(true);
    t->setItemsExpandable(false);
    t->setAllColumnsShowFocus(true);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->header()->setSectionsClickable(true);
    t->header()->setStretchLastSection(false);
    t->setColumnCount(0);
    t->setItemDelegate(new TListViewDelegate(this, t));
    WatchInput(t->viewport());
    QObject::connect(t, &QTreeWidget::itemSelectionChanged, Context(), [this] { SelectionChanged(); });
    QObject::connect(t->header(), &QHeaderView::sectionClicked, Context(), [this](int section) {
        if (OnColumnClick && section >= 0 && section < columns.Count())
            SafeCall([&] { OnColumnClick(this, columns.Items(section)); });
    });
}

TListView::~TListView() { items.Clear(); }

QTreeWidget* TListView::Tree() const { return static_cast<QTreeWidget*>(widget.data()); }

void TListView::SetMultiSelect(bool v)
{
    multiSelect = v;
    Tree()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TListView::SetShowColumnHeaders(bool v) { Tree()->setHeaderHidden(!v); }

void TListView::ColumnsChanged()
{
    QTreeWidget* t = Tree();
    t->setColumnCount(std::max(1, columns.Count()));
    QStringList labels;
    for (int i = 0; i < columns.Count(); ++i) labels << columns.Items(i)->Caption();
    t->setHeaderLabels(labels);
    for (int i = 0; i < columns.Count(); ++i) {
        TListColumn* c = columns.Items(i);
        t->setColumnWidth(i, c->Width());
        t->headerItem()->setTextAlignment(i, c->Alignment() == taCenter ? Qt::AlignHCenter : c->Alignment() == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
    }
}

void TListView::ItemChanged(TListItem* item, TItemChange change)
{
    if (OnChange) OnChange(this, item, change);
}

TListItem* TListView::ItemOf(QTreeWidgetItem* item) const
{
    if (!item) return nullptr;
    return reinterpret_cast<TListItem*>(item->data(0, Qt::UserRole).value<quintptr>());
}

void TListView::SelectionChanged()
{
    std::vector<TListItem*> now = SelectedItems();
    std::vector<TListItem*> before = lastSelection;
    lastSelection = now;
    if (!OnSelectItem) return;
    for (TListItem* i : before)
        if (std::find(now.begin(), now.end(), i) == now.end())
            SafeCall([&] { OnSelectItem(this, i, false); });
    for (TListItem* i : now)
        if (std::find(before.begin(), before.end(), i) == before.end())
            SafeCall([&] { OnSelectItem(this, i, true); });
}

TListItem* TListView::Selected() const
{
    for (const auto& i : items.items)
        if (i->Selected()) return i.get();
    return nullptr;
}

int TListView::SelCount() const { return int(SelectedItems().size()); }

std::vector<TListItem*> TListView::SelectedItems() const
{
    std::vector<TListItem*> out;
    for (const auto& i : items.items)
        if (i->item && i->Selected()) out.push_back(i.get());
    return out;
}

TListItem* TListView::ItemFocused() const { return ItemOf(Tree()->currentItem()); }

TListItem* TListView::GetItemAt(int x, int y) const { return ItemOf(Tree()->itemAt(QPoint(x, y))); }

void TListView::ClearSelection() { Tree()->clearSelection(); }

std::pair<TColor, TColor> TListView::RowColors(TListItem* item)
{
    canvas.Brush->Color = clDefault;
    canvas.Font->SetColor(clDefault);
    if (OnCustomDrawItem) {
        TCustomDrawState state = item->Selected() ? cdsSelected : 0;
        bool defaultDraw = true;
        SafeCall([&] { OnCustomDrawItem(this, item, state, defaultDraw); });
    }
    return {canvas.Brush->Color, canvas.Font->Color()};
}
