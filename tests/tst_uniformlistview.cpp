#include "app/uniformlistview.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList numbered(int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << u"row %1"_s.arg(i);
    return rows;
}

} // namespace

class tst_UniformListView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsAreWhereTheyAreDrawn_data();
    void rowsAreWhereTheyAreDrawn();
    void keys_moveTheCurrentRow_data();
    void keys_moveTheCurrentRow();
    void rowsChanged_scrollRangeFollows();

private:
    QStringListModel *m_model = nullptr;
    UniformListView *m_view = nullptr;
};

void tst_UniformListView::init()
{
    m_model = new QStringListModel(numbered(1000));
    m_view = new UniformListView;
    m_view->setFocusPolicy(Qt::NoFocus); // as in a simple combo box: keys come from its edit
    m_view->setModel(m_model);
    m_view->resize(150, 113);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void tst_UniformListView::cleanup()
{
    delete m_view;
    delete m_model;
}

void tst_UniformListView::rowsAreWhereTheyAreDrawn_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("hint"); // QAbstractItemView::ScrollHint
    QTest::addRow("first") << 0 << int(QAbstractItemView::EnsureVisible);
    QTest::addRow("middle, ensure visible") << 500 << int(QAbstractItemView::EnsureVisible);
    QTest::addRow("middle, at top") << 500 << int(QAbstractItemView::PositionAtTop);
    QTest::addRow("middle, at centre") << 500 << int(QAbstractItemView::PositionAtCenter);
    QTest::addRow("last") << 999 << int(QAbstractItemView::EnsureVisible);
}

void tst_UniformListView::rowsAreWhereTheyAreDrawn()
{
    QFETCH(int, row);
    QFETCH(int, hint);

    const QModelIndex index = m_model->index(row);
    m_view->scrollTo(index, QAbstractItemView::ScrollHint(hint));
    const QRect rect = m_view->visualRect(index);
    QVERIFY2(m_view->viewport()->rect().contains(rect), qPrintable(u"%1 %2 %3 %4"_s.arg(
            rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));
    QCOMPARE(rect.height(), m_view->rowHeight());
    QCOMPARE(m_view->indexAt(rect.center()), index);
    QCOMPARE(m_view->indexAt(rect.topLeft()), index);
    QCOMPARE(m_view->indexAt(rect.bottomLeft()), index);
    if (hint == QAbstractItemView::PositionAtTop)
        QCOMPARE(m_view->topRow(), row);

    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(m_view->currentIndex(), index);
    QVERIFY(m_view->selectionModel()->isSelected(index));
}

void tst_UniformListView::keys_moveTheCurrentRow_data()
{
    QTest::addColumn<int>("from"); // -1: no current row
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("page"); // rows moved by a page, as a factor
    QTest::addColumn<int>("to");   // row when page is 0
    QTest::addRow("down from none") << -1 << int(Qt::Key_Down) << 0 << 0;
    QTest::addRow("down") << 10 << int(Qt::Key_Down) << 0 << 11;
    QTest::addRow("up at the top") << 0 << int(Qt::Key_Up) << 0 << 0;
    QTest::addRow("down at the bottom") << 999 << int(Qt::Key_Down) << 0 << 999;
    QTest::addRow("page down") << 10 << int(Qt::Key_PageDown) << 1 << 10;
    QTest::addRow("page up") << 500 << int(Qt::Key_PageUp) << -1 << 500;
    QTest::addRow("end") << 10 << int(Qt::Key_End) << 0 << 999;
    QTest::addRow("home") << 500 << int(Qt::Key_Home) << 0 << 0;
}

void tst_UniformListView::keys_moveTheCurrentRow()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, page);
    QFETCH(int, to);

    if (from >= 0)
        m_view->setCurrentIndex(m_model->index(from));
    QCOMPARE(m_view->currentIndex().row(), from);
    const int pageRows = m_view->viewport()->height() / m_view->rowHeight();
    QVERIFY(pageRows >= 2);
    QTest::keyClick(m_view, Qt::Key(key));
    const int expected = to + page * pageRows;
    QCOMPARE(m_view->currentIndex().row(), expected);
    // The current row is scrolled into view.
    QVERIFY(m_view->viewport()->rect().contains(m_view->visualRect(m_model->index(expected))));
}

void tst_UniformListView::rowsChanged_scrollRangeFollows()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    m_view->scrollTo(m_model->index(999));
    const int pageRows = m_view->viewport()->height() / m_view->rowHeight();
    QCOMPARE(bar->maximum(), 1000 - pageRows);
    QCOMPARE(m_view->topRow(), 1000 - pageRows);

    // Fewer rows: a reset starts at the top, the range shrinks.
    m_model->setStringList(numbered(20));
    QCoreApplication::processEvents();
    QCOMPARE(m_view->topRow(), 0);
    QCOMPARE(bar->maximum(), 20 - pageRows);

    // Rows removed and inserted.
    m_model->removeRows(0, 15);
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), std::max(0, 5 - pageRows));
    m_model->insertRows(0, 100);
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), 105 - pageRows);

    // No rows: nothing to hit.
    m_model->setStringList({});
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), 0);
    QVERIFY(!m_view->indexAt(QPoint(5, 5)).isValid());
}

QTEST_MAIN(tst_UniformListView)
#include "tst_uniformlistview.moc"
