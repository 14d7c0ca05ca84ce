#pragma once

#include <QAbstractItemView>

namespace Verarov::App {

// A list of rows of one height in one column, laid out by arithmetic:
// nothing is kept per row, so a list of 100,000 rows costs no more memory
// and no more layout time than a list of ten.  It scrolls a row at a time
// and cuts long texts at the right edge.
class UniformListView final : public QAbstractItemView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UniformListView)

public:
    explicit UniformListView(QWidget *parent = nullptr);

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void reset() override;

    // The first row shown at the top.
    int topRow() const;
    // The height of every row, from the delegate's size for the first row.
    int rowHeight() const;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;

private:
    int rowCount() const;
    // Rows that fit whole in the viewport, at least one.
    int pageRows() const;
    QModelIndex indexOfRow(int row) const;

    mutable int m_rowHeight = 0; // 0: to be measured
};

} // namespace Verarov::App
