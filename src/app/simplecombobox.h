#pragma once

#include "lookup/completion.h"

#include <QWidget>

class QAbstractItemModel;
class QAbstractItemView;
class QLineEdit;
class QModelIndex;

namespace Verarov::Lookup {
class KeyListModel;
}

namespace Verarov::App {

class UniformListView;

// A simple combo box: a one-line edit over a list that is always open.
// Typing completes to the first row beginning with the text; the state
// machine in Verarov::Lookup decides, this widget forwards input to it and
// shows the state it returns.  changed() is the field's change event.
class SimpleComboBox final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimpleComboBox)

public:
    explicit SimpleComboBox(QWidget *parent = nullptr);

    // The rows: a model for the list and the same rows for the completion.
    // Neither is owned; both must outlive the box or be replaced.
    void setModel(QAbstractItemModel *model, const Verarov::Lookup::CompletionList *keys);
    void setModel(Verarov::Lookup::KeyListModel *model);

    int currentRow() const { return m_state.row; }
    QString text() const;
    // Sets the edit text as the program does: no completion, no event.
    void setText(const QString &text);

    QLineEdit *lineEdit() const { return m_edit; }
    QAbstractItemView *listView() const;

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Verarov::Lookup::FieldState editState() const;
    void apply(const Verarov::Lookup::Step &step);
    void mirror(const Verarov::Lookup::FieldState &state);
    void type(QStringView text);
    bool keyPress(QKeyEvent *event);
    void flushPendingHalf();
    void rowPicked(const QModelIndex &current);
    void textEdited(const QString &text);

    QLineEdit *m_edit;
    UniformListView *m_list;
    QAbstractItemModel *m_model = nullptr;
    const Verarov::Lookup::CompletionList *m_keys = nullptr;
    Verarov::Lookup::FieldState m_state;
    QString m_pendingHalf; // a surrogate half waiting for its other half
    bool m_showing = false;
    int m_rowAtPress = -1; // selected row when the mouse was last pressed on the list
};

} // namespace Verarov::App
