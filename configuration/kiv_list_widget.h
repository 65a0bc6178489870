#pragma once

#include <QListWidget>

class QDropEvent;

// A list whose entries the user reorders by drag and drop; it announces
// every drop so that its owner can follow the new order.
class kiv_list_widget : public QListWidget
{
    Q_OBJECT
public:
    explicit kiv_list_widget(QWidget* parent = nullptr);
    ~kiv_list_widget() override;

signals:
    void stateChanged();

protected:
    void dropEvent(QDropEvent* event) override;
};
