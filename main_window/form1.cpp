// Construction of the main window: widgets, menus and their connections.

#include "main_window/form1.h"
#include "main_window/menu_shortcuts.h"

#include "platform/widgets.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kClientWidth = 1257;
constexpr int kClientHeight = 631;
constexpr int kPanBarThickness = 17;
constexpr int kColumnWidth = 400;

QLineEdit *makeField(QWidget *parent, const QString &text = {}, int maxLength = 0, int width = 0)
{
    auto *edit = new QLineEdit(text, parent);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

QLabel *makeUnit(const QString &text, QWidget *parent)
{
    return newPlainLabel(text, parent);
}

// The frames of the left column keep tight margins and spacing, so the whole
// column fits the design height with the calibration frame in place.
template <typename Layout>
Layout *frameLayout(QGroupBox *frame)
{
    auto *layout = new Layout(frame);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(3);
    return layout;
}

// A row of three boxes with their unit marks (hours or degrees, minutes,
// seconds), the widgets in `before` ahead of them and those in `after` behind.
QHBoxLayout *sexagesimalRow(QWidget *parent, const std::array<QLineEdit *, 3> &boxes,
                            const std::array<const char *, 3> &units, std::initializer_list<QWidget *> before = {},
                            std::initializer_list<QWidget *> after = {})
{
    auto *row = new QHBoxLayout;
    for (QWidget *w : before)
        row->addWidget(w);
    for (int i = 0; i < 3; ++i) {
        row->addWidget(boxes[size_t(i)]);
        row->addWidget(makeUnit(QString::fromUtf8(units[size_t(i)]), parent));
    }
    for (QWidget *w : after)
        row->addWidget(w);
    row->addStretch();
    return row;
}

// The sign label and its two option buttons, "-" then "+", in one group.
void makeSignControls(QWidget *parent, QLabel *&label, QRadioButton *&minus, QRadioButton *&plus, int firstId)
{
    label = newPlainLabel(QStringLiteral("+"), parent);
    label->setFixedWidth(12);
    minus = new QRadioButton(QStringLiteral("-"), parent);
    plus = new QRadioButton(QStringLiteral("+"), parent);
    auto *group = new QButtonGroup(parent);
    group->addButton(minus, firstId);
    group->addButton(plus, firstId + 1);
    plus->setChecked(true);
}

// The decision box holds three states because a file may grey it; a click of
// the user only ticks or clears it.
class DecisionCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

constexpr std::array<const char *, 3> kHourUnits = {"h", "m", "s"};
constexpr std::array<const char *, 3> kDegreeUnits = {"\u00b0", "'", "''"};
} // namespace

Form1::Form1(const FormContext &context, QWidget *parent)
    : QMainWindow(parent),
      programFolder(context.programFolder),
      dialogs(context.dialogs),
      lang(context.lang),
      catalogueHost(context.catalogueHost.isEmpty() ? QStringLiteral(SIDELUNE_CATALOGUE_HOST)
                                                    : context.catalogueHost)
{
    setWindowTitle(QStringLiteral("Tesmir Sidelune"));
    star.resize(1);
    clicpic.resize(1);
    star[0].Height = 8;
    clicpic[0].Height = 16;
    centerpic.Height = 17;

    createWidgets();
    createActions();
    createMenus();
    connectFieldHandlers();
    connectCatalogue();
    connectImageView();
    connectPicking();
    connectPointer();
    connectSolution();
    connectOverlay();
    connectCalibration();
    connectFiles();
    connectCommands();

    // The design client area below the menu bar, centred at the size the
    // window shows with: the layout's minimum is applied first.
    layout()->activate();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - rect().center());
    }

    Form_Load();
}

Form1::~Form1() = default;

