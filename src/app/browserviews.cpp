#include "app/browserviews.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace Verarov::App {

namespace {

class FixedHeightDelegate final : public QStyledItemDelegate
{
public:
    FixedHeightDelegate(int height, QObject *parent) : QStyledItemDelegate(parent), m_height(height)
    { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

private:
    int m_height;
};

} // namespace

ClickTree::ClickTree(QWidget *parent) : QTreeWidget(parent) { }

void ClickTree::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton
        && viewport()->rect().contains(event->position().toPoint()))
        emit clickEnded();
}

PickList::PickList(QWidget *parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

int PickList::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void PickList::setItemHeight(int pixels)
{
    setItemDelegate(new FixedHeightDelegate(pixels, this));
}

void PickList::keyPressEvent(QKeyEvent *event)
{
    const int before = selectedRow();
    QListView::keyPressEvent(event);
    const int after = selectedRow();
    if (after >= 0 && after != before)
        emit picked();
}

void PickList::mousePressEvent(QMouseEvent *event)
{
    m_rowAtPress = selectedRow();
    m_pressed = event->button() == Qt::LeftButton;
    QListView::mousePressEvent(event);
}

void PickList::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    // A click picks the row it selected, or the selected row it landed on.
    const int row = selectedRow();
    if (row >= 0 && (row != m_rowAtPress || indexAt(event->position().toPoint()).row() == row))
        emit picked();
}

} // namespace Verarov::App
