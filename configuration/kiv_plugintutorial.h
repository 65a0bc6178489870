#pragma once

#include <QDialog>

#include <memory>

class QEvent;

namespace Ui {
class kiv_plugintutorial;
}

// A frameless dialog that plays the plugin tutorial animation
// "./skin/tutorial.gif" (relative to the current directory). A missing or
// unreadable animation leaves the picture empty.
class kiv_plugintutorial : public QDialog
{
    Q_OBJECT
public:
    explicit kiv_plugintutorial(QWidget* parent = nullptr);
    ~kiv_plugintutorial() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::kiv_plugintutorial> ui;
};
