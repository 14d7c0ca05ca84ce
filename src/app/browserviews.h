#pragma once

#include <QListView>
#include <QTreeWidget>

namespace Verarov::App {

// A tree that reports each left-button click inside it, wherever it lands
// (a node, an expand button, empty space), once the click has ended and the
// selection is settled.  Keyboard moves report nothing.
class ClickTree final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickTree)

public:
    explicit ClickTree(QWidget *parent = nullptr);

signals:
    void clickEnded();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// A list that reports rows the user picks, with the mouse (a click on a row,
// also on the row already selected) or the keyboard (a move of the
// selection); a selection set or cleared by the program reports nothing.
class PickList final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PickList)

public:
    explicit PickList(QWidget *parent = nullptr);

    // The selected row, -1 for none.
    int selectedRow() const;
    // Every row this many pixels high.
    void setItemHeight(int pixels);

signals:
    void picked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_rowAtPress = -1;
    bool m_pressed = false;
};

} // namespace Verarov::App
