#pragma once

#include "search/resultcompletion.h"
#include "dictionary/tables.h"

#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace Verarov::Search {
class ResultModel;
}

namespace Verarov::App {

class SimpleComboBox;
class TForm1;

// A search window: every key of one lookup list that contains a string,
// and the entry of a chosen result shown in the main window.  Each use of
// the search command makes a new one; all are top-level windows that live
// until the program ends (destroyAll), hidden when closed.
class TForm3 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm3)

public:
    // A hidden window at the designed place, in Chinese mode, with the
    // colours and the interface language main has now.  It reads its key
    // lists from main and shows the chosen entries there.
    explicit TForm3(TForm1 *main);
    ~TForm3() override;

    // Every search window made, oldest first.
    static QList<TForm3 *> all();
    // Destroys every search window: the end of the program.
    static void destroyAll();

    // The creation step: colours, captions and fonts.
    void FormCreate();

    // A mode button became selected: Chinese, pinyin, French.
    void choix1Click();
    void choix2Click();
    void choix3Click();
    void Button_rechClick();
    void result_rechercheChange();
    void Button_okClick();

    // The lookup list the selected mode searches: liste_dico_ch,
    // liste_pin_ss_accent or liste_fr.
    Verarov::Dictionary::List modeList() const;
    // The selected mode as logged: 1 Chinese, 2 pinyin, 3 French.
    int mode() const;
    const Verarov::Search::ResultModel &results() const { return *result_index; }

protected:
    // Escape and the close box: as Button_ok.
    void reject() override;

private:
    void createControls();
    void modeClick(int mode);

    QPointer<TForm1> m_main;

    QGroupBox *box_recherche = nullptr;
    QLineEdit *recherche = nullptr;
    QRadioButton *choix1 = nullptr;
    QRadioButton *choix2 = nullptr;
    QRadioButton *choix3 = nullptr;
    QPushButton *Button_rech = nullptr;
    QPushButton *Button_ok = nullptr;
    QGroupBox *box_result = nullptr;
    SimpleComboBox *result_recherche = nullptr;
    // Never shown: for each result, the key-list row it came from.  The
    // rows of result_recherche are the keys of these rows (the same model),
    // so the two lists are parallel and emptied together by construction.
    Verarov::Search::ResultModel *result_index = nullptr;
    Verarov::Search::ResultCompletion m_completion;
};

// The newest search window.
extern TForm3 *Form3;

} // namespace Verarov::App
