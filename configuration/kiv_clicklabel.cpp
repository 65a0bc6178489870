#include "kiv_clicklabel.h"

#include <QMouseEvent>

kiv_clicklabel::kiv_clicklabel(QWidget* parent)
    : QLabel(parent)
{
}

kiv_clicklabel::~kiv_clicklabel() = default;

void kiv_clicklabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_pressPos = event->pos();
}

void kiv_clicklabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && event->pos() == m_pressPos)
        emit clicked();
}
