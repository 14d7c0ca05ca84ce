// For learners: the display options (tone colours, traditional form, HSK
// level and frequency rank), the history of the entries shown in this run
// and the favourites.  The options are stored per user beside the colours.
#include "app/unit1.h"

#include "app/definitions.h"
#include "app/errorbox.h"
#include "app/favoris.h"
#include "app/strokewindows.h"
#include "lookup/chinesevariants.h"
#include "lookup/entryextras.h"
#include "lookup/wordinfo.h"
#include "settings/store.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>

using namespace Qt::StringLiterals;
using Verarov::App::guarded;
using Verarov::Settings::Language;

namespace Verarov::App {

namespace {

// The store's value of each display option, on (1) or off (0); off when
// missing.
QString storeName(TForm1::DisplayOption option)
{
    switch (option) {
    case TForm1::DisplayOption::ToneColours:
        return u"couleur des tons"_s;
    case TForm1::DisplayOption::TraditionalForm:
        return u"forme traditionnelle"_s;
    case TForm1::DisplayOption::WordLevel:
        return u"niveau HSK"_s;
    }
    return {};
}

constexpr TForm1::DisplayOption kDisplayOptions[] = {
        TForm1::DisplayOption::ToneColours,
        TForm1::DisplayOption::TraditionalForm,
        TForm1::DisplayOption::WordLevel,
};

struct Caption
{
    const char16_t *control;
    const char16_t *french;
    const char16_t *chinese;
};

constexpr Caption kCaptions[] = {
        {u"previousEntry", u"Entrée précédente", u"上一个词条"},
        {u"nextEntry", u"Entrée suivante", u"下一个词条"},
        {u"addFavourite", u"Ajouter aux favoris", u"加入收藏"},
        {u"favourites", u"Favoris...", u"收藏..."},
        {u"toneColours", u"Tons en couleur", u"声调颜色"},
        {u"traditionalForm", u"Forme traditionnelle", u"繁体字"},
        {u"wordLevel", u"Niveau HSK et fréquence", u"HSK 等级和词频"},
};

void throwIfFailed(const QString &failure)
{
    if (!failure.isEmpty())
        throw Verarov::App::Error(failure);
}

// The mouse's back and forward buttons, anywhere in the main window.
class BackForwardButtons final : public QObject
{
public:
    explicit BackForwardButtons(TForm1 *form) : QObject(form), m_form(form) { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()
            || static_cast<QWidget *>(watched)->window() != m_form)
            return false;
        const auto button = static_cast<QMouseEvent *>(event)->button();
        if (button == Qt::BackButton) {
            m_form->goBack();
            return true;
        }
        if (button == Qt::ForwardButton) {
            m_form->goForward();
            return true;
        }
        return false;
    }

private:
    TForm1 *m_form;
};

} // namespace

