// TForm1: the radical browser of the page "radical".
#include "app/unit1.h"

#include "app/browserviews.h"
#include "app/errorbox.h"
#include "lookup/lookuplog.h"
#include "lookup/radicalbrowser.h"

#include <QHeaderView>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;
using Verarov::App::guarded;
using Verarov::Lookup::lcLookup;

namespace Verarov::App {

namespace {

// The absolute index of a node of ListBox, kept with the node.
constexpr int kAbsoluteIndexRole = Qt::UserRole;

} // namespace

void TForm1::createRadicalBrowser(QWidget *page)
{
    ListBox = new ClickTree(page);
    ListBox->setObjectName(u"ListBox"_s);
    ListBox->setHeaderHidden(true);
    // The hidden header measures its text in bold: keep it in the window's
    // font so start-up does not load a bold CJK face it never shows.
    ListBox->header()->setFont(font());
    ListBox->setIndentation(19);
    ListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox->setUniformRowHeights(true);
    connect(ListBox, &ClickTree::clickEnded, this, &TForm1::ListBoxClick);

    // A heading collapsed over the selected radical takes the selection: a
    // node the user no longer sees is never the one a click acts on.
    connect(ListBox, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *heading) {
        const QList<QTreeWidgetItem *> selected = ListBox->selectedItems();
        if (!selected.isEmpty() && selected.first()->parent() == heading)
            ListBox->setCurrentItem(heading);
    });

    m_characters = new Verarov::Lookup::CharacterListModel(this);
    liste_car_ch = new PickList(page);
    liste_car_ch->setObjectName(u"liste_car_ch"_s);
    liste_car_ch->setItemHeight(21);
    liste_car_ch->setModel(m_characters);
    connect(liste_car_ch, &PickList::picked, this, &TForm1::liste_car_chClick);

    m_words = new Verarov::Lookup::WordListModel(m_dictionary, this);
    liste_mots_ch = new PickList(page);
    liste_mots_ch->setObjectName(u"liste_mots_ch"_s);
    liste_mots_ch->setModel(m_words);
    connect(liste_mots_ch, &PickList::picked, this, &TForm1::liste_mots_chClick);
}

void TForm1::fillRadicalTree()
{
    if (ListBox->topLevelItemCount() > 0)
        return;
    // The nodes, collapsed: headings at the top level, their radicals below.
    QList<QTreeWidgetItem *> headings;
    QTreeWidgetItem *heading = nullptr;
    const QList<Verarov::Dictionary::RadicalNode> &tree = Verarov::Dictionary::radicalTree();
    for (qsizetype index = 0; index < tree.size(); ++index) {
        auto *node = new QTreeWidgetItem(QStringList{tree[index].caption});
        node->setData(0, kAbsoluteIndexRole, int(index));
        if (tree[index].heading) {
            heading = node;
            headings.append(node);
        } else if (heading) {
            heading->addChild(node);
        }
    }
    ListBox->addTopLevelItems(headings);
}

void TForm1::buildRadicalLists() const
{
    if (m_radicals)
        return;
    if (m_radicalSource)
        liste_chargement_rad = std::exchange(m_radicalSource, {})();
    m_radicals = Verarov::Dictionary::buildRadicalTables(liste_chargement_rad);
    for (const auto &ignored : m_radicals->ignoredLines())
        qCWarning(lcLookup).noquote()
                << "raw radical list, line" << ignored.line << "left out:" << ignored.reason;
    m_characters->setTables(*m_radicals);
}

void TForm1::setRadicalSource(std::function<QString()> source)
{
    m_radicalSource = std::move(source);
}

const Verarov::Dictionary::RadicalTables &TForm1::radicalTables() const
{
    buildRadicalLists();
    return *m_radicals;
}

void TForm1::ListBoxClick()
{
    guarded(this, [&] {
        buildRadicalLists();
        // The word list empties; the character list gets the node's rows
        // (none for a heading or no node).
        m_words->clear();
        const QList<QTreeWidgetItem *> selected = ListBox->selectedItems();
        const int n =
                selected.isEmpty() ? -1 : selected.first()->data(0, kAbsoluteIndexRole).toInt();
        m_characters->showRadical(n);
        qCDebug(lcLookup).noquote().nospace()
                << "ListBoxClick\t" << n << '\t' << m_characters->rowCount();
    });
}

void TForm1::liste_car_chClick()
{
    guarded(this, [&] {
        const int k = liste_car_ch->selectedRow();
        if (k < 0)
            return;
        car_pin = m_characters->reading(k).toString();
        car_nb_traits = m_characters->strokes(k).toString();
        const QStringView character = m_characters->character(k);
        m_words->showWordsBeginningWith(character);
        qCDebug(lcLookup).noquote().nospace()
                << "liste_car_chClick\t" << character << '\t' << m_words->rowCount();
    });
}

void TForm1::liste_mots_chClick()
{
    guarded(this, [&] {
        const int k = liste_mots_ch->selectedRow();
        if (k < 0)
            return;
        showEntry(Verarov::Lookup::rowToShow(m_words->tables(), m_words->words(), k));
    });
}

} // namespace Verarov::App
