#pragma once

#include "dictionary/radicals.h"
#include "dictionary/tables.h"
#include "lookup/shownentry.h"
#include "settings/captions.h"
#include "settings/colours.h"
#include "translate/translator.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <optional>

class ClickTree;
class PickList;
class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QThread;
class SimpleComboBox;

namespace Verarov::App {
class HandwritingWindow;
class StrokeOrderWindow;
}

namespace Verarov::Lookup {
class CharacterListModel;
class KeyListModel;
class WordListModel;
}

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
    // The radical character lists and row ranges built by FormCreate.
    const Verarov::Dictionary::RadicalTables &radicalTables() const { return m_radicals; }

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

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void createLookup(QWidget *client);
    void createRadicalBrowser(QWidget *page);
    // The FormCreate step that splits liste_chargement_rad.
    void buildRadicalLists();
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
    // defaults, failures shown; returns the stored "langue".
    QString readSettings();
    void applyColour(const Verarov::Settings::ColourSetting &setting,
                     Verarov::Settings::ColourValue value);
    void setLanguage(Verarov::Settings::Language language);

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
    QWidget *TabSheet2 = nullptr; // "Pinyin"
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
    QString liste_chargement_rad;              // raw radical list, its lines as one text
    Verarov::Dictionary::RadicalTables m_radicals; // liste_rad ... fin_rad
    QString car_pin;                           // reading of the chosen character
    QString car_nb_traits;                     // its stroke count
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

    // The colour picker's state for the run: the colour it opens on (the
    // last chosen) and its sixteen custom colours, empty at start.
    struct ColourPicker
    {
        QColor colour = Qt::black;
        QList<QColor> customColours;
    } ColorDialog1;
};

extern TForm1 *Form1;