void TForm1::createLearnerControls()
{
    auto action = [](QMenu *menu, const QString &name, const QKeySequence &shortcut = {}) {
        QAction *a = menu->addAction(QString());
        a->setObjectName(name);
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
        return a;
    };
    Edition->addSeparator()->setObjectName(u"learnerSeparator"_s);
    m_previousEntry = action(Edition, u"previousEntry"_s, QKeySequence(Qt::ALT | Qt::Key_Left));
    m_nextEntry = action(Edition, u"nextEntry"_s, QKeySequence(Qt::ALT | Qt::Key_Right));
    m_addFavourite = action(Edition, u"addFavourite"_s, QKeySequence(Qt::CTRL | Qt::Key_D));
    m_favouritesItem = action(Edition, u"favourites"_s);
    connect(m_previousEntry, &QAction::triggered, this, &TForm1::goBack);
    connect(m_nextEntry, &QAction::triggered, this, &TForm1::goForward);
    connect(m_addFavourite, &QAction::triggered, this, &TForm1::addFavourite);
    connect(m_favouritesItem, &QAction::triggered, this, &TForm1::showFavourites);

    Options->addSeparator()->setObjectName(u"displaySeparator"_s);
    m_toneColours = action(Options, u"toneColours"_s);
    m_traditionalItem = action(Options, u"traditionalForm"_s);
    m_wordLevelItem = action(Options, u"wordLevel"_s);
    const std::pair<QAction *, DisplayOption> items[] = {
            {m_toneColours, DisplayOption::ToneColours},
            {m_traditionalItem, DisplayOption::TraditionalForm},
            {m_wordLevelItem, DisplayOption::WordLevel},
    };
    for (const auto &[item, option] : items) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this,
                [this, option = option](bool on) { setDisplayOption(option, on); });
    }

    // The traditional form in the headword panel's top right corner, the
    // level in a status bar panel of its own.
    m_traditionalForm = new QLabel(mot_ch);
    m_traditionalForm->setObjectName(u"traditionalForm"_s);
    m_traditionalForm->setTextFormat(Qt::PlainText);
    m_traditionalForm->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_traditionalForm->setFont(Verarov::App::namedFont(u"SimSun"_s, 16));
    m_traditionalForm->setGeometry(305 - 124, 2, 120, 20);
    m_traditionalForm->hide();
    m_wordLevel = new QLabel(statusBar());
    m_wordLevel->setObjectName(u"wordLevel"_s);
    m_wordLevel->setTextFormat(Qt::PlainText);
    m_wordLevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The room the two designed panels leave, whatever the text.
    m_wordLevel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(m_wordLevel, 1);
    m_wordLevel->hide();

    qApp->installEventFilter(new BackForwardButtons(this));
}

void TForm1::applyLearnerTexts(Language language)
{
    m_extrasLanguage = language;
    for (const Caption &caption : kCaptions) {
        if (auto *item = findChild<QAction *>(QString::fromUtf16(caption.control)))
            item->setText(QString::fromUtf16(language == Language::Chinese ? caption.chinese
                                                                           : caption.french));
    }
    if (m_favouritesWindow)
        m_favouritesWindow->setLanguage(language);
    if (m_traceWindow)
        m_traceWindow->setLanguage(language);
    if (m_ecrireWindow)
        m_ecrireWindow->setLanguage(language);
    showLearnerExtras();
}

QAction *TForm1::displayOptionItem(DisplayOption option) const
{
    switch (option) {
    case DisplayOption::ToneColours:
        return m_toneColours;
    case DisplayOption::TraditionalForm:
        return m_traditionalItem;
    case DisplayOption::WordLevel:
        return m_wordLevelItem;
    }
    return nullptr;
}

void TForm1::readDisplayOptions()
{
    const Verarov::Settings::Store store;
    for (DisplayOption option : kDisplayOptions)
        displayOptionItem(option)->setChecked(store.readSwitch(storeName(option)).value_or(false));
    showLearnerExtras();
}

bool TForm1::displayOption(DisplayOption option) const
{
    return displayOptionItem(option)->isChecked();
}

void TForm1::setDisplayOption(DisplayOption option, bool on)
{
    guarded(this, [&] {
        displayOptionItem(option)->setChecked(on);
        showLearnerExtras();
        throwIfFailed(Verarov::Settings::Store().writeSwitch(storeName(option), on));
    });
}

