#include "app/recherche.h"

#include "app/unit1.h"

using namespace Qt::StringLiterals;

TForm3 *Form3 = nullptr;

TForm3::TForm3(TForm1 *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(u"Form3"_s);
    setWindowTitle(u"Rechercher"_s);
    resize(300, 330);
}
