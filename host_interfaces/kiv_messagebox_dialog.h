#pragma once

#include "kiv_host_global.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The client's modal message box. The buttons are addressed as "ok" and
// "cancel"; exec() answers 1 for "ok" and 0 for "cancel" or closing.
class KIV_HOST_EXPORT kiv_messagebox_dialog : public QDialog
{
    Q_OBJECT
public:
    explicit kiv_messagebox_dialog(QWidget* parent = nullptr);
    kiv_messagebox_dialog(bool flag, QWidget* parent = nullptr);
    ~kiv_messagebox_dialog() override;

    void setText(const QString& text);
    QString text() const;
    void setButtonText(const QString& id, const QString& text);
    void setButtonVisible(const QString& id, bool visible);

    int exec() override;

private:
    QPushButton* button(const QString& id) const;

    QLabel* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_flag = false;
};
