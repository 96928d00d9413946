#include "platform/widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QSizePolicy>
#include <QStyle>
#include <QStyleOptionFrame>

QLabel *newPlainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void fitWidthTo(QLineEdit *box, const QString &sample)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    const QMargins margins = box->textMargins();
    // A line edit keeps 2 pixels free on each side of its text, and one for the cursor.
    const int text = box->fontMetrics().horizontalAdvance(sample) + 2 * 2 + 1 + margins.left() + margins.right();
    const QSize size = box->style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                                      QSize(text, box->sizeHint().height()), box);
    box->setFixedWidth(size.width());
}

void keepRoomWhenHidden(QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}
