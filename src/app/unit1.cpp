#include "unit1.h"

#include "application.h"

#include "aproposde.h"
#include "desktop.h"
#include "errorbox.h"
#include "keylistmodel.h"
#include "lookuplog.h"
#include "recherche.h"
#include "senses.h"
#include "simplecombobox.h"
#include "text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUrl>

using namespace Qt::StringLiterals;
using Verarov::App::guarded;
using Verarov::Dictionary::List;
using Verarov::Lookup::KeyListModel;
using Verarov::Lookup::lcLookup;

Q_LOGGING_CATEGORY(lcDisplay, "verarov.display", QtWarningMsg)

TForm1 *Form1 = nullptr;

namespace {

// Client area of the main window and height of its status bar.
constexpr QSize kClientSize(528, 367);
constexpr int kStatusBarHeight = 22;
// The status bar's panels: program and version, then a contact address.
constexpr int kStatusPanel1Width = 380;
constexpr int kStatusPanel2Width = 50;
const QString kContactAddress = QStringLiteral("ecrire@verarov.example.org");

QFont pixelFont(const QString &family, int pixelHeight, bool bold = false)
{
    return Verarov::App::namedFont(family, pixelHeight, bold);
}

QFrame *loweredPanel(QFrame *frame)
{
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    return frame;
}

} // namespace

TForm1::TForm1(Verarov::Dictionary::Tables dictionary, QWidget *parent)
    : QMainWindow(parent), m_dictionary(std::move(dictionary))
{
    setObjectName(u"Form1"_s);
    setWindowTitle(Verarov::App::applicationTitle());
    setFont(pixelFont(u"Tahoma"_s, 11));

    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setFixedSize(kClientSize.width(), kClientSize.height() - kStatusBarHeight);
    setCentralWidget(client);
    createLookup(client);
    createDisplay(client);
    createInvisibleControls(client);
    createMenu();
    createStatusBar();

    // Fixed frame: the client area and the menu bar above it.  Set directly:
    // asking the layout would compute the size hint of every control.
    setFixedSize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::createLookup(QWidget *client)
{
    auto page = [](QTabWidget *tabs, const QString &name, const QString &caption) {
        auto *sheet = new QWidget;
        sheet->setObjectName(name);
        tabs->addTab(sheet, caption);
        return sheet;
    };
    auto field = [this](QWidget *sheet, const QString &name, KeyListModel *model, QRect place,
                        const QFont &font, void (TForm1::*handler)()) {
        auto *box = new SimpleComboBox(sheet);
        box->setObjectName(name);
        box->setGeometry(place);
        box->setFont(font);
        box->setModel(model);
        connect(box, &SimpleComboBox::changed, this, handler);
        return box;
    };

    m_headwords = new KeyListModel(m_dictionary, List::liste_dico_ch, this);
    m_pinyinKeys = new KeyListModel(m_dictionary, List::liste_pin_ss_accent, this);
    m_frenchKeys = new KeyListModel(m_dictionary, List::liste_fr, this);

    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->setGeometry(8, 8, 201, 329);
    PageControl1->setFont(pixelFont(u"Tahoma"_s, 11, true));
    PageControl1->setUsesScrollButtons(false);
    TabSheet1 = page(PageControl1, u"TabSheet1"_s, u"Chinois"_s);
    TabSheet2 = page(PageControl1, u"TabSheet2"_s, u"Pinyin"_s);
    TabSheet3 = page(PageControl1, u"TabSheet3"_s, u"Français"_s);

    PageControl2 = new QTabWidget(TabSheet1);
    PageControl2->setObjectName(u"PageControl2"_s);
    PageControl2->setGeometry(3, 10, 187, 288);
    PageControl2->setDocumentMode(true); // flat tabs
    PageControl2->setUsesScrollButtons(false);
    TabSheet4 = page(PageControl2, u"TabSheet4"_s, u"liste"_s);
    TabSheet5 = page(PageControl2, u"TabSheet5"_s, u"radical"_s);

    const QFont chinese = pixelFont(u"SimSun"_s, 16);
    const QFont latin = pixelFont(u"Tahoma"_s, 11);
    liste_dico_ch = field(TabSheet4, u"liste_dico_ch"_s, m_headwords, {4, 5, 169, 257}, chinese,
                          &TForm1::liste_dico_chChange);
    liste_pin_ss_accent = field(TabSheet2, u"liste_pin_ss_accent"_s, m_pinyinKeys,
                                {11, 12, 169, 277}, latin, &TForm1::liste_pin_ss_accentChange);
    liste_fr = field(TabSheet3, u"liste_fr"_s, m_frenchKeys, {11, 12, 169, 277}, latin,
                     &TForm1::Liste_frChange);

    // The radical browser's controls; they are filled by the browser.
    ListBox = new QTreeWidget(TabSheet5);
    ListBox->setObjectName(u"ListBox"_s);
    ListBox->setGeometry(4, 4, 172, 149);
    ListBox->setHeaderHidden(true);
    // The hidden header measures its text in bold: keep it in the window's
    // font so start-up does not load a bold CJK face it never shows.
    ListBox->header()->setFont(latin);
    ListBox->setFont(chinese);
    ListBox->setIndentation(19);
    ListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);

    liste_car_ch = new QListWidget(TabSheet5);
    liste_car_ch->setObjectName(u"liste_car_ch"_s);
    liste_car_ch->setGeometry(3, 159, 46, 95);
    liste_car_ch->setFont(pixelFont(u"SimSun"_s, 21));
    liste_car_ch->setUniformItemSizes(true);

    liste_mots_ch = new QListWidget(TabSheet5);
    liste_mots_ch->setObjectName(u"liste_mots_ch"_s);
    liste_mots_ch->setGeometry(54, 159, 122, 95);
    liste_mots_ch->setFont(chinese);
    liste_mots_ch->setUniformItemSizes(true);

    PageControl1->setCurrentWidget(TabSheet1);
    PageControl2->setCurrentWidget(TabSheet4);
}

