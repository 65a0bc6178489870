#pragma once

#include <QGroupBox>
#include <QPoint>

// A title bar that drags its target window with the mouse.
class MovableGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit MovableGroupBox(QWidget* parent = nullptr);
    ~MovableGroupBox() override;

    void setMoveTarget(QWidget* target);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* m_target = nullptr;
    QPoint m_pressOffset;
};