// What the options add to the shown entry.  Dictionary texts stay plain:
// the pinyin becomes rich text only with tone colours, every syllable
// escaped.
void TForm1::showLearnerExtras()
{
    if (!m_toneColours)
        return;
    const QString headword = mot_ch->text();
    const bool shown = !headword.isEmpty();
    if (shown && m_toneColours->isChecked()) {
        mot_pin->setTextFormat(Qt::RichText);
        mot_pin->setText(Verarov::Lookup::toneColouredHtml(m_shownPinyin));
    } else {
        mot_pin->setTextFormat(Qt::PlainText);
        mot_pin->setText(m_shownPinyin);
    }

    QString traditional;
    if (shown && m_traditionalItem->isChecked()) {
        const int entry = Verarov::Lookup::findEntry(m_dictionary, headword, m_shownPinyin);
        // The dictionary's own form when it gives them, else the variant
        // table's.
        traditional = entry >= 0 ? Verarov::Lookup::traditionalForms(m_dictionary)
                                           .traditional(m_dictionary, entry)
                                 : Verarov::Lookup::traditionalOf(headword);
    }
    m_traditionalForm->setText(traditional);
    m_traditionalForm->setVisible(!traditional.isEmpty());

    // Short in the panel ("HSK 1 · #1218"), in words in its tooltip.
    QString level;
    QString said;
    if (shown && m_wordLevelItem->isChecked()) {
        const Verarov::Lookup::WordInfo info = Verarov::Lookup::wordInfo(headword);
        const bool chinese = m_extrasLanguage == Language::Chinese;
        QStringList parts;
        QStringList words;
        if (info.hskLevel > 0) {
            parts.append(u"HSK %1"_s.arg(info.hskLevel));
            words.append(chinese ? u"HSK %1 级"_s.arg(info.hskLevel)
                                 : u"niveau HSK %1"_s.arg(info.hskLevel));
        }
        if (info.frequencyRank > 0) {
            parts.append(u"#%1"_s.arg(info.frequencyRank));
            words.append(chinese ? u"词频第 %1"_s.arg(info.frequencyRank)
                                 : u"rang de fréquence %1"_s.arg(info.frequencyRank));
        }
        level = parts.join(u" · "_s);
        said = words.join(chinese ? u"，"_s : u", "_s);
    }
    m_wordLevel->setText(level);
    m_wordLevel->setToolTip(said);
    m_wordLevel->setVisible(!level.isEmpty());
}

void TForm1::showTexts(const Verarov::Lookup::EntryTexts &entry)
{
    affiche_mot(entry.headword, entry.pinyin, entry.gloss);
}

void TForm1::goBack()
{
    if (const Verarov::Lookup::EntryTexts *entry = m_history.back()) {
        m_revisiting = true;
        showTexts(*entry);
        m_revisiting = false;
    }
}

void TForm1::goForward()
{
    if (const Verarov::Lookup::EntryTexts *entry = m_history.forward()) {
        m_revisiting = true;
        showTexts(*entry);
        m_revisiting = false;
    }
}

void TForm1::addFavourite()
{
    guarded(this, [&] {
        if (mot_ch->text().isEmpty())
            return;
        readFavourites();
        throwIfFailed(m_favouritesFailure);
        if (!m_favourites.add({mot_ch->text(), m_shownPinyin, motch}))
            return;
        if (m_favouritesWindow)
            m_favouritesWindow->refresh();
        throwIfFailed(m_favourites.write(Verarov::Lookup::favouritesPath()));
    });
}

bool TForm1::removeFavourite(qsizetype index)
{
    return guarded(this, [&] {
        throwIfFailed(m_favouritesFailure);
        m_favourites.remove(index);
        throwIfFailed(m_favourites.write(Verarov::Lookup::favouritesPath()));
    });
}

// Read once, on first use; a file that could not be read is never written
// over in this run.
void TForm1::readFavourites()
{
    if (m_favouritesRead)
        return;
    m_favouritesRead = true;
    m_favourites = Verarov::Lookup::Favourites::read(Verarov::Lookup::favouritesPath(),
                                                     &m_favouritesFailure);
}

void TForm1::showFavourites()
{
    guarded(this, [&] {
        const bool first = !m_favouritesRead;
        readFavourites();
        if (first && !m_favouritesFailure.isEmpty())
            Verarov::App::showError(this, m_favouritesFailure);
        if (!m_favouritesWindow)
            m_favouritesWindow = new FavouritesWindow(this, m_dictionary);
        m_favouritesWindow->setLanguage(interfaceLanguage());
        m_favouritesWindow->refresh();
        m_favouritesWindow->show();
        m_favouritesWindow->raise();
        m_favouritesWindow->activateWindow();
    });
}

} // namespace Verarov::App
