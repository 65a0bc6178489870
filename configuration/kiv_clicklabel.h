#pragma once

#include <QLabel>
#include <QPoint>

class QMouseEvent;

// A label that reports a click: a left-button release at exactly the pixel
// where the left button went down.
class kiv_clicklabel : public QLabel
{
    Q_OBJECT
public:
    explicit kiv_clicklabel(QWidget* parent = nullptr);
    ~kiv_clicklabel() override;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint m_pressPos;
};
