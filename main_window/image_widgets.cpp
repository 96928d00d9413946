#include "main_window/image_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

namespace {
// The pink of the pan bars and of the field-centre mark.
const QColor kPink(255, 128, 255);
} // namespace

PointerSurface::PointerSurface(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

void PointerSurface::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    emit mouseMoved(event->buttons(), event->modifiers(), p.x(), p.y());
}

void PointerSurface::mousePressEvent(QMouseEvent *event)
{
    pressedInside_ = true;
    event->accept();
}

void PointerSurface::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressedInside_ && rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (click)
        emit clicked();
}

ImageBox::ImageBox(QWidget *parent)
    : PointerSurface(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void ImageBox::setPicture(const QImage &image)
{
    picture_ = image.convertToFormat(QImage::Format_RGB32);
    resize(picture_.size());
    update();
}

void ImageBox::setMarks(const std::vector<Mark> *stars, const std::vector<Mark> *picks, const Mark *centre)
{
    stars_ = stars;
    picks_ = picks;
    centre_ = centre;
}

void ImageBox::updateMark(const Mark &mark)
{
    // The outline is drawn with a 1-pixel pen on the mark's edge; one pixel of
    // margin covers its rounding.
    update(QRectF(mark.Left - 1, mark.Top - 1, mark.Height + 2, mark.Height + 2).toAlignedRect());
}

void ImageBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    // The box has the picture's size, so the black only shows without one.
    if (picture_.isNull() || !picture_.rect().contains(area))
        painter.fillRect(area, Qt::black);
    if (!picture_.isNull())
        painter.drawImage(area.topLeft(), picture_, area);

    auto drawMarks = [&](const std::vector<Mark> *marks, const QColor &colour, bool skipFirst) {
        if (!marks)
            return;
        painter.setPen(QPen(colour, 1));
        painter.setBrush(Qt::NoBrush);
        for (size_t i = skipFirst ? 1 : 0; i < marks->size(); ++i) {
            const Mark &m = (*marks)[i];
            if (!m.Visible)
                continue;
            const QRectF r(m.Left, m.Top, m.Height - 1, m.Height - 1);
            if (!r.intersects(area))
                continue;
            painter.drawRect(r);
        }
    };
    drawMarks(stars_, QColor(0, 255, 0), false);
    drawMarks(picks_, QColor(255, 0, 0), false);
    if (centre_ && centre_->Visible) {
        painter.setPen(QPen(kPink, 1));
        const QRectF r(centre_->Left, centre_->Top, centre_->Height - 1, centre_->Height - 1);
        painter.drawEllipse(r);
        painter.drawLine(r.center() - QPointF(4, 0), r.center() + QPointF(4, 0));
        painter.drawLine(r.center() - QPointF(0, 4), r.center() + QPointF(0, 4));
    }
}

Magnifier::Magnifier(QWidget *parent)
    : PointerSurface(parent), canvas_(kSize, kSize, QImage::Format_RGB32)
{
    canvas_.fill(Qt::black);
    resize(kSize, kSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Magnifier::PSet(int x, int y, int colour)
{
    const QRgb rgb = colour < 0 ? qRgb(0, 0, 0)
                                : qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
    // A dot of DrawWidth pixels centred on the point.
    const int half = DrawWidth / 2;
    const int x0 = std::max(0, x - half), x1 = std::min(kSize - 1, x - half + DrawWidth - 1);
    const int y0 = std::max(0, y - half), y1 = std::min(kSize - 1, y - half + DrawWidth - 1);
    for (int yy = y0; yy <= y1; ++yy) {
        QRgb *line = reinterpret_cast<QRgb *>(canvas_.scanLine(yy));
        for (int xx = x0; xx <= x1; ++xx)
            line[xx] = rgb;
    }
}

void Magnifier::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
    // Line1 (horizontal) and Line2 (vertical) cross at (50, 50), arms 20 to 84.
    painter.setPen(QPen(QColor(255, 255, 0), 1));
    painter.drawLine(20, 50, 84, 50);
    painter.drawLine(50, 20, 50, 84);
}

PanBar::PanBar(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kPink);
    setPalette(p);
}

void PanBar::mousePressEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    emit pressed(event->button(), event->modifiers(), p.x(), p.y());
}

void PanBar::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    emit released(event->button(), event->modifiers(), p.x(), p.y());
}
