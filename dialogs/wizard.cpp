#include "dialogs/wizard.h"

#include "localisation/captions.h"
#include "main_window/field_input.h"
#include "main_window/form1.h"
#include "platform/dialogs.h"
#include "platform/widgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// The design client area.
constexpr int kClientWidth = 271;
constexpr int kClientHeight = 193;

// The pages are tight so that each fits the design client area.
QGridLayout *pageLayout(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    return grid;
}

// An option button set from code, selected or not. Clearing the selected
// button of an exclusive group needs the group's exclusivity lifted for a moment.
void setOptionValue(QRadioButton *button, bool selected)
{
    if (button->isChecked() == selected)
        return;
    QButtonGroup *group = button->group();
    if (!selected && group && group->exclusive()) {
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
        return;
    }
    button->setChecked(selected);
}

QLineEdit *makeBox(QWidget *parent, int width, int maxLength = 0)
{
    auto *box = new QLineEdit(parent);
    box->setFixedWidth(width);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    return box;
}

// A box of two digits (hours, degrees, minutes, seconds), just wide enough for them.
QLineEdit *makeTwoDigitBox(QWidget *parent)
{
    QLineEdit *box = makeBox(parent, 0, 2);
    fitWidthTo(box, QStringLiteral("88"));
    return box;
}

// One row of the copy between the main window and the wizard: a text box, an
// option button's selected state, or the sign label's text.
struct CopyRow {
    QLineEdit *formBox = nullptr, *wizardBox = nullptr;
    QRadioButton *formButton = nullptr, *wizardButton = nullptr;
    QLabel *formLabel = nullptr, *wizardLabel = nullptr;
};

constexpr int kEpochRow = 10; // counted from 0; set to "2000.0" at load instead of copied

std::vector<CopyRow> copyRows(Form1 &f, Wizard &w)
{
    const auto box = [](QLineEdit *a, QLineEdit *b) { return CopyRow{a, b}; };
    const auto button = [](QRadioButton *a, QRadioButton *b) { return CopyRow{nullptr, nullptr, a, b}; };
    return {box(f.txt_calcul, w.txt_calcul),
            box(f.txt_corrasd, w.txt_corrasd),
            box(f.txt_corrdec, w.txt_corrdec),
            box(f.txt_dec[0], w.txt_dec[0]),
            box(f.txt_dec[1], w.txt_dec[1]),
            box(f.txt_dec[2], w.txt_dec[2]),
            button(f.txt_dec_sign[0], w.txt_dec_sign[0]),
            button(f.txt_dec_sign[1], w.txt_dec_sign[1]),
            CopyRow{nullptr, nullptr, nullptr, nullptr, f.txt_dec_sign_show[0], w.txt_dec_sign_show},
            box(f.txt_distance, w.txt_distance),
            box(f.txt_epoch, w.txt_epoch),
            box(f.txt_mag, w.txt_mag),
            box(f.txt_ra[0], w.txt_ra[0]),
            box(f.txt_ra[1], w.txt_ra[1]),
            box(f.txt_ra[2], w.txt_ra[2]),
            box(f.txt_tolerance, w.txt_tolerance),
            box(f.txt_url, w.txt_url)};
}

enum class Direction { ToWizard, ToMainWindow };

void copyRow(const CopyRow &row, Direction direction)
{
    const bool in = direction == Direction::ToWizard;
    if (row.formBox)
        setTextWhole(in ? row.wizardBox : row.formBox, (in ? row.formBox : row.wizardBox)->text());
    if (row.formButton)
        setOptionValue(in ? row.wizardButton : row.formButton, (in ? row.formButton : row.wizardButton)->isChecked());
    if (row.formLabel)
        (in ? row.wizardLabel : row.formLabel)->setText((in ? row.formLabel : row.wizardLabel)->text());
}
} // namespace

Wizard::Wizard(Form1 &form)
    : FixedDialog(&form), form_(form)
{
    setWindowTitle(QStringLiteral("Assistant d'Sidelune"));
    createWidgets();
    Form_Load();
}

void Wizard::createWidgets()
{
    Frame1 = createPage1();
    Frame2 = createPage2();
    Frame3 = createPage3();
    // The three pages lie one over the other in the design client area.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    for (QWidget *frame : {Frame1, Frame2, Frame3})
        layout->addWidget(frame, 0, 0);
    setFixedSize(kClientWidth, kClientHeight);
    Frame2->hide();
    Frame3->hide();
    step1->setDefault(true);

    QWidget *order[] = {txt_ra[0], txt_ra[1], txt_ra[2], txt_dec[0], txt_dec[1], txt_dec[2],
                        txt_dec_sign[0], txt_dec_sign[1], txt_mag, txt_url, step1,
                        Combo, txt_corrasd, txt_corrdec, step2,
                        txt_distance, txt_calcul, txt_tolerance, step3};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (int i = 0; i < 2; ++i)
        connect(txt_dec_sign[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                txt_dec_sign_Click(i);
        });
    connect(Combo, &QComboBox::activated, this, [this] { Combo_Click(); });
    connect(step1, &QPushButton::clicked, this, &Wizard::step1_Click);
    connect(step2, &QPushButton::clicked, this, &Wizard::step2_Click);
    connect(step3, &QPushButton::clicked, this, &Wizard::step3_Click);
}

