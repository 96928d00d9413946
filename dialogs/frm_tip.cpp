#include "dialogs/frm_tip.h"

#include "dialogs/fixed_dialog.h"
#include "localisation/captions.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/program_resources.h"
#include "platform/rtf_reader.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

namespace {
constexpr int kClientWidth = 712;
constexpr int kClientHeight = 495;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr int kIconSize = 40;
} // namespace

frmTip::frmTip(const QString &programFolder, Dialogs *dialogs, LanguageTables *lang, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      programFolder_(programFolder),
      dialogs_(dialogs),
      lang_(lang)
{
    initProgramResources();
    // Closing unloads it, whether by "OK", Esc (reject) or the close box.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Aide"));
    setWindowIcon(QIcon(QStringLiteral(":/help.png")));
    setSizeGripEnabled(true);
    resize(kClientWidth, kClientHeight);

    // The controls keep their places and sizes when the window is resized.
    const int panelHeight = kClientHeight - kButtonHeight - 3 * kMargin;
    Picture2 = new QWidget(this);
    Picture2->setGeometry(kMargin, kMargin, kClientWidth - 2 * kMargin, panelHeight);
    Picture2->setAutoFillBackground(true);
    QPalette white = Picture2->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture2->setPalette(white);

    Picture1 = newPlainLabel({}, Picture2);
    Picture1->setGeometry(kMargin, kMargin, kIconSize, kIconSize);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/bulb.png"))
                            .scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    textbox = new QTextBrowser(Picture2);
    const int textLeft = 2 * kMargin + kIconSize;
    textbox->setGeometry(textLeft, kMargin, Picture2->width() - textLeft - kMargin, panelHeight - 2 * kMargin);
    textbox->setOpenLinks(false);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(kClientWidth - kMargin - kButtonWidth, kClientHeight - kMargin - kButtonHeight, kButtonWidth,
                       kButtonHeight);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);
}

QString frmTip::helpFilePath() const
{
    return programFolder_ + QStringLiteral("/aide.rtf");
}

void frmTip::Form_Load()
{
    try {
        loadRtfFile(helpFilePath(), *textbox->document());
        textbox->moveCursor(QTextCursor::Start); // the reading starts at the top
        CaptionTargets targets;
        targets.tip = this;
        applyDialogCaptions(QStringLiteral("aide"), lang_, targets);
    } catch (const Failure &failure) {
        if (dialogs_)
            dialogs_->MsgBox(failure.description(), MsgBoxStyle::OkOnly);
    }
}

void frmTip::cmdOK_Click()
{
    close();
}
