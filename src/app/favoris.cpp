#include "app/favoris.h"

#include "app/desktop.h"
#include "app/errorbox.h"
#include "app/unit1.h"
#include "lookup/favourites.h"
#include "io/messages.h"
#include "io/output.h"
#include "translate/translator.h"
#include "translate/vocabulary.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;
using Verarov::Settings::Language;

namespace Verarov::App {

FavouritesWindow::FavouritesWindow(TForm1 *main, Verarov::Dictionary::Tables dictionary)
    : QWidget(main, Qt::Window), m_main(main), m_dictionary(std::move(dictionary)),
      m_list(new QListWidget(this)), m_show(new QPushButton(this)), m_remove(new QPushButton(this)),
      m_format(new QComboBox(this)), m_export(new QPushButton(this))
{
    setObjectName(u"favourites"_s);
    m_list->setObjectName(u"list"_s);
    m_show->setObjectName(u"show"_s);
    m_remove->setObjectName(u"remove"_s);
    m_format->setObjectName(u"format"_s);
    m_export->setObjectName(u"export"_s);
    m_format->addItems({u"TSV"_s, u"CSV"_s, u"Anki"_s});
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_show);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    buttons->addWidget(m_format);
    buttons->addWidget(m_export);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(420, 320);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            showClick();
    });
    connect(m_list, &QListWidget::itemActivated, this, &FavouritesWindow::showClick);
    connect(m_show, &QPushButton::clicked, this, &FavouritesWindow::showClick);
    connect(m_remove, &QPushButton::clicked, this, &FavouritesWindow::removeClick);
    connect(m_export, &QPushButton::clicked, this, &FavouritesWindow::exportClick);
    setLanguage(Language::French);
}

void FavouritesWindow::setLanguage(Language language)
{
    m_language = language;
    const bool chinese = language == Language::Chinese;
    setWindowTitle(chinese ? u"收藏"_s : u"Favoris"_s);
    m_show->setText(chinese ? u"显示"_s : u"Afficher"_s);
    m_remove->setText(chinese ? u"删除"_s : u"Retirer"_s);
    m_export->setText(chinese ? u"导出..."_s : u"Exporter..."_s);
}

void FavouritesWindow::refresh()
{
    const int row = m_list->currentRow();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const Verarov::Lookup::EntryTexts &e : m_main->favourites().entries())
        m_list->addItem(e.headword + u"   "_s + e.pinyin + u"   "_s + e.gloss);
    if (row >= 0 && row < m_list->count())
        m_list->setCurrentRow(row);
}

void FavouritesWindow::showClick()
{
    const int row = m_list->currentRow();
    const auto &entries = m_main->favourites().entries();
    if (row >= 0 && row < entries.size())
        m_main->showTexts(entries[row]);
}

void FavouritesWindow::removeClick()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    m_main->removeFavourite(row);
    refresh();
}

void FavouritesWindow::exportClick()
{
    Verarov::App::guarded(this, [&] {
        const QString path = Verarov::App::desktop().chooseFile(this);
        if (path.isEmpty())
            return;
        // The entries of the dictionary in use; a favourite it does not
        // hold (kept from another dictionary) is left out.
        std::vector<Verarov::Translate::Vocabulary::EntryCount> entries;
        for (const Verarov::Lookup::EntryTexts &e : m_main->favourites().entries()) {
            const int entry = Verarov::Lookup::findEntry(m_dictionary, e.headword, e.pinyin);
            if (entry >= 0)
                entries.push_back({entry, 1});
        }
        static const Verarov::Translate::ReportFormat formats[] = {
                Verarov::Translate::ReportFormat::Tsv, Verarov::Translate::ReportFormat::Csv,
                Verarov::Translate::ReportFormat::Anki};
        const QByteArray bytes = Verarov::Translate::formatEntries(
                m_dictionary, entries, formats[std::clamp(m_format->currentIndex(), 0, 2)]);
        Verarov::Io::OutputFile out;
        int error = out.create(path);
        if (error == 0) {
            out.writeBytes(bytes.constData(), std::size_t(bytes.size()));
            error = out.close();
        }
        if (error == 0)
            error = out.commit();
        if (error != 0)
            throw Verarov::App::Error(Verarov::Io::createErrorMessage(path, error));
    });
}

} // namespace Verarov::App
