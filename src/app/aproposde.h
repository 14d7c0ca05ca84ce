#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: shown without being modal, hidden when closed, the same
// instance each time.
class TForm2 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm2)

public:
    explicit TForm2(QWidget *parent = nullptr);

    void Button1Click();
    void Label10Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *Image1 = nullptr;
    QLabel *Label10 = nullptr;
    QPushButton *Button1 = nullptr;
};

extern TForm2 *Form2;