void TForm1::createDisplay(QWidget *client)
{
    mot_ch = new QLabel(client);
    mot_ch->setObjectName(u"mot_ch"_s);
    loweredPanel(mot_ch);
    mot_ch->setAlignment(Qt::AlignCenter);
    mot_ch->setGeometry(215, 28, 305, 55);
    mot_ch->setFont(pixelFont(u"SimSun"_s, 40));

    mot_pin = new QLabel(client);
    mot_pin->setObjectName(u"mot_pin"_s);
    loweredPanel(mot_pin);
    mot_pin->setAlignment(Qt::AlignCenter);
    mot_pin->setGeometry(215, 89, 305, 40);
    mot_pin->setFont(pixelFont(u"Arial"_s, 17, true));

    Panel1 = loweredPanel(new QFrame(client));
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setGeometry(215, 135, 305, 202);
    Panel1->setFont(pixelFont(u"Arial"_s, 17, true));

    mot_fr = new QTextEdit(Panel1);
    mot_fr->setObjectName(u"mot_fr"_s);
    mot_fr->setGeometry(2, 2, 301, 198);
    mot_fr->setReadOnly(true);
    mot_fr->setFrameStyle(QFrame::NoFrame);
    mot_fr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mot_fr->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mot_fr->setFont(pixelFont(u"Tahoma"_s, 15, true));
    QPalette palette = mot_fr->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    mot_fr->setPalette(palette);
    QTextOption centred = mot_fr->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    mot_fr->document()->setDefaultTextOption(centred);
}

void TForm1::createInvisibleControls(QWidget *client)
{
    // Beyond the right edge and hidden, like the other data holders.
    Quitter = new QPushButton(client);
    Quitter->setObjectName(u"Quitter"_s);
    Quitter->setFocusPolicy(Qt::NoFocus);
    Quitter->setGeometry(kClientSize.width() + 8, 8, 75, 25);
    Quitter->hide();
    connect(Quitter, &QPushButton::clicked, this, &TForm1::QuitterClick);
}

