#include "app/simplecombobox.h"

#include "app/uniformlistview.h"
#include "lookup/keylistmodel.h"

#include <QAction>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace Verarov::Lookup;

namespace Verarov::App {

namespace {

// Rows of no model: the completion finds nothing.
class NoKeys final : public CompletionList
{
public:
    int keyCount() const override { return 0; }
    QStringView key(int) const override { return {}; }
};
const NoKeys kNoKeys;

bool isTypedCharacter(const QString &text)
{
    return !text.isEmpty() && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7f;
}

// True when the key is the shortcut of an enabled action of the window:
// menu shortcuts act wherever the focus is, also inside the edit.
bool isWindowShortcut(const QWidget *widget, const QKeyEvent *event)
{
    const QKeySequence pressed(event->keyCombination());
    const QList<QAction *> actions = widget->window()->findChildren<QAction *>();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction *action) {
        return action->isEnabled() && action->shortcuts().contains(pressed);
    });
}

} // namespace

SimpleComboBox::SimpleComboBox(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_list(new UniformListView(this)),
      m_keys(&kNoKeys)
{
    m_edit->setObjectName(u"edit"_s);
    m_list->setObjectName(u"list"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_list, 1);

    // The focus stays in the edit; the list takes clicks, and the arrow keys
    // typed in the edit.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);

    m_edit->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &SimpleComboBox::textEdited);
    // A click on the row already selected picks it again: the list reports
    // no change of row for it.
    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() == m_rowAtPress && index.row() == m_state.row) {
            flushPendingHalf();
            apply(pickRow(editState(), index.row(), *m_keys));
        }
    });
}

void SimpleComboBox::setModel(QAbstractItemModel *model, const CompletionList *keys)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_keys = keys ? keys : &kNoKeys;
    m_list->setModel(model);
    m_state.row = -1;
    if (model) {
        connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &SimpleComboBox::rowPicked, Qt::UniqueConnection);
        // New rows: the list has no selection any more, nor has the field.
        connect(model, &QAbstractItemModel::modelReset, this, [this] { m_state.row = -1; });
    }
}

void SimpleComboBox::setModel(KeyListModel *model)
{
    setModel(model, model);
}

QAbstractItemView *SimpleComboBox::listView() const
{
    return m_list;
}

QString SimpleComboBox::text() const
{
    return m_edit->text();
}

void SimpleComboBox::setText(const QString &text)
{
    m_pendingHalf.clear();
    mirror(programText(editState(), text));
}

FieldState SimpleComboBox::editState() const
{
    FieldState state;
    state.text = m_edit->text();
    if (m_edit->hasSelectedText()) {
        state.selStart = m_edit->selectionStart();
        state.selEnd = m_edit->selectionEnd();
    } else {
        state.selStart = state.selEnd = m_edit->cursorPosition();
    }
    state.row = m_state.row;
    return state;
}

void SimpleComboBox::apply(const Step &step)
{
    mirror(step.state);
    if (step.fires)
        emit changed();
}

void SimpleComboBox::mirror(const FieldState &state)
{
    m_showing = true;
    if (m_edit->text() != state.text)
        m_edit->setText(state.text);
    if (state.selEnd > state.selStart)
        m_edit->setSelection(int(state.selStart), int(state.selEnd - state.selStart));
    else
        m_edit->setCursorPosition(int(state.selStart));
    if (m_model && state.row >= 0) {
        // The selected row is kept in view, also when a completion lands
        // on the row already selected.
        const QModelIndex index = m_model->index(state.row, 0);
        if (state.row != m_state.row)
            m_list->setCurrentIndex(index);
        m_list->scrollTo(index);
    } else if (m_model && state.row != m_state.row) {
        m_list->selectionModel()->clear();
    }
    m_state = state;
    m_showing = false;
}

void SimpleComboBox::type(QStringView text)
{
    while (!text.isEmpty()) {
        const Step step = typeCharacter(editState(), text, *m_keys);
        apply(step);
        text = text.sliced(step.consumed);
    }
}

void SimpleComboBox::flushPendingHalf()
{
    if (m_pendingHalf.isEmpty())
        return;
    const QString half = std::exchange(m_pendingHalf, QString());
    type(half);
}

bool SimpleComboBox::keyPress(QKeyEvent *event)
{
    const QString text = event->text();
    if (!m_pendingHalf.isEmpty()) {
        if (isTypedCharacter(text)) {
            type(std::exchange(m_pendingHalf, QString()) + text);
            return true;
        }
        flushPendingHalf();
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
        apply(backspace(editState()));
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QCoreApplication::sendEvent(m_list, event);
        return true;
    default:
        break;
    }
    if (!isTypedCharacter(text))
        return false;
    if (text.size() == 1 && text[0].isSurrogate()) {
        // Half a pair: the other half is normally the next event already
        // queued; if it is not, the half goes to the edit as typed.
        m_pendingHalf = text;
        QMetaObject::invokeMethod(this, &SimpleComboBox::flushPendingHalf, Qt::QueuedConnection);
        return true;
    }
    type(text);
    return true;
}

bool SimpleComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_rowAtPress = m_state.row;
        return QWidget::eventFilter(watched, event);
    }
    if (watched != m_edit)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Not claimed by the edit, the key goes to the window's shortcut.
        return isWindowShortcut(this, static_cast<QKeyEvent *>(event));
    case QEvent::KeyPress:
        return keyPress(static_cast<QKeyEvent *>(event));
    case QEvent::InputMethod: {
        const auto *im = static_cast<QInputMethodEvent *>(event);
        if (im->preeditString().isEmpty() && im->replacementLength() == 0
            && isTypedCharacter(im->commitString())) {
            flushPendingHalf();
            type(im->commitString());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void SimpleComboBox::rowPicked(const QModelIndex &current)
{
    if (m_showing)
        return;
    flushPendingHalf();
    apply(pickRow(editState(), current.isValid() ? current.row() : -1, *m_keys));
}

void SimpleComboBox::textEdited(const QString &text)
{
    if (m_showing)
        return;
    apply(otherEdit(m_state, text, m_edit->cursorPosition()));
}

} // namespace Verarov::App
