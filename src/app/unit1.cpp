#include "app/unit1.h"

#include "app/application.h"
#include "app/strokewindows.h"
#include "app/aproposde.h"
#include "app/browserviews.h"
#include "app/controlcolours.h"
#include "app/definitions.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "app/recherche.h"
#include "app/simplecombobox.h"
#include "lookup/keylistmodel.h"
#include "lookup/lookuplog.h"
#include "lookup/radicalbrowser.h"
#include "lookup/senses.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QThread>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QUrl>

using namespace Qt::StringLiterals;
using Verarov::App::guarded;
using Verarov::Dictionary::List;
using Verarov::Lookup::KeyListModel;
using Verarov::Lookup::lcLookup;
using Verarov::Settings::Language;

namespace Verarov::App {

Q_LOGGING_CATEGORY(lcDisplay, "verarov.display", QtWarningMsg)

TForm1 *Form1 = nullptr;

namespace {

const QString kContactAddress = QStringLiteral("ecrire@verarov.org");

QFrame *loweredPanel(QFrame *frame)
{
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    return frame;
}

// Tabs drawn as flat buttons: the current one pressed, the others plain.
const QString kFlatButtonTabs = QStringLiteral(
        "QTabBar::tab { border: 1px solid transparent; padding: 2px 8px; margin: 1px; }"
        "QTabBar::tab:selected { border: 1px solid palette(dark); background: palette(midlight); }"
        "QTabBar::tab:hover:!selected { border: 1px solid palette(mid); }");

// A tab bar whose tabs keep the height of the captions it had when told
// to: the pages below then keep their designed size when the captions
// change language (a CJK face has a taller line than a Latin one, while
// its characters are no taller).
class FixedHeightTabBar final : public QTabBar
{
public:
    using QTabBar::QTabBar;

    void keepTabHeight()
    {
        m_height = 0;
        m_height = count() > 0 ? tabSizeHint(0).height() : 0;
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        if (m_height > 0)
            size.setHeight(m_height);
        return size;
    }

private:
    int m_height = 0;
};

// A tab control with such a tab bar.
class PageControl final : public QTabWidget
{
public:
    explicit PageControl(QWidget *parent) : QTabWidget(parent), m_tabs(new FixedHeightTabBar(this))
    {
        setTabBar(m_tabs);
    }

