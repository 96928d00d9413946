#include "dialogs/config.h"

#include "localisation/captions.h"
#include "main_window/form1.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/widgets.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
// The frame lies over the right-hand part of the window, behind the boxes in
// look but above them in stacking order; its mask keeps it from taking the
// clicks meant for the boxes between its label and its buttons.
class OverlayFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QWidget::event(event);
        switch (event->type()) {
        case QEvent::LayoutRequest:
        case QEvent::Resize:
        case QEvent::Show:
            setMask(childrenRegion());
            break;
        default:
            break;
        }
        return handled;
    }
};

// Taking the focus with no current row would make the first row current, and
// so fill the boxes with its entry and expose it to "Supprimer". Only the
// user's pick or the dialog itself chooses the current entry.
class EntryList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        if (currentRow() >= 0) {
            QListWidget::focusInEvent(event);
            return;
        }
        const QSignalBlocker blocker(this);
        QListWidget::focusInEvent(event);
        setCurrentRow(-1);
    }
};
} // namespace

Config::Config(Form1 &form, OpticalConfigLibrary &library)
    : FixedDialog(&form), form_(form), library_(library)
{
    setWindowTitle(QStringLiteral("Coefficient optique"));
    createWidgets();
    Form_Load();
}

QString Config::partialSaveQuestion(const QString &path)
{
    return QStringLiteral("Le fichier %1 n'a \u00e9t\u00e9 lu qu'en partie : l'enregistrer remplacera les entr\u00e9es "
                          "qui n'ont pas pu \u00eatre lues. Enregistrer quand m\u00eame ?")
        .arg(QDir::toNativeSeparators(path));
}

QString Config::changedElsewhereText(const QString &path)
{
    return QStringLiteral("Le fichier %1 a \u00e9t\u00e9 enregistr\u00e9 entre-temps par une autre fen\u00eatre du "
                          "programme : rien n'a \u00e9t\u00e9 enregistr\u00e9 ici, pour ne pas effacer ses "
                          "entr\u00e9es. La liste montre maintenant le fichier ; refaites vos modifications, puis "
                          "enregistrez.")
        .arg(QDir::toNativeSeparators(path));
}

QString Config::libraryFullText()
{
    return QStringLiteral("La biblioth\u00e8que est pleine : elle contient au plus %1 configurations.")
        .arg(kMaxOpticalConfigs);
}

void Config::createWidgets()
{
    lbl[0] = newPlainLabel(QStringLiteral("Configuration optique de l'instrument:"), this);
    lbl[1] = newPlainLabel(QStringLiteral("Nom:"), this);
    List1 = new EntryList(this);
    List1->setMinimumSize(150, 160);

    // The boxes, with "Utiliser" in the place of "Enregistrer".
    auto *boxes = new QWidget(this);
    auto *boxesLayout = new QVBoxLayout(boxes);
    boxesLayout->setContentsMargins(0, 0, 0, 0);
    auto *grid = new QGridLayout;
    static const char *const boxLabels[3] = {"Nom:", "Corr Asd:", "Corr Dec:"};
    for (int i = 0; i < 3; ++i) {
        Label4[i] = newPlainLabel(QString::fromLatin1(boxLabels[i]), boxes);
        txt_coor[i] = new QLineEdit(boxes);
        txt_coor[i]->setFixedWidth(i == 0 ? 180 : 100);
        grid->addWidget(Label4[i], i, 0);
        grid->addWidget(txt_coor[i], i, 1, Qt::AlignLeft);
    }
    boxesLayout->addLayout(grid);
    boxesLayout->addStretch();
    cmd3 = new QPushButton(QStringLiteral("Utiliser"), boxes);
    auto *useRow = new QHBoxLayout;
    useRow->addStretch();
    useRow->addWidget(cmd3);
    boxesLayout->addLayout(useRow);
    cmd3->hide();

    auto *frame = new OverlayFrame(this);
    Frame1 = frame;
    // Hidden in the use mode, the frame keeps its room: one size in both modes.
    keepRoomWhenHidden(Frame1);
    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    lbl[2] = newPlainLabel(QStringLiteral("Modification:"), Frame1);
    cmd1 = new QPushButton(QStringLiteral("Supprimer"), Frame1);
    cmd2 = new QPushButton(QStringLiteral("Nouveau"), Frame1);
    cmd4 = new QPushButton(QStringLiteral("Enregistrer"), Frame1);
    frameLayout->addWidget(lbl[2]);
    frameLayout->addStretch();
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {cmd1, cmd2, cmd4}) {
        button->setFixedWidth(90);
        buttons->addWidget(button);
    }
    cmd3->setFixedWidth(90);
    frameLayout->addLayout(buttons);
    Frame1->raise();

    auto *layout = new QGridLayout(this);
    layout->addWidget(lbl[0], 0, 0, 1, 2);
    layout->addWidget(lbl[1], 1, 0);
    layout->addWidget(List1, 2, 0);
    layout->addWidget(boxes, 2, 1);
    layout->addWidget(Frame1, 1, 1, 2, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    cmd4->setDefault(true);
    setTabOrder(List1, txt_coor[0]);
    setTabOrder(txt_coor[0], txt_coor[1]);
    setTabOrder(txt_coor[1], txt_coor[2]);
    setTabOrder(txt_coor[2], cmd3);
    setTabOrder(cmd3, cmd1);
    setTabOrder(cmd1, cmd4);
    setTabOrder(cmd4, cmd2);

    connect(List1, &QListWidget::currentRowChanged, this, [this] { List1_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(txt_coor[i], &QLineEdit::textChanged, this, [this, i] { txt_coor_Change(i); });
    connect(cmd1, &QPushButton::clicked, this, &Config::cmd1_Click);
    connect(cmd2, &QPushButton::clicked, this, &Config::cmd2_Click);
    connect(cmd3, &QPushButton::clicked, this, &Config::cmd3_Click);
    connect(cmd4, &QPushButton::clicked, this, &Config::cmd4_Click);
}

QString Config::filePath() const
{
    return opticalConfigPath(form_.programFolder);
}

void Config::Form_Load()
{
    CaptionTargets targets;
    targets.config = this;
    applyDialogCaptions(QStringLiteral("Config"), form_.lang, targets);
    mode_ = form_.ConfigStatus == 2 ? Mode::UseMode : Mode::EditMode;
    if (mode_ == Mode::UseMode) {
        Frame1->hide();
        cmd3->show();
    }
    readLibrary();
}

void Config::readLibrary()
{
    // The count always equals the entries read in full, so the list and the
    // library agree whatever stopped the reading.
    const OpticalConfigRead read = readOpticalConfigFile(filePath());
    library_.entries = read.entries;
    readInPart_ = read.readInPart();
    fileAsRead_ = read.state;
    if (read.failure) {
        form_.dialogs->MsgBox(read.failureText(), MsgBoxStyle::OkOnly);
        showList(-1);
        return;
    }
    showList(library_.entries.empty() ? -1 : 0);
}

void Config::showList(int row)
{
    {
        const QSignalBlocker blocker(List1);
        List1->clear();
        for (const OpticalConfig &entry : library_.entries)
            List1->addItem(entry.name);
        List1->setCurrentRow(row);
    }
    List1_Click();
}

void Config::List1_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= int(library_.entries.size())) {
        // Nothing is current: the boxes show nothing, and edits are kept nowhere.
        for (QLineEdit *box : txt_coor)
            box->clear();
        return;
    }
    // Each assignment stores the same text back through the change handler.
    const OpticalConfig entry = library_.entries[size_t(row)];
    txt_coor[0]->setText(entry.name);
    txt_coor[1]->setText(entry.corrAsd);
    txt_coor[2]->setText(entry.corrDec);
}