QWidget *Wizard::createPage1()
{
    auto *page = new QWidget(this);
    lbl[0] = newPlainLabel(QStringLiteral("Veuillez remplir les informations sur l'image:"), page);
    static const char *const captions[5] = {"RA:", "DEC:", "Epoch:", "Mag max:", "Image:"};
    for (int i = 1; i <= 5; ++i)
        lbl[size_t(i)] = newPlainLabel(QString::fromLatin1(captions[i - 1]), page);
    static const char16_t *const units[6] = {u"h", u"'", u"\"", u"\u00b0", u"'", u"\""};
    for (int i = 0; i < 6; ++i)
        Label3[size_t(i)] = newPlainLabel(QString::fromUtf16(units[i]), page);

    auto *grid = pageLayout(page);
    // The heading wraps rather than widen the window.
    lbl[0]->setWordWrap(true);
    grid->addWidget(lbl[0], 0, 0, 1, 2);

    // In line with the declination boxes, which follow the sign label.
    auto *ra = new QHBoxLayout;
    ra->setSpacing(3);
    ra->addSpacing(12 + 3);
    for (int i = 0; i < 3; ++i) {
        txt_ra[size_t(i)] = makeTwoDigitBox(page);
        ra->addWidget(txt_ra[size_t(i)]);
        ra->addWidget(Label3[size_t(i)]);
    }
    ra->addStretch();
    grid->addWidget(lbl[1], 1, 0);
    grid->addLayout(ra, 1, 1);

    auto *dec = new QHBoxLayout;
    dec->setSpacing(3);
    txt_dec_sign_show = newPlainLabel(QStringLiteral("+"), page);
    txt_dec_sign_show->setFixedWidth(12);
    dec->addWidget(txt_dec_sign_show);
    for (int i = 0; i < 3; ++i) {
        txt_dec[size_t(i)] = makeTwoDigitBox(page);
        dec->addWidget(txt_dec[size_t(i)]);
        dec->addWidget(Label3[size_t(i + 3)]);
    }
    txt_dec_sign[0] = new QRadioButton(QStringLiteral("-"), page);
    txt_dec_sign[1] = new QRadioButton(QStringLiteral("+"), page);
    auto *signs = new QButtonGroup(page);
    signs->addButton(txt_dec_sign[0], 0);
    signs->addButton(txt_dec_sign[1], 1);
    txt_dec_sign[1]->setChecked(true);
    dec->addWidget(txt_dec_sign[0]);
    dec->addWidget(txt_dec_sign[1]);
    dec->addStretch();
    grid->addWidget(lbl[2], 2, 0);
    grid->addLayout(dec, 2, 1);

    txt_epoch = makeBox(page, 60);
    txt_epoch->setText(QStringLiteral("2000.0"));
    txt_epoch->setEnabled(false);
    txt_mag = makeBox(page, 60);
    txt_mag->setText(QStringLiteral("14"));
    txt_url = makeBox(page, 180);
    txt_url->setText(QStringLiteral("c:\\img.jpg"));
    grid->addWidget(lbl[3], 3, 0);
    grid->addWidget(txt_epoch, 3, 1);
    grid->addWidget(lbl[4], 4, 0);
    grid->addWidget(txt_mag, 4, 1);
    grid->addWidget(lbl[5], 5, 0);
    grid->addWidget(txt_url, 5, 1);

    step1 = new QPushButton(QStringLiteral("Suivant"), page);
    grid->setRowStretch(6, 1);
    grid->addWidget(step1, 7, 1, Qt::AlignRight);

    txt_ra[0]->setText(QStringLiteral("1"));
    txt_ra[1]->setText(QStringLiteral("34"));
    txt_ra[2]->setText(QStringLiteral("50"));
    txt_dec[0]->setText(QStringLiteral("22"));
    txt_dec[1]->setText(QStringLiteral("01"));
    txt_dec[2]->setText(QStringLiteral("11"));
    return page;
}

