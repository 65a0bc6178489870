#pragma once

#include <QDialog>

#include <memory>

class QEvent;

namespace Ui {
class kiv_plugintutorial;
}

// A frameless dialog that plays the plugin tutorial animation
// "skin/tutorial.gif" from the current directory, else from the application
// folder; without either it says that the animation is missing.
class kiv_plugintutorial : public QDialog
{
    Q_OBJECT
public:
    explicit kiv_plugintutorial(QWidget* parent = nullptr);
    ~kiv_plugintutorial() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The animation to play: empty when there is none.
    static QString AnimationFile();

private:
    std::unique_ptr<Ui::kiv_plugintutorial> ui;
};