void Config::txt_coor_Change(int Index)
{
    const int row = List1->currentRow();
    if (row < 0 || row >= int(library_.entries.size()))
        return;
    OpticalConfig &entry = library_.entries[size_t(row)];
    const QString text = txt_coor[size_t(Index)]->text();
    switch (Index) {
    case 0: entry.name = text; break;
    case 1: entry.corrAsd = text; break;
    case 2: entry.corrDec = text; break;
    default: break;
    }
}

void Config::cmd2_Click()
{
    if (int(library_.entries.size()) >= kMaxOpticalConfigs) {
        form_.dialogs->MsgBox(libraryFullText(), MsgBoxStyle::OkOnly);
        return;
    }
    library_.entries.push_back({QStringLiteral("Config#"), QStringLiteral("0"), QStringLiteral("0")});
    // The selection stays where it was; the user selects the new item to edit it.
    const QSignalBlocker blocker(List1);
    List1->addItem(library_.entries.back().name);
}

void Config::cmd1_Click()
{
    const int removed = List1->currentRow();
    if (removed < 0 || removed >= int(library_.entries.size()))
        return;
    library_.entries.erase(library_.entries.begin() + removed);
    // The entry that followed becomes current, or the new last one.
    const int count = int(library_.entries.size());
    showList(removed >= count ? count - 1 : removed);
}

void Config::cmd4_Click()
{
    if (opticalConfigFileState(filePath()) != fileAsRead_) {
        form_.dialogs->MsgBox(changedElsewhereText(filePath()), MsgBoxStyle::OkOnly);
        readLibrary();
        return;
    }
    // Enter presses "Enregistrer" right after the failure box: the entries
    // not read must not go without a question whose Enter answer is No.
    if (readInPart_
        && form_.dialogs->MsgBox(partialSaveQuestion(filePath()), MsgBoxStyle::YesNoDefaultNo) != MsgBoxResult::Yes)
        return;
    try {
        writeOpticalConfigFile(filePath(), library_.entries);
    } catch (const Failure &failure) {
        form_.dialogs->MsgBox(saveFailureText(filePath(), failure), MsgBoxStyle::OkOnly);
        // Every entry is kept; the list shows them all so they can be saved again.
        showList(-1);
        return;
    }
    showList(List1->currentRow());
    accept();
}

void Config::cmd3_Click()
{
    // The texts as shown, saved or not; the main window fixes a decimal comma.
    // Two empty boxes (an empty library, nothing chosen) hold no coefficients:
    // they must not wipe out the ones the main window has.
    if (!txt_coor[1]->text().isEmpty() || !txt_coor[2]->text().isEmpty()) {
        form_.txt_corrasd->setText(txt_coor[1]->text());
        form_.txt_corrdec->setText(txt_coor[2]->text());
    }
    accept();
}