QWidget *Wizard::createPage2()
{
    auto *page = new QWidget(this);
    lbl[10] = newPlainLabel(QString::fromUtf8("Configuration optique utilis\u00e9:"), page);
    lbl[11] = newPlainLabel(QStringLiteral("Config"), page);
    lbl[12] = newPlainLabel(QStringLiteral("LIBRE"), page);
    lbl[13] = newPlainLabel(QStringLiteral("LIBRE"), page);
    lbl[12]->hide();
    lbl[13]->hide();
    lbl[14] = newPlainLabel(QStringLiteral("Corr Asd"), page);
    lbl[15] = newPlainLabel(QStringLiteral("Corr Dec"), page);
    Combo = new QComboBox(page);
    Combo->setMinimumWidth(150);
    txt_corrasd = makeBox(page, 100);
    txt_corrasd->setText(QStringLiteral("2599.43"));
    txt_corrdec = makeBox(page, 100);
    txt_corrdec->setText(QStringLiteral("2709.96"));
    step2 = new QPushButton(QStringLiteral("Suivant"), page);

    auto *grid = pageLayout(page);
    grid->addWidget(lbl[10], 0, 0, 1, 2);
    grid->addWidget(lbl[11], 1, 0);
    grid->addWidget(Combo, 1, 1, Qt::AlignLeft);
    grid->addWidget(lbl[14], 2, 0);
    grid->addWidget(txt_corrasd, 2, 1);
    grid->addWidget(lbl[15], 3, 0);
    grid->addWidget(txt_corrdec, 3, 1);
    grid->setRowStretch(4, 1);
    grid->addWidget(step2, 5, 1, Qt::AlignRight);
    return page;
}

QWidget *Wizard::createPage3()
{
    auto *page = new QWidget(this);
    lbl[6] = newPlainLabel(QStringLiteral("Parametres de calcul:"), page);
    lbl[7] = newPlainLabel(QStringLiteral("Champ:"), page);
    lbl[8] = newPlainLabel(QStringLiteral("Seuil calcul"), page);
    lbl[9] = newPlainLabel(QString::fromUtf8("Tol\u00e9rance:"), page);
    txt_distance = makeBox(page, 60);
    txt_distance->setText(QStringLiteral("20"));
    txt_calcul = makeBox(page, 60);
    txt_calcul->setText(QStringLiteral("4"));
    txt_calcul->setToolTip(QString::fromUtf8("Ce chiifre restreint le nombre de solution propos\u00e9 \u00e0 l'utilisateur"));
    txt_tolerance = makeBox(page, 60);
    txt_tolerance->setText(QStringLiteral("4"));
    txt_tolerance->setToolTip(QStringLiteral("Tolerance lors de la selection des images"));
    Label6 = newPlainLabel(QStringLiteral("Arcmin"), page);
    Label8[0] = newPlainLabel(QStringLiteral("pixels"), page);
    Label8[7] = newPlainLabel(QStringLiteral("pixels"), page);
    step3 = new QPushButton(QStringLiteral("Terminer"), page);

    auto *grid = pageLayout(page);
    grid->addWidget(lbl[6], 0, 0, 1, 3);
    const std::array<std::array<QWidget *, 3>, 3> rows = {{{lbl[7], txt_distance, Label6},
                                                           {lbl[8], txt_calcul, Label8[0]},
                                                           {lbl[9], txt_tolerance, Label8[7]}}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            grid->addWidget(rows[size_t(r)][size_t(c)], r + 1, c);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
    grid->addWidget(step3, 5, 1, 1, 2, Qt::AlignRight);
    return page;
}

void Wizard::Form_Load()
{
    CaptionTargets targets;
    targets.wizard = this;
    applyDialogCaptions(QStringLiteral("Wizard"), form_.lang, targets);
    form_.WizardStatus = 0;

    const std::vector<CopyRow> rows = copyRows(form_, *this);
    for (size_t i = 0; i < rows.size(); ++i)
        if (int(i) != kEpochRow)
            copyRow(rows[i], Direction::ToWizard);
    txt_epoch->setText(QStringLiteral("2000.0"));

    // The configurations of the library; a failure box comes before the
    // window shows, and the list then offers the entries read in full.
    const OpticalConfigRead read = readOpticalConfigFile(opticalConfigPath(form_.programFolder));
    configs_ = read.entries;
    Combo->clear();
    for (const OpticalConfig &config : configs_)
        Combo->addItem(config.name);
    Combo->setCurrentIndex(-1);
    if (read.failure)
        form_.dialogs->MsgBox(read.failureText(), MsgBoxStyle::OkOnly);
}

void Wizard::Combo_Click()
{
    const int n = Combo->currentIndex();
    if (n < 0 || n >= int(configs_.size()))
        return;
    // Into the wizard's own fields only; "Terminer" takes them further.
    txt_corrasd->setText(configs_[size_t(n)].corrAsd);
    txt_corrdec->setText(configs_[size_t(n)].corrDec);
}

void Wizard::step1_Click()
{
    Frame1->hide();
    Frame2->show();
    step2->setDefault(true);
}

void Wizard::step2_Click()
{
    Frame2->hide();
    Frame3->show();
    step3->setDefault(true);
}

void Wizard::step3_Click()
{
    form_.WizardStatus = 1;
    // Each assignment runs the main window's own reaction, as a user's edit would.
    for (const CopyRow &row : copyRows(form_, *this))
        copyRow(row, Direction::ToMainWindow);
    accept();
}

void Wizard::txt_dec_sign_Click(int Index)
{
    if (Index == 0)
        txt_dec_sign_show->setText(QStringLiteral("-"));
    else if (Index == 1)
        txt_dec_sign_show->setText(QStringLiteral("+"));
}