    void keepTabHeight() { m_tabs->keepTabHeight(); }

private:
    FixedHeightTabBar *m_tabs;
};

} // namespace

TForm1::TForm1(Verarov::Dictionary::Tables dictionary, QWidget *parent)
    : TForm1(std::move(dictionary), QString(), parent)
{ }

TForm1::TForm1(Verarov::Dictionary::Tables dictionary, QString rawRadicalList, QWidget *parent)
    : QMainWindow(parent), m_dictionary(std::move(dictionary)),
      liste_chargement_rad(std::move(rawRadicalList))
{
    setObjectName(u"Form1"_s);
    setWindowTitle(Verarov::App::applicationTitle());
    setFont(Verarov::App::namedFont(u"Tahoma"_s, 11));

    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setFixedSize(Verarov::App::kMainClientSize.width(),
                         Verarov::App::kMainClientSize.height() - Verarov::App::kStatusBarHeight);
    setCentralWidget(client);
    createLookup(client);
    createDisplay(client);
    createInvisibleControls(client);
    createMenu();
    createStatusBar();
    createLearnerControls();
    Verarov::App::applySpecs(this, Verarov::App::mainWindowDefinition());
    applyTexts(Language::French);
    // The tabs keep the height of the designed captions in either language.
    static_cast<PageControl *>(PageControl1)->keepTabHeight();
    static_cast<PageControl *>(PageControl2)->keepTabHeight();
    // The designed position.
    move(0, 0);
}

TForm1::~TForm1()
{
    if (m_speaking) {
        m_speaking->wait();
        delete m_speaking;
    }
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::applyTexts(Language language)
{
    Verarov::App::applySpecs(this, Verarov::App::mainWindowTexts(language));
    applyLearnerTexts(language);
    // Fixed frame: the client area and the menu bar above it, whose height
    // follows its captions.  Set directly: asking the layout would compute
    // the size hint of every control.
    setFixedSize(Verarov::App::kMainClientSize.width(),
                 Verarov::App::kMainClientSize.height() + menuBar()->sizeHint().height());
}

void TForm1::createLookup(QWidget *client)
{
    auto page = [](QTabWidget *tabs, const QString &name) {
        auto *sheet = new QWidget;
        sheet->setObjectName(name);
        tabs->addTab(sheet, QString());
        return sheet;
    };
    auto field = [this](QWidget *sheet, const QString &name, KeyListModel *model,
                        void (TForm1::*handler)()) {
        auto *box = new SimpleComboBox(sheet);
        box->setObjectName(name);
        box->setModel(model);
        connect(box, &SimpleComboBox::changed, this, handler);
        return box;
    };

    m_headwords = new KeyListModel(m_dictionary, List::Headwords, this);
    m_pinyinKeys = new KeyListModel(m_dictionary, List::PinyinKeys, this);
    m_frenchKeys = new KeyListModel(m_dictionary, List::FrenchKeys, this);

    PageControl1 = new PageControl(client);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setUsesScrollButtons(false);
    TabSheet1 = page(PageControl1, u"TabSheet1"_s);
    TabSheet2 = page(PageControl1, u"TabSheet2"_s);
    TabSheet3 = page(PageControl1, u"TabSheet3"_s);

    PageControl2 = new PageControl(TabSheet1);
    PageControl2->setObjectName(u"PageControl2"_s);
    PageControl2->setDocumentMode(true);
    PageControl2->setUsesScrollButtons(false);
    PageControl2->tabBar()->setDrawBase(false);
    // On the tab bar only: a style sheet on the tab control would also style
    // the fields of its pages and hold their palettes (colour settings).
    PageControl2->tabBar()->setStyleSheet(kFlatButtonTabs);
    TabSheet4 = page(PageControl2, u"TabSheet4"_s);
    TabSheet5 = page(PageControl2, u"TabSheet5"_s);
    connect(PageControl2, &QTabWidget::currentChanged, this, [this] {
        if (PageControl2->currentWidget() == TabSheet5) {
            fillRadicalTree();
            buildRadicalLists();
        }
    });

    liste_dico_ch = field(TabSheet4, u"liste_dico_ch"_s, m_headwords, &TForm1::liste_dico_chChange);
    liste_pin_ss_accent = field(TabSheet2, u"liste_pin_ss_accent"_s, m_pinyinKeys,
                                &TForm1::liste_pin_ss_accentChange);
    liste_fr = field(TabSheet3, u"liste_fr"_s, m_frenchKeys, &TForm1::Liste_frChange);

    createRadicalBrowser(TabSheet5);

    PageControl1->setCurrentWidget(TabSheet1);
    PageControl2->setCurrentWidget(TabSheet4);
}

void TForm1::createDisplay(QWidget *client)
{
    mot_ch = new QLabel(client);
    mot_ch->setObjectName(u"mot_ch"_s);
    // Dictionary text is shown as written, never read as markup.
    mot_ch->setTextFormat(Qt::PlainText);
    loweredPanel(mot_ch);
    mot_ch->setAlignment(Qt::AlignCenter);

    mot_pin = new QLabel(client);
    mot_pin->setObjectName(u"mot_pin"_s);
    mot_pin->setTextFormat(Qt::PlainText);
    loweredPanel(mot_pin);
    mot_pin->setAlignment(Qt::AlignCenter);

    Panel1 = loweredPanel(new QFrame(client));
    Panel1->setObjectName(u"Panel1"_s);

    mot_fr = new QTextEdit(Panel1);
    mot_fr->setObjectName(u"mot_fr"_s);
    mot_fr->setReadOnly(true);
    mot_fr->setFrameStyle(QFrame::NoFrame);
    mot_fr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mot_fr->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Button-face background, following the desktop's scheme.
    Verarov::App::setControlColour(
            mot_fr, Verarov::App::ColourPart::Background,
            Verarov::Settings::systemColour(Verarov::Settings::kSystemButtonFace));
    QTextOption centred = mot_fr->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    mot_fr->document()->setDefaultTextOption(centred);
}

void TForm1::createInvisibleControls(QWidget *client)
{
    Quitter = new QPushButton(client);
    Quitter->setObjectName(u"Quitter"_s);
    Quitter->setFocusPolicy(Qt::NoFocus);
    Quitter->hide();
    connect(Quitter, &QPushButton::clicked, this, &TForm1::QuitterClick);
}

void TForm1::createStatusBar()
{
    auto *status = new QStatusBar(this);
    status->setObjectName(u"StatusBar1"_s);
    status->setFixedHeight(Verarov::App::kStatusBarHeight);
    status->setSizeGripEnabled(false);
    auto panel = [status](const QString &text, int width, Qt::Alignment alignment) {
        auto *label = new QLabel(text, status);
        label->setFixedWidth(width);
        label->setAlignment(alignment | Qt::AlignVCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(label);
        return label;
    };
    panel(u"Verarov 2.0"_s, Verarov::App::kStatusPanel1Width, Qt::AlignLeft);
    QLabel *contact = panel({}, Verarov::App::kStatusPanel2Width, Qt::AlignHCenter);
    contact->setText(contact->fontMetrics().elidedText(kContactAddress, Qt::ElideRight,
                                                       Verarov::App::kStatusPanel2Width - 4));
    contact->setToolTip(kContactAddress);
    setStatusBar(status);
}

void TForm1::createMenu()
{
    // Captions come from the interface language's table.
    auto action = [](QMenu *menu, const QString &name, const QKeySequence &shortcut = {}) {
        QAction *a = menu->addAction(QString());
        a->setObjectName(name);
        a->setShortcut(shortcut);
        return a;
    };
    auto submenu = [](QWidget *parent, const QString &name) {
        auto *m = new QMenu(parent);
        m->setObjectName(name);
        return m;
    };

    Edition = submenu(this, u"Edition"_s);
    menuBar()->addMenu(Edition);
    Copier = action(Edition, u"Copier"_s, QKeySequence(Qt::CTRL | Qt::Key_C));
    Effacer = action(Edition, u"Effacer"_s, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    Rechercher = action(Edition, u"Rechercher"_s, QKeySequence(Qt::CTRL | Qt::Key_F));
    Edition->addSeparator()->setObjectName(u"N2"_s);
    Traduire = action(Edition, u"Traduire"_s, QKeySequence(Qt::CTRL | Qt::Key_T));
    createStrokeMenu();
    Edition->addSeparator()->setObjectName(u"N3"_s);
    Quitter1 = action(Edition, u"Quitter1"_s, QKeySequence(Qt::CTRL | Qt::Key_Q));

    Options = submenu(this, u"Options"_s);
    menuBar()->addMenu(Options);
    Langue = submenu(Options, u"Langue"_s);
    Options->addMenu(Langue);
    // The two language items show their own names in both languages.
    m_languages = new QActionGroup(this);
    m_languages->setExclusive(true);
    langue_fr = action(Langue, u"langue_fr"_s);
    langue_fr->setText(u"Français"_s);
    langue_ch = action(Langue, u"langue_ch"_s);
    langue_ch->setText(u"中文"_s + QString(28, u' '));
    for (QAction *item : {langue_fr, langue_ch}) {
        item->setCheckable(true);
        m_languages->addAction(item);
    }
    langue_fr->setChecked(true);
    Couleur = submenu(Options, u"Couleur"_s);
    Options->addMenu(Couleur);
    texte = action(Couleur, u"texte"_s);
    texte->setData(Verarov::App::colourTag(Verarov::Settings::Colour::TextFields));
    Couleur->addSeparator()->setObjectName(u"N4"_s);
    traduction_ch = action(Couleur, u"traduction_ch"_s);
    traduction_ch->setData(Verarov::App::colourTag(Verarov::Settings::Colour::ShownHeadword));
    traduction_pin = action(Couleur, u"traduction_pin"_s);
    traduction_pin->setData(Verarov::App::colourTag(Verarov::Settings::Colour::ShownPinyin));
    traduction_fr = action(Couleur, u"traduction_fr"_s);
    traduction_fr->setData(Verarov::App::colourTag(Verarov::Settings::Colour::ShownGloss));
    Options->addSeparator()->setObjectName(u"N5"_s);
    Initialisation = action(Options, u"Initialisation"_s, QKeySequence(Qt::CTRL | Qt::Key_I));

    Aide1 = submenu(this, u"Aide1"_s);
    Aide1->setTitle(u"?"_s);
    menuBar()->addMenu(Aide1);
    Aide = action(Aide1, u"Aide"_s, QKeySequence(Qt::Key_F1));
    Aide1->addSeparator()->setObjectName(u"N1"_s);
    Apropos = action(Aide1, u"Apropos"_s);

    // Menu shortcuts act wherever the focus is in the window.
    for (QAction *a : findChildren<QAction *>())
        a->setShortcutContext(Qt::WindowShortcut);

    connect(Copier, &QAction::triggered, this, &TForm1::CopierClick);
    connect(Effacer, &QAction::triggered, this, &TForm1::EffacerClick);
    connect(Rechercher, &QAction::triggered, this, &TForm1::RechercherClick);
    connect(Traduire, &QAction::triggered, this, &TForm1::TraduireClick);
    connect(Quitter1, &QAction::triggered, this, &TForm1::QuitterClick);
    connect(Aide, &QAction::triggered, this, &TForm1::AideClick);
    connect(Apropos, &QAction::triggered, this, &TForm1::AproposClick);
    connect(langue_fr, &QAction::triggered, this, &TForm1::langue_frClick);
    connect(langue_ch, &QAction::triggered, this, &TForm1::langue_chClick);
    for (QAction *item : {texte, traduction_ch, traduction_pin, traduction_fr})
        connect(item, &QAction::triggered, this, [this, item] { change_couleur(item); });
    connect(Initialisation, &QAction::triggered, this, &TForm1::InitialisationClick);
}

const KeyListModel &TForm1::fieldModel(List field) const
{
    switch (field) {
    case List::PinyinKeys:
        return *m_pinyinKeys;
    case List::FrenchKeys:
        return *m_frenchKeys;
    default:
        return *m_headwords;
    }
}

void TForm1::setFieldText(List field, const QString &text)
{
    switch (field) {
    case List::PinyinKeys:
        liste_pin_ss_accent->setText(text);
        break;
    case List::FrenchKeys:
        liste_fr->setText(text);
        break;
    default:
        liste_dico_ch->setText(text);
        break;
    }
}

std::optional<Verarov::Settings::ColourValue> TForm1::textFieldColour() const
{
    return Verarov::App::controlColour(liste_mots_ch, Verarov::App::ColourPart::Background);
}

Language TForm1::interfaceLanguage() const
{
    return langue_ch->isChecked() ? Language::Chinese : Language::French;
}

void TForm1::FormCreate(const QString &commandLine)
{
    guarded(this, [&] {
        // Stored settings and colours, then the interface language; their
        // failures are shown on the spot and start-up goes on.
        const Language language = readSettings();
        readDisplayOptions();
        if (language == Language::Chinese)
            langue_chClick();
        else
            Verarov::App::useToolkitLanguage(Language::French);
        // Command-line mode: translate the first argument, then end.  A
        // failure throws before the quit request: the run goes on.
        if (!commandLine.isEmpty()) {
            traduire_fichier(commandLine);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
    });
}

void TForm1::affiche_mot(QStringView headword, QStringView pinyin, QStringView gloss)
{
    qCDebug(lcDisplay).noquote().nospace()
            << "affiche_mot\t" << headword << '\t' << pinyin << '\t' << gloss;
    mot_ch->setText(headword.toString());
    m_shownPinyin = pinyin.toString();
    mot_pin->setText(m_shownPinyin);
    if (m_traceWindow && m_traceWindow->isVisible())
        m_traceWindow->setHeadword(headword.toString());
    TnTmot = gloss.toString();
    tri_mot_fr();
    if (!m_revisiting)
        m_history.visit({mot_ch->text(), m_shownPinyin, motch}, m_refining);
    m_typedIn = nullptr;
    showLearnerExtras();
}

void TForm1::tri_mot_fr()
{
    motch = TnTmot;
    m_motFr = Verarov::Lookup::sensesText(TnTmot);
    // The view shows every sense in Arial, keeping size and weight.
    QFont font = mot_fr->font();
    font.setFamily(Verarov::App::fontFamily(u"Arial"_s));
    mot_fr->setFont(font);
    mot_fr->setPlainText(QString(m_motFr).replace(u"\r\n"_s, u"\n"_s));
}

void TForm1::showEntry(const Verarov::Lookup::ShownEntry &entry)
{
    if (entry.isValid())
        affiche_mot(entry.headword, entry.pinyin, entry.gloss);
}

// The three change events: the selected row of the field, its entry, and
// the gloss in the field's form.
void TForm1::fieldChange(const SimpleComboBox *field, const KeyListModel &model)
{
    const int row = field->currentRow();
    if (row < 0)
        return;
    qCDebug(lcLookup).noquote() << field->objectName() << "row" << row << "entry"
                                << model.entry(row);
    // Typing on in the same field refines the last visit of the history.
    const QLineEdit *edit = field->lineEdit();
    const QString text =
            edit->hasSelectedText() ? edit->text().left(edit->selectionStart()) : edit->text();
    m_refining = field == m_typedIn && !text.isEmpty() && !m_typedText.isEmpty()
                 && (text.startsWith(m_typedText) || m_typedText.startsWith(text));
    showEntry(Verarov::Lookup::rowToShow(model.keys(), row));
    m_refining = false;
    m_typedIn = field;
    m_typedText = text;
}

void TForm1::liste_dico_chChange()
{
    fieldChange(liste_dico_ch, *m_headwords);
}

void TForm1::liste_pin_ss_accentChange()
{
    fieldChange(liste_pin_ss_accent, *m_pinyinKeys);
}

void TForm1::Liste_frChange()
{
    fieldChange(liste_fr, *m_frenchKeys);
}

void TForm1::CopierClick()
{
    guarded(this, [&] {
        Verarov::App::desktop().setClipboardText(
                Verarov::Lookup::copyText(mot_ch->text(), m_shownPinyin, motch));
    });
}

void TForm1::EffacerClick()
{
    guarded(this, [&] {
        liste_dico_ch->setText({});
        liste_pin_ss_accent->setText({});
        liste_fr->setText({});
        m_characters->clear(); // liste_car_ch
        car_pin.clear();
        m_words->clear(); // liste_mots_ch, liste_mots_pin, liste_mots_fr
        mot_ch->clear();
        mot_pin->clear();
        m_shownPinyin.clear();
        mot_fr->clear();
        m_motFr.clear();
        motch.clear();
        PageControl1->setCurrentWidget(TabSheet1);
        PageControl2->setCurrentWidget(TabSheet4);
        showLearnerExtras();
    });
}

void TForm1::RechercherClick()
{
    guarded(this, [&] {
        Form3 = new TForm3(this);
        Form3->show();
    });
}

void TForm1::QuitterClick()
{
    close();
}

void TForm1::AproposClick()
{
    guarded(this, [&] {
        // Made on first use, then the same box each time.
        if (!Form2)
            Form2 = new TForm2(this);
        Form2->show();
        Form2->raise();
        Form2->activateWindow();
    });
}

void TForm1::AideClick()
{
    guarded(this, [&] {
        const QString page = langue_fr->isChecked() ? u"dico_aide"_s : u"dico_aide_cn"_s;
        const QString programFolder = QCoreApplication::applicationDirPath();
        Verarov::App::desktop().openUrl(
                Verarov::App::helpAddress(page, Verarov::App::dataFolders(programFolder)));
    });
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever else is open.
    event->accept();
    QCoreApplication::quit();
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    // Escape that no control kept: the cancel button's click.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Quitter->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace Verarov::App
