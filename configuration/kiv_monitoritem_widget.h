#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QEvent;
class QListWidgetItem;
class QTableWidgetItem;

namespace Ui {
class WgtMonitor;
}

// One row of the monitored-folder and camera lists, with a delete button
// (list mode), or the path cell of the version table, which shows its text
// shortened to the column and offers an add button while hovered (table mode).
class kiv_monitoritem_widget : public QWidget
{
    Q_OBJECT
public:
    explicit kiv_monitoritem_widget(QWidget* parent = nullptr);
    ~kiv_monitoritem_widget() override;

    // List mode: the whole text and the delete button.
    void SetItem(QString text, QListWidgetItem* item);
    // Table mode: the text shortened to `width` pixels.
    void SetCell(QString text, QTableWidgetItem* cell, int width);
    void SetFullText(QString text);

    void SetHoverEnabled(bool enabled);
    void SetLabelWidth(int width);
    // The text as shown, shortened in table mode.
    QString Text() const;
    QListWidgetItem* ListItem() const;
    QTableWidgetItem* TableItem() const;

signals:
    void sigAddPath();
    void sigDeletePath();

public slots:
    // Follows a header's sectionResized(section, oldWidth, newWidth); only
    // the path column (1) concerns this cell.
    void ResizeWidget(int section, int oldWidth, int newWidth);

protected slots:
    void AddPath();
    void DeletePath();

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString Shortened(const QString& text, int width) const;

    std::unique_ptr<Ui::WgtMonitor> ui;
    bool hoverEnabled = false;
    QListWidgetItem* listItem = nullptr;
    QTableWidgetItem* tableItem = nullptr;
    QString fullText;
    int maxWidth = 0;
};
