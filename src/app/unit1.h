#pragma once

#include "dictionary.h"
#include "translator.h"

#include <QMainWindow>
#include <QString>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QTextEdit;

// The main window: the dictionary, the lookups and the shown entry.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    explicit TForm1(Verarov::Dictionary::Tables dictionary, QWidget *parent = nullptr);
    ~TForm1() override;

    // The creation step, run once right after Form1 is assigned.
    // commandLine: the first command-line argument (empty for none).
    void FormCreate(const QString &commandLine);

    const Verarov::Dictionary::Tables &dictionary() const { return m_dictionary; }

    // Entry display.
    void affiche_mot(QStringView headword, QStringView pinyin, QStringView gloss);
    void tri_mot_fr();
    // The text of the sense view, senses separated by CR LF.
    const QString &motFrText() const { return m_motFr; }
    // Whole gloss of the shown entry (third field of Copy).
    const QString &motchText() const { return motch; }

    void CopierClick();
    void EffacerClick();
    void RechercherClick();
    void TraduireClick();
    void QuitterClick();
    void AproposClick();
    void AideClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createDisplay(QWidget *client);
    void createMenu();

    Verarov::Dictionary::Tables m_dictionary;

    // Display controls.
    QLabel *mot_ch = nullptr;
    QLabel *mot_pin = nullptr;
    QFrame *Panel1 = nullptr;
    QTextEdit *mot_fr = nullptr;

    // Working texts of the display.
    QString TnTmot;  // gloss being split
    QString TnTmot1; // last sense moved
    QString motch;   // whole gloss of the shown entry; empty before any and after Clear
    QString m_motFr; // text of mot_fr

    // Menu.
    QMenu *Edition = nullptr;
    QAction *Copier = nullptr;
    QAction *Effacer = nullptr;
    QAction *Rechercher = nullptr;
    QAction *Traduire = nullptr;
    QAction *Quitter1 = nullptr;
    QMenu *Options = nullptr;
    QMenu *Langue = nullptr;
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

    // File translation (unit1translate.cpp).
public:
    void traduire_fichier(const QString &fileName);
    void inscrit_fic_sortie(Verarov::Translate::OutputFile &output, int entry);

private:
    class QFileDialog *OpenDialog = nullptr;
    Verarov::Translate::Translator m_translator;
};

extern TForm1 *Form1;
