#pragma once
// What the program's modal dialogs share: a fixed-size window with a title
// and a close box only (no minimise, maximise or help button), centred on
// the main window, and no cancel button, so Esc does nothing. The close box
// is the one way out that runs none of the dialog's buttons.

#include <QDialog>
#include <QKeyEvent>
#include <QString>

struct CaptionTargets;
struct LanguageTables;

// A dialog's captions from the language file, taken at each opening (none
// without tables). A block without a usable caption leaves the design ones.
void applyDialogCaptions(const QString &key, LanguageTables *tables, const CaptionTargets &targets);

class FixedDialog : public QDialog {
public:
    explicit FixedDialog(QWidget *parent)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    {
        setModal(true);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }
};
