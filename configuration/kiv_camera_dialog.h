#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QEvent;

namespace Ui {
class Class;
}

// Asks for the name of a new camera; the panel adds a row for it.
class kiv_camera_dialog : public QDialog
{
    Q_OBJECT
public:
    explicit kiv_camera_dialog(QWidget* parent);
    ~kiv_camera_dialog() override;

signals:
    void SigAddCamera(QString name);

protected slots:
    // Closes the dialog and hands on the name exactly as typed.
    void AddCamera();

protected:
    void changeEvent(QEvent* event) override;

private:
    void RetranslateUi();

    std::unique_ptr<Ui::Class> ui;
};
