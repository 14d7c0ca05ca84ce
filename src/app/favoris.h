#pragma once

#include "dictionary/tables.h"
#include "app/captions.h"

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;

namespace Verarov::App {

class TForm1;

// The favourites window: the user's favourite entries, one a row; a row
// picked shows its entry in the main window; Remove takes it off the list;
// Export writes the list as TSV, CSV or Anki cards, as the vocabulary
// report writes them (count 1), to a file chosen in the file dialog.
class FavouritesWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FavouritesWindow)

public:
    FavouritesWindow(TForm1 *main, Verarov::Dictionary::Tables dictionary);

    void setLanguage(Verarov::Settings::Language language);
    // Rows again from the main window's list.
    void refresh();

    void showClick();
    void removeClick();
    void exportClick();

private:
    TForm1 *m_main;
    Verarov::Dictionary::Tables m_dictionary;
    QListWidget *m_list;
    QPushButton *m_show;
    QPushButton *m_remove;
    QComboBox *m_format;
    QPushButton *m_export;
    Verarov::Settings::Language m_language = Verarov::Settings::Language::French;
};

} // namespace Verarov::App
