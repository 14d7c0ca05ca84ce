#include "app/uniformlistview.h"

#include <QEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include <algorithm>

namespace Verarov::App {

UniformListView::UniformListView(QWidget *parent) : QAbstractItemView(parent)
{
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
}

int UniformListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

QModelIndex UniformListView::indexOfRow(int row) const
{
    return model() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

int UniformListView::rowHeight() const
{
    if (m_rowHeight <= 0) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QModelIndex first = indexOfRow(0);
        const int hint =
                first.isValid() ? itemDelegateForIndex(first)->sizeHint(option, first).height() : 0;
        m_rowHeight = std::max({hint, fontMetrics().height(), 1});
    }
    return m_rowHeight;
}

int UniformListView::topRow() const
{
    return verticalScrollBar()->value();
}

int UniformListView::pageRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

QRect UniformListView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.parent() != rootIndex() || index.row() >= rowCount())
        return {};
    const int h = rowHeight();
    return {0, (index.row() - topRow()) * h, viewport()->width(), h};
}

void UniformListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    executeDelayedItemsLayout(); // the scroll range of the current rows
    const int row = index.row();
    const int page = pageRows();
    const int top = topRow();
    int newTop = top;
    switch (hint) {
    case EnsureVisible:
        if (row < top)
            newTop = row;
        else if (row >= top + page)
            newTop = row - page + 1;
        break;
    case PositionAtTop:
        newTop = row;
        break;
    case PositionAtBottom:
        newTop = row - page + 1;
        break;
    case PositionAtCenter:
        newTop = row - page / 2;
        break;
    }
    verticalScrollBar()->setValue(newTop);
}

QModelIndex UniformListView::indexAt(const QPoint &point) const
{
    if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    const int row = topRow() + point.y() / rowHeight();
    return row < rowCount() ? indexOfRow(row) : QModelIndex();
}

void UniformListView::reset()
{
    QAbstractItemView::reset();
    m_rowHeight = 0;
    verticalScrollBar()->setValue(0);
}

QModelIndex UniformListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int count = rowCount();
    if (count == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return indexOfRow(0);
    int row = current.row();
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= pageRows();
        break;
    case MovePageDown:
        row += pageRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = count - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return indexOfRow(std::clamp(row, 0, count - 1));
}

int UniformListView::horizontalOffset() const
{
    return 0;
}

int UniformListView::verticalOffset() const
{
    return topRow() * rowHeight();
}

bool UniformListView::isIndexHidden(const QModelIndex &) const
{
    return false;
}

void UniformListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const int count = rowCount();
    const QRect r = rect.normalized();
    const int h = rowHeight();
    const int first = std::max(0, topRow() + std::max(0, r.top()) / h);
    const int last = std::min(count - 1, topRow() + std::max(0, r.bottom()) / h);
    QItemSelection selection;
    if (count > 0 && first <= last)
        selection.select(indexOfRow(first), indexOfRow(last));
    selectionModel()->select(selection, command);
}

QRegion UniformListView::visualRegionForSelection(const QItemSelection &selection) const
{
    const int top = topRow();
    const int bottom = top + pageRows(); // the partly shown row under the page
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        if (range.parent() != rootIndex())
            continue;
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first <= last) {
            region += QRect(0, (first - top) * rowHeight(), viewport()->width(),
                            (last - first + 1) * rowHeight());
        }
    }
    return region;
}

void UniformListView::updateGeometries()
{
    const int page = pageRows();
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - page));
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void UniformListView::paintEvent(QPaintEvent *event)
{
    const int count = rowCount();
    if (count == 0)
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int h = rowHeight();
    const int top = topRow();
    const int first = top + std::max(0, event->rect().top()) / h;
    const int last = std::min(count - 1, top + event->rect().bottom() / h);
    const QModelIndex current = currentIndex();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = indexOfRow(row);
        QStyleOptionViewItem item = option;
        item.rect = QRect(0, (row - top) * h, viewport()->width(), h);
        if (selectionModel() && selectionModel()->isSelected(index))
            item.state |= QStyle::State_Selected;
        if (index == current && hasFocus())
            item.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, item, index);
    }
}

void UniformListView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void UniformListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeight = 0;
        scheduleDelayedItemsLayout();
    }
    QAbstractItemView::changeEvent(event);
}

void UniformListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    scheduleDelayedItemsLayout();
}

void UniformListView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
    scheduleDelayedItemsLayout(); // runs once the rows are gone
}

} // namespace Verarov::App
