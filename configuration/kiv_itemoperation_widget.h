#pragma once

#include <QWidget>

#include <memory>

class QEvent;
class QPushButton;
class QTableWidgetItem;

namespace Ui {
class kiv_itemoperation_widget;
}

// The "Operation" cell of a project row: "Editor" and "Set Current" (the
// delete button and its separator are kept but hidden). The cell only
// reports clicks; the panel decides what they mean.
class kiv_itemoperation_widget : public QWidget
{
    Q_OBJECT
public:
    explicit kiv_itemoperation_widget(QWidget* parent = nullptr);
    ~kiv_itemoperation_widget() override;

    // The row's "Operation" item, which carries the project id. Not owned.
    void SetRowItem(QTableWidgetItem* item);
    QTableWidgetItem* RowItem() const;

    QPushButton* SetCurrentButton() const;

signals:
    void SigSetCurrentItem(QPushButton* button);
    void SigDeleteItem();
    void SigEditItem();

public slots:
    void DeletItem();
    void EditItem();
    void SetCurrentItem();

protected:
    void changeEvent(QEvent* event) override;

private:
    void ApplyTexts();

    std::unique_ptr<Ui::kiv_itemoperation_widget> ui;
    QTableWidgetItem* m_rowItem = nullptr;
};
