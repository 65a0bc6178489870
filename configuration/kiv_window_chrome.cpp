#include "kiv_window_chrome.h"

#include <QDialog>
#include <QGraphicsDropShadowEffect>

namespace kiv_window_chrome {

void applyFrameShadow(QDialog* dialog, QWidget* frame)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog->setAttribute(Qt::WA_TranslucentBackground);
    auto* shadow = new QGraphicsDropShadowEffect(dialog);
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::black);
    shadow->setBlurRadius(12);
    frame->setGraphicsEffect(shadow);
}

} // namespace kiv_window_chrome
