// Loading the image and panning it.

#include "main_window/form1.h"

#include "platform/failure.h"

#include "platform/dialogs.h"
#include "platform/program_folder.h"

#include <QApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void Form1::connectImageView()
{
    connect(Loadimg, &QPushButton::clicked, this, &Form1::Loadimg_Click);
    for (int i = 1; i <= 4; ++i) {
        connect(PicMove[i], &PanBar::pressed, this,
                [this, i](Qt::MouseButton b, Qt::KeyboardModifiers m, double x, double y) {
                    PicMove_MouseDown(i, b, m, float(x), float(y));
                });
        connect(PicMove[i], &PanBar::released, this,
                [this, i](Qt::MouseButton b, Qt::KeyboardModifiers m, double x, double y) {
                    PicMove_MouseUp(i, b, m, float(x), float(y));
                });
    }
    // Arrow keys pan wherever the focus is, also from a text field, so they are
    // watched before any widget sees them.
    arrowKeys = new ArrowKeyTracker(this);
    qApp->installEventFilter(arrowKeys);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

namespace {
// The reader's failure in the interface's own words.
QString imageReadFailure(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: return failureDescription(FailureCode::FileNotFound);
    case QImageReader::DeviceError: return failureDescription(FailureCode::PathFileAccessError);
    case QImageReader::UnsupportedFormatError:
    case QImageReader::InvalidDataError: return failureDescription(FailureCode::InvalidPicture);
    default: return reader.errorString();
    }
}
} // namespace

void Form1::Loadimg_Click()
{
    const QString typed = txt_url->text();
    QImageReader reader(resolveInProgramFolder(programFolder, typed));
    const QImage image = reader.read();
    if (image.isNull()) {
        // The old picture stays as it was, where it was.
        imageLoaded = false;
        dialogs->MsgBox(typed + QStringLiteral(": ") + imageReadFailure(reader), MsgBoxStyle::OkOnly);
        return;
    }
    Picture1->setPicture(image);
    imageLoaded = true;
    Picture1->move(0, 0);
}

void Form1::PicMove_MouseDown(int Index, Qt::MouseButton, Qt::KeyboardModifiers, float, float) { panDir = Index; }
void Form1::PicMove_MouseUp(int, Qt::MouseButton, Qt::KeyboardModifiers, float, float) { panDir = 0; }

void Form1::Timer1_Timer()
{
    PanInput input;
    input.mainWindowActive = QApplication::activeWindow() == this;
    input.leftButtonHeld = QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    if (arrowKeys)
        input.keys = arrowKeys->held();
    panTick(input);
}

void Form1::panTick(const PanInput &input)
{
    if (!input.mainWindowActive && !input.leftButtonHeld)
        return;
    const QPoint next = panStep(Picture1->pos(), Picture1->size(), PicOrange->size(), panDir, input.keys);
    if (next != Picture1->pos())
        Picture1->move(next);
}
