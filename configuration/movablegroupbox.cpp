#include "movablegroupbox.h"

#include <QMouseEvent>

MovableGroupBox::MovableGroupBox(QWidget* parent)
    : QGroupBox(parent)
{
}

MovableGroupBox::~MovableGroupBox() = default;

void MovableGroupBox::setMoveTarget(QWidget* target)
{
    m_target = target;
}

void MovableGroupBox::mousePressEvent(QMouseEvent* event)
{
    if (m_target)
        m_pressOffset = event->globalPos() - m_target->pos();
    event->accept();
}

void MovableGroupBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void MovableGroupBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void MovableGroupBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_target)
        m_target->move(event->globalPos() - m_pressOffset);
    event->accept();
}
