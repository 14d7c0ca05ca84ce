#include "app/uniformlistview.h"

#include <QScrollBar>
#include <QStringListModel>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Verarov::App;

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
    void cleanup() { delete m_view; }
    void keys_moveAndShowTheCurrentRow_data();
    void keys_moveAndShowTheCurrentRow();
    void rowsChanged_scrollRangeFollows();

private:
    QStringListModel m_model;
    UniformListView *m_view = nullptr;
};

void tst_UniformListView::init()
{
    m_model.setStringList(numbered(1000));
    m_view = new UniformListView;
    m_view->setFocusPolicy(Qt::NoFocus); // as in a simple combo box
    m_view->setModel(&m_model);
    m_view->resize(150, 113);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void tst_UniformListView::keys_moveAndShowTheCurrentRow_data()
{
    QTest::addColumn<int>("from"); // -1: no current row
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("pages"); // pages moved, added to `to`
    QTest::addColumn<int>("to");
    QTest::addRow("down from none") << -1 << int(Qt::Key_Down) << 0 << 0;
    QTest::addRow("down at the bottom") << 999 << int(Qt::Key_Down) << 0 << 999;
    QTest::addRow("page down") << 10 << int(Qt::Key_PageDown) << 1 << 10;
    QTest::addRow("page up") << 500 << int(Qt::Key_PageUp) << -1 << 500;
    QTest::addRow("end") << 10 << int(Qt::Key_End) << 0 << 999;
    QTest::addRow("home") << 500 << int(Qt::Key_Home) << 0 << 0;
}

void tst_UniformListView::keys_moveAndShowTheCurrentRow()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, pages);
    QFETCH(int, to);

    if (from >= 0)
        m_view->setCurrentIndex(m_model.index(from));
    QCOMPARE(m_view->currentIndex().row(), from);
    const int pageRows = m_view->viewport()->height() / m_view->rowHeight();
    QTest::keyClick(m_view, Qt::Key(key));
    const QModelIndex current = m_model.index(to + pages * pageRows);
    QCOMPARE(m_view->currentIndex(), current);

    // In view, and hit where it is drawn.
    const QRect rect = m_view->visualRect(current);
    QVERIFY(m_view->viewport()->rect().contains(rect));
    QCOMPARE(m_view->indexAt(rect.topLeft()), current);
    QCOMPARE(m_view->indexAt(rect.bottomRight()), current);
}

void tst_UniformListView::rowsChanged_scrollRangeFollows()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    m_view->scrollTo(m_model.index(999));
    const int pageRows = m_view->viewport()->height() / m_view->rowHeight();
    QCOMPARE(bar->maximum(), 1000 - pageRows);
    QCOMPARE(m_view->topRow(), 1000 - pageRows);

    m_model.setStringList(numbered(20)); // a reset starts at the top
    QCoreApplication::processEvents();
    QCOMPARE(m_view->topRow(), 0);
    QCOMPARE(bar->maximum(), 20 - pageRows);
    m_model.removeRows(0, 15);
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), std::max(0, 5 - pageRows));
    m_model.insertRows(0, 100);
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), 105 - pageRows);
    m_model.setStringList({});
    QCoreApplication::processEvents();
    QVERIFY(!m_view->indexAt(QPoint(5, 5)).isValid());
}

QTEST_MAIN(tst_UniformListView)
#include "tst_uniformlistview.moc"
