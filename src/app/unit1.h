#pragma once

#include "dictionary/radicals.h"
#include "dictionary/tables.h"
#include "lookup/favourites.h"
#include "lookup/history.h"
#include "lookup/shownentry.h"
#include "app/controlcolours.h"
#include "settings/store.h"
#include "translate/translator.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QThread;

namespace Verarov::App {
class HandwritingWindow;
class StrokeOrderWindow;
} // namespace Verarov::App

namespace Verarov::Lookup {
class CharacterListModel;
class KeyListModel;
class WordListModel;
} // namespace Verarov::Lookup

namespace Verarov::App {

class ClickTree;
class FavouritesWindow;
class PickList;
class SimpleComboBox;

// The main window: the dictionary, the lookups and the shown entry.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    explicit TForm1(Verarov::Dictionary::Tables dictionary, QWidget *parent = nullptr);
    // With the raw radical list the window carries (liste_chargement_rad,
    // its lines as one text).
    TForm1(Verarov::Dictionary::Tables dictionary, QString liste_chargement_rad,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // The creation step, run once right after Form1 is assigned.
    // commandLine: the first command-line argument (empty for none).
    void FormCreate(const QString &commandLine);

    // The rows of a lookup field (liste_dico_ch, liste_pin_ss_accent or
    // liste_fr), as the field shows them.
    const Verarov::Lookup::KeyListModel &fieldModel(Verarov::Dictionary::List field) const;
    // Sets a lookup field's edit text as the program does: no completion,
    // no change event, no change of page.
    void setFieldText(Verarov::Dictionary::List field, const QString &text);

    // The text-field colour value liste_mots_ch has now; nothing while it
    // has its designed colour.
    std::optional<Verarov::Settings::ColourValue> textFieldColour() const;
    // The interface language whose menu item (langue_fr, langue_ch) is ticked.
    Verarov::Settings::Language interfaceLanguage() const;

    // Entry display.
    void affiche_mot(QStringView headword, QStringView pinyin, QStringView gloss);
    void tri_mot_fr();
    // Shows what a lookup found; nothing when it found nothing.
    void showEntry(const Verarov::Lookup::ShownEntry &entry);
    // The text of the sense view, senses separated by CR LF.
    const QString &motFrText() const { return m_motFr; }

    // Change events of the three lookup fields.
    void liste_dico_chChange();
    void liste_pin_ss_accentChange();
    void Liste_frChange();

    // Radical browser: a click in the tree, a character or a word picked.
    void ListBoxClick();
    void liste_car_chClick();
    void liste_mots_chClick();
    // The radical character lists and row ranges, split from the raw
    // radical list when first needed (the page "radical" first shown, a
    // click in its tree): start-up does not wait for them.
    const Verarov::Dictionary::RadicalTables &radicalTables() const;
    // The raw radical list read from source when first needed (as above)
    // instead of the one given at creation: start-up does not decode it.
    void setRadicalSource(std::function<QString()> source);

    void CopierClick();
    void EffacerClick();
    void RechercherClick();
    void TraduireClick();
    void QuitterClick();
    void AproposClick();
    void AideClick();
    // Tracé and Écrire: the stroke order of the shown headword, and
    // handwriting whose picked character is typed into liste_dico_ch.
    void PrononcerClick();
    void TraceClick();
    void EcrireClick();
    void ecrireCharacter(const QString &character);

    // File translation: translates the file and opens the result.
    void traduire_fichier(const QString &fileName);

    // Interface language: captions and tab fonts, the tick, "langue" stored.
    void langue_frClick();
    void langue_chClick();
    // Colours: the four items of the colour menu (told apart by the tag in
    // their data) and the reset.
    void change_couleur(QAction *item);
    void InitialisationClick();

    // For learners (unit1learner.cpp): the display options (tone colours,
    // traditional form, HSK level and frequency rank), each stored per user;
    // going back and forth through the entries shown in this run; the
    // favourites, kept per user.
    enum class DisplayOption { ToneColours, TraditionalForm, WordLevel };
    bool displayOption(DisplayOption option) const;
    void setDisplayOption(DisplayOption option, bool on);
    void goBack();
    void goForward();
    void addFavourite();
    void showFavourites();
    const Verarov::Lookup::Favourites &favourites() const { return m_favourites; }
    // Removes a favourite and writes the list; false when it failed (shown).
    bool removeFavourite(qsizetype index);
    // Shows an entry from its texts, as history and favourites do.
    void showTexts(const Verarov::Lookup::EntryTexts &entry);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createLookup(QWidget *client);
    void createRadicalBrowser(QWidget *page);
    // The nodes of ListBox, made once, when the page "radical" is first
    // shown: start-up does not wait for them.
    void fillRadicalTree();
    // Splits liste_chargement_rad, once.
    void buildRadicalLists() const;
    void createDisplay(QWidget *client);
    void createInvisibleControls(QWidget *client);
    void createStatusBar();
    void createMenu();
    void createStrokeMenu();
    // Captions and fonts of an interface language, and the fixed frame
    // that keeps the client area at its designed size under the menu bar.
    void applyTexts(Verarov::Settings::Language language);
    void fieldChange(const SimpleComboBox *field, const Verarov::Lookup::KeyListModel &model);
    // Start-up: the stored colours applied, missing ones written with their
    // defaults, failures shown; returns the stored language.
    Verarov::Settings::Language readSettings();
    void applyColour(const Verarov::App::ColourUse &use, Verarov::Settings::ColourValue value);
    void setLanguage(Verarov::Settings::Language language);
    // For learners (unit1learner.cpp).
    void createLearnerControls();
    void applyLearnerTexts(Verarov::Settings::Language language);
    void readDisplayOptions();
    // The Options item of a display option.
    QAction *displayOptionItem(DisplayOption option) const;
    void showLearnerExtras();
    void readFavourites();

    Verarov::Dictionary::Tables m_dictionary;

    // Lookup pages and fields.
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; // "Chinois"
    QTabWidget *PageControl2 = nullptr;
    QWidget *TabSheet4 = nullptr; // "liste"
    SimpleComboBox *liste_dico_ch = nullptr;
    QWidget *TabSheet5 = nullptr; // "radical"
    ClickTree *ListBox = nullptr;
    PickList *liste_car_ch = nullptr;  // rows: m_characters
    PickList *liste_mots_ch = nullptr; // rows: m_words
    QWidget *TabSheet2 = nullptr;      // "Pinyin"
    SimpleComboBox *liste_pin_ss_accent = nullptr;
    QWidget *TabSheet3 = nullptr; // "Français"
    SimpleComboBox *liste_fr = nullptr;
    Verarov::Lookup::KeyListModel *m_headwords = nullptr;
    Verarov::Lookup::KeyListModel *m_pinyinKeys = nullptr;
    Verarov::Lookup::KeyListModel *m_frenchKeys = nullptr;
    // The characters of the chosen radical with their readings and stroke
    // counts (liste_car_ch, liste_car_pin, liste_car_nb_traits), and the
    // words of the chosen character with their pinyin and glosses
    // (liste_mots_ch, liste_mots_pin, liste_mots_fr).
    Verarov::Lookup::CharacterListModel *m_characters = nullptr;
    Verarov::Lookup::WordListModel *m_words = nullptr;

    // Display controls.
    QLabel *mot_ch = nullptr;
    QLabel *mot_pin = nullptr;
    QFrame *Panel1 = nullptr;
    QTextEdit *mot_fr = nullptr;

    // Working texts of the display.
    QString TnTmot;  // gloss being split
    QString motch;   // whole gloss of the shown entry; empty before any and after Clear
    QString m_motFr; // text of mot_fr

    // Never shown: data holders of the radical browser.  The dictionary lists
    // (liste_dico_pin, liste_dicopin_index ...) are m_dictionary's.
    mutable QString liste_chargement_rad;             // raw radical list, its lines as one text
    mutable std::function<QString()> m_radicalSource; // reads it, until first needed
    mutable std::optional<Verarov::Dictionary::RadicalTables> m_radicals; // the lists built from it
    QString car_pin;       // reading of the chosen character
    QString car_nb_traits; // its stroke count
    // The cancel button: Escape not kept by the focused control clicks it.
    QPushButton *Quitter = nullptr;

    // Menu.
    QMenu *Edition = nullptr;
    QAction *Copier = nullptr;
    QAction *Effacer = nullptr;
    QAction *Rechercher = nullptr;
    QAction *Traduire = nullptr;
    QAction *Prononcer = nullptr;
    QThread *m_speaking = nullptr; // speaking the shown entry
    QAction *Trace = nullptr;
    QAction *Ecrire = nullptr;
    Verarov::App::StrokeOrderWindow *m_traceWindow = nullptr;
    Verarov::App::HandwritingWindow *m_ecrireWindow = nullptr;
    QAction *Quitter1 = nullptr;
    QMenu *Options = nullptr;
    QMenu *Langue = nullptr;
    QActionGroup *m_languages = nullptr; // langue_fr and langue_ch, exclusive
    QAction *langue_fr = nullptr;
    QAction *langue_ch = nullptr;
    QMenu *Couleur = nullptr;
    QAction *texte = nullptr;
    QAction *traduction_ch = nullptr;
    QAction *traduction_pin = nullptr;
    QAction *traduction_fr = nullptr;
    QAction *Initialisation = nullptr;
    QMenu *Aide1 = nullptr;
    QAction *Aide = nullptr;
    QAction *Apropos = nullptr;

    Verarov::Translate::Translator m_translator;

    // For learners.
    QString m_shownPinyin; // pinyin of the shown entry as plain text (mot_pin may be rich text)
    QLabel *m_traditionalForm = nullptr; // over mot_ch, top right
    QLabel *m_wordLevel = nullptr;       // status bar panel
    QAction *m_previousEntry = nullptr;
    QAction *m_nextEntry = nullptr;
    QAction *m_addFavourite = nullptr;
    QAction *m_favouritesItem = nullptr;
    QAction *m_toneColours = nullptr;
    QAction *m_traditionalItem = nullptr;
    QAction *m_wordLevelItem = nullptr;
    Verarov::Lookup::History m_history;
    bool m_revisiting = false; // showing an entry of the history
    // The field whose typing showed the current entry, and its text then:
    // the next letter typed there refines that visit of the history.
    const SimpleComboBox *m_typedIn = nullptr;
    QString m_typedText; // the typed part, without the completion
    Verarov::Settings::Language m_extrasLanguage = Verarov::Settings::Language::French;
    bool m_refining = false;
    Verarov::Lookup::Favourites m_favourites;
    bool m_favouritesRead = false;
    QString m_favouritesFailure; // the file could not be read: it is not written over
    FavouritesWindow *m_favouritesWindow = nullptr;

    // The colour picker's state for the run: the colour it opens on (the
    // last chosen) and its sixteen custom colours, empty at start.
    struct ColourPicker
    {
        QColor colour = Qt::black;
        QList<QColor> customColours;
    } ColorDialog1;
};

extern TForm1 *Form1;

} // namespace Verarov::App
