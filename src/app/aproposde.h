#pragma once

#include <QDialog>
#include <QPoint>

class QLabel;
class QPushButton;

namespace Verarov::App {

// The About box: shown without being modal, hidden when closed, the same
// instance each time, where the user left it.
class TForm2 final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm2)

public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

    void setVisible(bool visible) override;

    void Button1Click();
    void Label10Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *Image1 = nullptr;
    QLabel *Label10 = nullptr;
    QPushButton *Button1 = nullptr;
    bool m_shownBefore = false;
    QPoint m_lastPosition; // where it was when last hidden
};

extern TForm2 *Form2;

} // namespace Verarov::App
