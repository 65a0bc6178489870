#include "kiv_list_widget.h"

#include <QDropEvent>

kiv_list_widget::kiv_list_widget(QWidget* parent)
    : QListWidget(parent)
{
    setAcceptDrops(true);
}

kiv_list_widget::~kiv_list_widget() = default;

void kiv_list_widget::dropEvent(QDropEvent* event)
{
    QListWidget::dropEvent(event);
    // The rows have moved by now; listeners read the new order.
    emit stateChanged();
}