void TForm1::createStatusBar()
{
    auto *status = new QStatusBar(this);
    status->setObjectName(u"StatusBar1"_s);
    status->setFixedHeight(kStatusBarHeight);
    status->setSizeGripEnabled(false);
    auto panel = [status](const QString &text, int width, Qt::Alignment alignment) {
        auto *label = new QLabel(text, status);
        label->setFixedWidth(width);
        label->setAlignment(alignment | Qt::AlignVCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        status->addWidget(label);
        return label;
    };
    panel(u"Verarov 2.0"_s, kStatusPanel1Width, Qt::AlignLeft);
    QLabel *contact = panel({}, kStatusPanel2Width, Qt::AlignHCenter);
    contact->setText(contact->fontMetrics().elidedText(kContactAddress, Qt::ElideRight,
                                                       kStatusPanel2Width - 4));
    contact->setToolTip(kContactAddress);
    setStatusBar(status);
}

void TForm1::createMenu()
{
    auto action = [this](QMenu *menu, const QString &name, const QString &caption,
                         const QKeySequence &shortcut = {}) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(name);
        a->setShortcut(shortcut);
        return a;
    };
    auto submenu = [](QWidget *parent, const QString &name, const QString &caption) {
        auto *m = new QMenu(caption, parent);
        m->setObjectName(name);
        return m;
    };

    Edition = submenu(this, u"Edition"_s, u"&Edition"_s);
    menuBar()->addMenu(Edition);
    Copier = action(Edition, u"Copier"_s, u"&Copier"_s, QKeySequence(Qt::CTRL | Qt::Key_C));
    Effacer = action(Edition, u"Effacer"_s, u"E&ffacer"_s, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    Rechercher = action(Edition, u"Rechercher"_s, u"Rec&hercher"_s, QKeySequence(Qt::CTRL | Qt::Key_F));
    Edition->addSeparator()->setObjectName(u"N2"_s);
    Traduire = action(Edition, u"Traduire"_s, u"&Traduire..."_s, QKeySequence(Qt::CTRL | Qt::Key_T));
    Edition->addSeparator()->setObjectName(u"N3"_s);
    Quitter1 = action(Edition, u"Quitter1"_s, u"&Quitter"_s, QKeySequence(Qt::CTRL | Qt::Key_Q));

    Options = submenu(this, u"Options"_s, u"&Options"_s);
    menuBar()->addMenu(Options);
    Langue = submenu(Options, u"Langue"_s, u"&Langue"_s);
    Options->addMenu(Langue);
    langue_fr = action(Langue, u"langue_fr"_s, u"Français"_s);
    langue_fr->setCheckable(true);
    langue_fr->setChecked(true);
    langue_ch = action(Langue, u"langue_ch"_s, u"中文"_s + QString(28, u' '));
    langue_ch->setCheckable(true);
    Couleur = submenu(Options, u"Couleur"_s, u"&Couleurs"_s);
    Options->addMenu(Couleur);
    texte = action(Couleur, u"texte"_s, u"Fond texte"_s);
    texte->setData(1);
    Couleur->addSeparator()->setObjectName(u"N4"_s);
    traduction_ch = action(Couleur, u"traduction_ch"_s, u"Traduction - chinois"_s);
    traduction_ch->setData(8);
    traduction_pin = action(Couleur, u"traduction_pin"_s, u"Traduction - pinyin"_s);
    traduction_pin->setData(9);
    traduction_fr = action(Couleur, u"traduction_fr"_s, u"Traduction - français"_s);
    traduction_fr->setData(10);
    Options->addSeparator()->setObjectName(u"N5"_s);
    Initialisation = action(Options, u"Initialisation"_s, u"&Initialiser"_s,
                            QKeySequence(Qt::CTRL | Qt::Key_I));

    Aide1 = submenu(this, u"Aide1"_s, u"?"_s);
    menuBar()->addMenu(Aide1);
    Aide = action(Aide1, u"Aide"_s, u"&Aide"_s, QKeySequence(Qt::Key_F1));
    Aide1->addSeparator()->setObjectName(u"N1"_s);
    Apropos = action(Aide1, u"Apropos"_s, u"A &propos de..."_s);

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
}

void TForm1::FormCreate(const QString &commandLine)
{
    guarded(this, [&] {
        // Stored settings and colours: none kept yet.
        // Interface language from the settings: French only for now.
        // Radical lists and row ranges: none yet.
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
    mot_pin->setText(pinyin.toString());
    TnTmot = gloss.toString();
    tri_mot_fr();
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

void TForm1::prepareLookups()
{
    m_headwords->buildIndex();
    m_pinyinKeys->buildIndex();
    m_frenchKeys->buildIndex();
}

void TForm1::showEntry(int entry, QStringView gloss)
{
    affiche_mot(m_dictionary.headword(entry), m_dictionary.pinyin(entry), gloss);
}

void TForm1::liste_dico_chChange()
{
    const int row = liste_dico_ch->currentRow();
    if (row < 0)
        return;
    qCDebug(lcLookup) << "liste_dico_chChange entry" << row;
    showEntry(row, Verarov::trimmed(m_dictionary.gloss(row)));
}

void TForm1::liste_pin_ss_accentChange()
{
    const int row = liste_pin_ss_accent->currentRow();
    if (row < 0)
        return;
    const int e = m_pinyinKeys->entry(row);
    qCDebug(lcLookup) << "liste_pin_ss_accentChange entry" << e;
    showEntry(e, Verarov::trimmed(m_dictionary.gloss(e)));
}

void TForm1::Liste_frChange()
{
    const int row = liste_fr->currentRow();
    if (row < 0)
        return;
    const int e = m_frenchKeys->entry(row);
    qCDebug(lcLookup) << "Liste_frChange entry" << e;
    showEntry(e, m_dictionary.gloss(e)); // as stored
}

void TForm1::CopierClick()
{
    guarded(this, [&] {
        QGuiApplication::clipboard()->setText(
                Verarov::Lookup::copyText(mot_ch->text(), mot_pin->text(), motch));
    });
}

void TForm1::EffacerClick()
{
    guarded(this, [&] {
        liste_dico_ch->setText({});
        liste_pin_ss_accent->setText({});
        liste_fr->setText({});
        liste_car_ch->clear();
        car_pin.clear();
        liste_mots_ch->clear();
        liste_mots_pin.clear();
        liste_mots_fr.clear();
        mot_ch->clear();
        mot_pin->clear();
        mot_fr->clear();
        m_motFr.clear();
        motch.clear();
        PageControl1->setCurrentWidget(TabSheet1);
        PageControl2->setCurrentWidget(TabSheet4);
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
        Form2->show();
        Form2->raise();
        Form2->activateWindow();
    });
}

void TForm1::AideClick()
{
    guarded(this, [&] {
        const QString page = langue_fr->isChecked() ? u"dico_aide/"_s : u"dico_aide_cn/"_s;
        Verarov::App::desktop().openUrl(QUrl(Verarov::App::siteAddress() + page));
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
