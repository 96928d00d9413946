#include "dialogs/frm_splash.h"

#include "platform/program_resources.h"
#include "platform/widgets.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int kClientWidth = 690;
constexpr int kClientHeight = 490;
constexpr int kBarStep = 4;
constexpr int kBarJumpFrom = 97; // from here the bar jumps to its end
constexpr int kFirstInterval = 1;
constexpr int kFullInterval = 500;

QLabel *makeLabel(const QString &text, int pixelSize, bool bold, const QString &colour, QWidget *parent)
{
    auto *label = newPlainLabel(text, parent);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    return label;
}
} // namespace

QString programVersionLine()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(SIDELUNE_VERSION_MAJOR)
        .arg(SIDELUNE_VERSION_MINOR)
        .arg(SIDELUNE_VERSION_PATCH);
}

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    initProgramResources();
    picture_.load(QStringLiteral(":/splash.png"));
    setFixedSize(kClientWidth, kClientHeight);

    Label1 = makeLabel(QStringLiteral("TESMIR Sidelune"), 30, true, QStringLiteral("#f4f7ff"), this);
    Label1->setGeometry(34, 26, 500, 40);
    lblVersion = makeLabel(QStringLiteral("Version"), 15, false, QStringLiteral("#a9c4f0"), this);
    lblVersion->setGeometry(36, 68, 300, 22);

    BarT = makeLabel(QStringLiteral("LOADING..."), 11, true, QStringLiteral("#a9c4f0"), this);
    BarT->setGeometry(36, 456, 100, 16);
    BarT->hide();
    Bar = new QProgressBar(this);
    Bar->setGeometry(130, 457, 520, 14);
    Bar->setRange(0, 100);
    Bar->setValue(0);
    Bar->setTextVisible(false);
    Bar->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px solid #5d7fbf; border-radius: 4px; background: rgba(8, 16, 40, 170); }"
        "QProgressBar::chunk { border-radius: 3px; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #bcd6ff, stop:1 #5f8fe0); }"));
    Bar->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kFirstInterval);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load();
}

void frmSplash::Form_Load()
{
    lblVersion->setText(programVersionLine());
}

void frmSplash::Timer1_Timer()
{
    Bar->show();
    BarT->show();
    Bar->setValue(Bar->value() < kBarJumpFrom ? Bar->value() + kBarStep : 100);
    if (Bar->value() == 100)
        Timer1->setInterval(kFullInterval);
}

bool frmSplash::isAboutBox() const
{
    return !Timer1->isActive() && Bar->isHidden();
}

void frmSplash::Form_Click()
{
    // While the program starts, a click must not disturb the start routine.
    if (isAboutBox())
        accept();
}

void frmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(6, 12, 30));
    painter.drawPixmap(0, 0, picture_);
}

void frmSplash::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Form_Click();
}

void frmSplash::reject()
{
    if (isAboutBox())
        QDialog::reject();
}