void Form1::createMarkers()
{
    // star(1..4000) and clicpic(1..5) copy element 0 and start hidden.
    const Mark starDesign = star[0];
    const Mark pickDesign = clicpic[0];
    for (int i = 1; i <= StarTable::kCapacity; ++i) {
        Mark m = starDesign;
        m.Visible = false;
        star.push_back(m);
        if (i < 6) {
            Mark p = pickDesign;
            p.Visible = false;
            clicpic.push_back(p);
        }
    }
    Picture1->setMarks(&star, &clicpic, &centerpic);
}

void Form1::createWidgets()
{
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(createLeftColumn());
    layout->addWidget(createImageSide(), 1);
    setCentralWidget(central);
}

QWidget *Form1::createLeftColumn()
{
    auto *column = new QWidget(this);
    column->setFixedWidth(kColumnWidth);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);

    static const char *const frameCaptions[7] = {
        "Menu", "Catalogue d'\u00e9toile", "CCD", "Debug", "Etalonage", "Sugestion", "D\u00e9cideur"};
    for (int i = 0; i < 7; ++i)
        Frm[i] = new QGroupBox(QString::fromUtf8(frameCaptions[i]), column);

    static const char *const labelCaptions[17] = {
        "RA:", "DEC:", "Epoch:", "Champ", "Mag max:", "Seuil d\u00e9cision:", "Mag fullmap:",
        "Tol\u00e9rance:", "Size X", "Size Y", "Corr Asd", "Corr Dec", "Img:", "Info:",
        "Veuillez selectioner une \u00e9toile puis fournir ses coordonn\u00e9es ci-dessous:", "RA:", "DEC:"};
    const std::array<QGroupBox *, 17> labelFrame = {Frm[1], Frm[1], Frm[1], Frm[1], Frm[1], Frm[6], Frm[1],
                                                    Frm[2], Frm[4], Frm[4], Frm[2], Frm[2], Frm[2], Frm[3],
                                                    Frm[4], Frm[4], Frm[4]};
    for (int i = 0; i < 17; ++i)
        lbl[i] = newPlainLabel(QString::fromUtf8(labelCaptions[i]), labelFrame[i]);

    // Frm(0) "Menu": the four steps of a job, in one row.
    {
        auto *row = frameLayout<QHBoxLayout>(Frm[0]);
        DownloadData = new QPushButton(QStringLiteral("1-Download"), Frm[0]);
        SelectStar = new QPushButton(QStringLiteral("2-Etoiles"), Frm[0]);
        startCalcul = new QPushButton(QStringLiteral("3-Calcul"), Frm[0]);
        FullMap = new QPushButton(QStringLiteral("4-Full map"), Frm[0]);
        for (QPushButton *button : {DownloadData, SelectStar, startCalcul, FullMap})
            row->addWidget(button);
        setTabOrder(DownloadData, SelectStar);
        setTabOrder(SelectStar, startCalcul);
        setTabOrder(startCalcul, FullMap);
    }

    // Frm(1) "Catalogue d'étoile": field centre and catalogue limits.
    {
        auto *grid = frameLayout<QGridLayout>(Frm[1]);
        QWidget *f = Frm[1];
        for (int i = 0; i < 3; ++i) {
            txt_ra[i] = makeField(f, {}, 2, 36);
            txt_dec[i] = makeField(f, {}, 2, 36);
        }
        auto *ra = sexagesimalRow(f, txt_ra, kHourUnits);
        grid->addWidget(lbl[0], 0, 0);
        grid->addLayout(ra, 0, 1, 1, 3);

        makeSignControls(f, txt_dec_sign_show[0], txt_dec_sign[0], txt_dec_sign[1], 0);
        auto *dec = sexagesimalRow(f, txt_dec, kDegreeUnits, {txt_dec_sign_show[0]},
                                   {txt_dec_sign[0], txt_dec_sign[1]});
        grid->addWidget(lbl[1], 1, 0);
        grid->addLayout(dec, 1, 1, 1, 3);

        txt_epoch = makeField(f, QStringLiteral("2000.0"), 0, 70);
        txt_epoch->setEnabled(false);
        txt_distance = makeField(f, QStringLiteral("20"), 0, 70);
        txt_mag = makeField(f, QStringLiteral("13"), 0, 70);
        txt_mag2 = makeField(f, QStringLiteral("16"), 0, 70);
        grid->addWidget(lbl[2], 2, 0);
        grid->addWidget(txt_epoch, 2, 1);
        grid->addWidget(lbl[3], 2, 2);
        auto *field = new QHBoxLayout;
        field->addWidget(txt_distance);
        field->addWidget(makeUnit(QStringLiteral("arcmin"), f));
        grid->addLayout(field, 2, 3);
        grid->addWidget(lbl[4], 3, 0);
        grid->addWidget(txt_mag, 3, 1);
        grid->addWidget(lbl[6], 3, 2);
        grid->addWidget(txt_mag2, 3, 3);
    }

    // Frm(2) "CCD": tolerance, coefficients, image.
    {
        auto *grid = frameLayout<QGridLayout>(Frm[2]);
        QWidget *f = Frm[2];
        txt_tolerance = makeField(f, QStringLiteral("7"), 0, 70);
        txt_corrasd = makeField(f);
        txt_corrdec = makeField(f);
        LoadCorr = new QPushButton(QStringLiteral("Load"), f);
        txt_url = makeField(f);
        Loadimg = new QPushButton(QStringLiteral("Load"), f);
        grid->addWidget(lbl[7], 0, 0);
        auto *tolerance = new QHBoxLayout;
        tolerance->addWidget(txt_tolerance);
        tolerance->addWidget(makeUnit(QStringLiteral("pixels"), f));
        tolerance->addStretch();
        grid->addLayout(tolerance, 0, 1, 1, 2);
        grid->addWidget(lbl[10], 1, 0);
        grid->addWidget(txt_corrasd, 1, 1);
        grid->addWidget(LoadCorr, 1, 2, 2, 1);
        grid->addWidget(lbl[11], 2, 0);
        grid->addWidget(txt_corrdec, 2, 1);
        grid->addWidget(lbl[12], 3, 0);
        grid->addWidget(txt_url, 3, 1);
        grid->addWidget(Loadimg, 3, 2);
    }

    // Frm(6) "Décideur": coincidence threshold and the decision check box.
    {
        auto *row = frameLayout<QHBoxLayout>(Frm[6]);
        QWidget *f = Frm[6];
        txt_calcul = makeField(f, QStringLiteral("10"), 0, 70);
        CheckDecideur = new DecisionCheckBox(QString::fromUtf8("D\u00e9cideur"), f);
        CheckDecideur->setTristate(true);
        CheckDecideur->setCheckState(Qt::Checked);
        row->addWidget(lbl[5]);
        row->addWidget(txt_calcul);
        row->addWidget(makeUnit(QStringLiteral("pixels"), f));
        row->addStretch();
        row->addWidget(CheckDecideur);
    }

    // Frm(3) "Debug": the status list (the program's log) and the hover read-out.
    {
        auto *box = frameLayout<QVBoxLayout>(Frm[3]);
        QWidget *f = Frm[3];
        status = new QListWidget(f);
        // A line longer than the list scrolls sideways, whole, rather than being cut short.
        status->setTextElideMode(Qt::ElideNone);
        // The read-out keeps one line whatever its caption, so it never moves the list.
        info = newPlainLabel({}, f);
        info->setWordWrap(false);
        info->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        info->setFixedHeight(info->fontMetrics().height());
        box->addWidget(status, 1);
        auto *row = new QHBoxLayout;
        row->addWidget(lbl[13]);
        row->addWidget(info, 1);
        box->addLayout(row);
    }

    // Frm(4) "Etalonage", hidden, in the place of Frm(3).
    {
        auto *grid = frameLayout<QGridLayout>(Frm[4]);
        QWidget *f = Frm[4];
        // Hours, minutes, degrees and minutes take two characters; pixels and
        // seconds are free, and the seconds boxes show a hover's value whole.
        static constexpr int kEtaloMaxLength[8] = {0, 0, 2, 2, 0, 2, 2, 0};
        for (int i = 0; i < 8; ++i)
            Etalo[i] = makeField(f, {}, kEtaloMaxLength[i], i < 2 ? 70 : 36);
        fitWidthTo(Etalo[4], QStringLiteral("59.9999"));
        fitWidthTo(Etalo[7], QStringLiteral("59.9999"));
        lbl[14]->setWordWrap(true);
        grid->addWidget(lbl[14], 0, 0, 1, 4);
        // "Size X" and "Size Y" have no place here: the boxes carry "X:" and "Y:".
        lbl[8]->hide();
        lbl[9]->hide();
        auto *pixels = new QHBoxLayout;
        pixels->addWidget(makeUnit(QStringLiteral("X:"), f));
        pixels->addWidget(Etalo[0]);
        pixels->addWidget(makeUnit(QStringLiteral("pixels"), f));
        pixels->addSpacing(12);
        pixels->addWidget(makeUnit(QStringLiteral("Y:"), f));
        pixels->addWidget(Etalo[1]);
        pixels->addWidget(makeUnit(QStringLiteral("pixels"), f));
        pixels->addStretch();
        grid->addLayout(pixels, 1, 0, 1, 4);

        auto *ra = sexagesimalRow(f, {Etalo[2], Etalo[3], Etalo[4]}, kHourUnits);
        grid->addWidget(lbl[15], 2, 0);
        grid->addLayout(ra, 2, 1, 1, 3);

        makeSignControls(f, txt_dec_sign_show[1], txt_dec_sign[2], txt_dec_sign[3], 2);
        auto *dec = sexagesimalRow(f, {Etalo[5], Etalo[6], Etalo[7]}, kDegreeUnits, {txt_dec_sign_show[1]},
                                   {txt_dec_sign[2], txt_dec_sign[3]});
        grid->addWidget(lbl[16], 3, 0);
        grid->addLayout(dec, 3, 1, 1, 3);

        BoutonEtalo = new QPushButton(QStringLiteral("Suivant"), f);
        grid->addWidget(BoutonEtalo, 4, 3, Qt::AlignRight);
        grid->setRowStretch(5, 1);
        Frm[4]->hide();
    }

    // Frm(5) "Sugestion": the hint label.
    {
        auto *box = frameLayout<QVBoxLayout>(Frm[5]);
        sugestion = newPlainLabel(QString::fromUtf8(
            "Utilisez l'assistant pour commencer une nouvelle r\u00e9duction ou charger un fichier. "
            "Si vous utilisez une nouvelle configuration optique, vous devez faire un nouvel \u00e9talonage."),
            Frm[5]);
        sugestion->setWordWrap(true);
        sugestion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        box->addWidget(sugestion);
    }

    layout->addWidget(Frm[0]);
    layout->addWidget(Frm[1]);
    layout->addWidget(Frm[2]);
    layout->addWidget(Frm[6]);
    // Frm(3) and Frm(4) share one place, one of them shown at a time; the
    // place keeps the room of both, so swapping them never resizes the window.
    auto *shared = new QWidget(column);
    auto *sharedLayout = new QGridLayout(shared);
    sharedLayout->setContentsMargins(0, 0, 0, 0);
    for (QGroupBox *frame : {Frm[3], Frm[4]}) {
        keepRoomWhenHidden(frame);
        sharedLayout->addWidget(frame, 0, 0);
    }
    layout->addWidget(shared, 1);
    layout->addWidget(Frm[5]);
    return column;
}

