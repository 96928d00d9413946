#pragma once
// The splash window, which opens the program with its progress bar while the
// start routine waits for the bar, and which the "A propos" command shows
// again, modally, as the about box. Its texts are not localised.

#include <QDialog>
#include <QPixmap>

class QLabel;
class QProgressBar;
class QTimer;

class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    QLabel *Label1;     // the product title
    QLabel *lblVersion; // "Version 1.2.16"
    QLabel *BarT;       // "LOADING...", shown with the bar
    QProgressBar *Bar;  // start-up progress, polled by the start routine
    QTimer *Timer1;     // advances Bar; enabled only by the start routine

    void Form_Load();
    void Timer1_Timer();
    void Form_Click();

    // The about role: the timer was never enabled and the bar is hidden.
    bool isAboutBox() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Esc: like a click, it closes the about box and never the splash.
    void reject() override;

private:
    QPixmap picture_;
};

// "Version " and the program's major, minor and revision numbers.
QString programVersionLine();
