#pragma once
// The widgets of the image side of the main window: the image box that holds
// the sky image and paints the marks over it, the magnifier that lies inside
// it, and the pink pan bars round the viewport.

#include "astrometry/mark.h"

#include <QImage>
#include <QWidget>
#include <vector>

// A picture box's pointer events: every move, and a click (a press and a
// release over the same box), with positions in the box's own pixels.
class PointerSurface : public QWidget {
    Q_OBJECT
public:
    explicit PointerSurface(QWidget *parent = nullptr);

signals:
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressedInside_ = false;
};

// The image box: shows the picture at 1:1, so its own coordinates are image
// pixels; its position inside the viewport is the scroll position.
class ImageBox : public PointerSurface {
    Q_OBJECT
public:
    explicit ImageBox(QWidget *parent = nullptr);

    // Replaces the picture and takes its size.
    void setPicture(const QImage &image);
    const QImage &picture() const { return picture_; }
    bool hasPicture() const { return !picture_.isNull(); }

    // Colour of the pixel at (x, y) as red + 256 green + 65536 blue; -1 outside.
    int Point(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= picture_.width() || y >= picture_.height())
            return -1;
        const QRgb c = reinterpret_cast<const QRgb *>(picture_.constScanLine(y))[x];
        return qRed(c) + 256 * qGreen(c) + 65536 * qBlue(c);
    }

    // The marks painted over the picture, in this order.
    void setMarks(const std::vector<Mark> *stars, const std::vector<Mark> *picks, const Mark *centre);
    // Repaints the place of one mark (call before and after moving it).
    void updateMark(const Mark &mark);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture_;
    const std::vector<Mark> *stars_ = nullptr;
    const std::vector<Mark> *picks_ = nullptr;
    const Mark *centre_ = nullptr;
};

// The magnifier: a 102 x 102 picture box lying inside the image box, on which
// dots of DrawWidth pixels are plotted, with a yellow cross-hair over them.
class Magnifier : public PointerSurface {
    Q_OBJECT
public:
    static constexpr int kSize = 102;
    explicit Magnifier(QWidget *parent = nullptr);

    int DrawWidth = 1;
    // A dot of DrawWidth pixels centred on (x, y); a colour of -1 (outside the
    // picture) is drawn black.
    void PSet(int x, int y, int colour);
    // Shows what was plotted, with the cross-hair over it.
    void Refresh() { update(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage canvas_;
};

// A pan bar: reports the press and the release of any mouse button.
class PanBar : public QWidget {
    Q_OBJECT
public:
    explicit PanBar(QWidget *parent = nullptr);

signals:
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void released(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