QWidget *Form1::createImageSide()
{
    auto *side = new QWidget(this);
    auto *grid = new QGridLayout(side);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    PicOrange = new QWidget(side);
    PicOrange->setAutoFillBackground(true);
    QPalette p = PicOrange->palette();
    p.setColor(QPalette::Window, Qt::black);
    PicOrange->setPalette(p);
    PicOrange->setMinimumSize(200, 200);

    Picture1 = new ImageBox(PicOrange);
    Picture1->move(0, 0);
    zoom = new Magnifier(Picture1);
    zoom->hide();

    PicMove[0] = nullptr;
    for (int i = 1; i <= 4; ++i)
        PicMove[i] = new PanBar(side);
    PicMove[1]->setFixedWidth(kPanBarThickness);
    PicMove[3]->setFixedWidth(kPanBarThickness);
    PicMove[2]->setFixedHeight(kPanBarThickness);
    PicMove[4]->setFixedHeight(kPanBarThickness);
    grid->addWidget(PicMove[4], 0, 0, 1, 3);
    grid->addWidget(PicMove[1], 1, 0);
    grid->addWidget(PicOrange, 1, 1);
    grid->addWidget(PicMove[3], 1, 2);
    grid->addWidget(PicMove[2], 2, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    return side;
}

void Form1::createActions()
{
    mnu_wizard = new QAction(QStringLiteral("Assistant"), this);
    mnu_wizard->setShortcut(Qt::Key_F2);
    mnu_open = new QAction(QStringLiteral("Ouvrir Projet"), this);
    mnu_open->setShortcut(Qt::CTRL | Qt::Key_O);
    mnu_save = new QAction(QStringLiteral("Enregistrer Projet"), this);
    mnu_save->setShortcut(Qt::CTRL | Qt::Key_E);
    mnu_space1 = new QAction(this);
    mnu_space1->setSeparator(true);
    mnu_savedefaut = new QAction(QStringLiteral("Save defaut"), this);
    mnu_savedefaut->setShortcut(Qt::CTRL | Qt::Key_S);
    space4 = new QAction(this);
    space4->setSeparator(true);
    mnu_quit = new QAction(QStringLiteral("Qutiter"), this);

    mnu_config = new QAction(QStringLiteral("Correcteurs"), this);
    mnu_space2 = new QAction(this);
    mnu_space2->setSeparator(true);
    mnu_etalonage2 = new QAction(QStringLiteral("Etalonage classique"), this);
    mnu_etalonage = new QAction(QStringLiteral("Etalonage par image"), this);
    mnu_superetalonage = new QAction(QStringLiteral("Super Etalonage"), this);

    mnu_help = new QAction(QStringLiteral("Aide"), this);
    mnu_help->setShortcut(Qt::Key_F1);
    mnu_about = new QAction(QStringLiteral("A propos"), this);

    connect(mnu_quit, &QAction::triggered, this, &Form1::mnu_quit_Click);
    // F2, Ctrl+O, Ctrl+E, Ctrl+S and F1 work also while a text box has the caret.
    new MenuShortcutGuard(this);
}

void Form1::createMenus()
{
    mnu_fichier = menuBar()->addMenu(QStringLiteral("Fichier"));
    mnu_fichier->addActions({mnu_wizard, mnu_open, mnu_save, mnu_space1, mnu_savedefaut, space4, mnu_quit});
    mnu_option = menuBar()->addMenu(QStringLiteral("Option"));
    mnu_option->addActions({mnu_config, mnu_space2, mnu_etalonage2, mnu_etalonage, mnu_superetalonage});
    mnu_aide = menuBar()->addMenu(QStringLiteral("&?"));
    mnu_aide->addActions({mnu_help, mnu_about});
}

void Form1::connectFieldHandlers()
{
    connect(txt_corrasd, &QLineEdit::textChanged, this, &Form1::txt_corrasd_Change);
    connect(txt_corrdec, &QLineEdit::textChanged, this, &Form1::txt_corrdec_Change);
    connect(txt_epoch, &QLineEdit::textChanged, this, &Form1::txt_epoch_Change);
    for (int i = 0; i < 4; ++i) {
        connect(txt_dec_sign[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                txt_dec_sign_Click(i);
        });
    }
}
