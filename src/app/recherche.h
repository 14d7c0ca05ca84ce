#pragma once

#include <QWidget>

class TForm1;

// A search window; each use of the search command makes a new one.
class TForm3 final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm3)

public:
    explicit TForm3(TForm1 *owner);
};

// The newest search window.
extern TForm3 *Form3;
