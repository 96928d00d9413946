// Loading the image and panning it.

#include "main_window/form1.h"

#include "platform/failure.h"

#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

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
// The most a loaded picture may take once decoded. The image box holds it at
// 32 bits a pixel, so this takes a CCD frame of some 260 megapixels, and a
// forged header of gigapixels is refused before anything is decoded. The
// failure table's text for ImageTooLarge names this limit.
constexpr int kImageLimitMegabytes = 1024;

// Whether the picture the reader's header announces would pass the limit, at
// the depth the image box keeps or the reader's own when deeper.
bool beyondImageLimit(QImageReader &reader)
{
    const QSize size = reader.size();
    if (!size.isValid())
        return false; // no header read: the reader itself says why
    int bitsPerPixel = 32;
    const QImage::Format format = reader.imageFormat();
    if (format != QImage::Format_Invalid)
        bitsPerPixel = std::max(bitsPerPixel, int(QImage::toPixelFormat(format).bitsPerPixel()));
    const qint64 bytes = qint64(size.width()) * qint64(size.height()) * (bitsPerPixel / 8);
    return bytes > qint64(kImageLimitMegabytes) * 1024 * 1024;
}

// The reader's failure in the interface's own words.
QString imageReadFailure(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: return failureDescription(FailureCode::FileNotFound);
    case QImageReader::DeviceError: return failureDescription(FailureCode::PathFileAccessError);
    case QImageReader::UnsupportedFormatError:
    case QImageReader::InvalidDataError: return failureDescription(FailureCode::InvalidPicture);
    // Qt's own texts are English: whatever else went wrong reads as a picture
    // that could not be loaded.
    default: return failureDescription(FailureCode::InvalidPicture);
    }
}
} // namespace

void Form1::Loadimg_Click()
{
    const QString typed = txt_url->text();
    // Qt's own limit (128 MB) would refuse big CCD frames; ours is checked
    // first, so Qt's only backs it up.
    QImageReader::setAllocationLimit(kImageLimitMegabytes);
    const QString path = resolveInProgramFolder(programFolder, typed);
    QImage image;
    QString why;
    try {
        // Opened as every file is read: a named pipe or a device under the
        // path is refused at once, as a missing file, instead of blocking.
        QFile file;
        openFileForReading(file, path);
        QImageReader reader(&file);
        if (beyondImageLimit(reader))
            why = failureDescription(FailureCode::ImageTooLarge);
        else if (image = reader.read(); image.isNull())
            why = imageReadFailure(reader);
    } catch (const Failure &failure) {
        why = failure.description();
    }
    if (image.isNull()) {
        // The old picture stays as it was, where it was.
        imageLoaded = false;
        dialogs->MsgBox(typed + QStringLiteral(": ") + why, MsgBoxStyle::OkOnly);
        return;
    }
    Picture1->setPicture(image);
    imageLoaded = true;
    Picture1->move(0, 0);

    // Reloading the same picture, under whatever name, keeps its plate. A
    // plate or markers of another picture would read out false positions:
    // they are dropped until a solve is accepted on this one.
    shownImage = QFileInfo(path).canonicalFilePath();
    if (plateImage && *plateImage != shownImage) {
        plateImage.reset();
        solutionValid = false;
    }
    if (markersImage && *markersImage != shownImage)
        markersImage.reset();
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
