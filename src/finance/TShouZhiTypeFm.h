#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QAction;
class QComboBox;
class QLineEdit;
class DataGrid;

// 收支类型: the item names the income and expense windows offer, listed
// by kind descending. Adding with an empty name does nothing.
class TShouZhiTypeFm : public QDialog {
    Q_OBJECT
public:
    explicit TShouZhiTypeFm(const LoginContext& login, QWidget* parent = nullptr);

    QAction* addTool() const { return m_add; }
    QAction* deleteTool() const { return m_delete; }
    QComboBox* kindBox() const { return m_kind; }
    QLineEdit* nameBox() const { return m_name; }
    DataGrid* grid() const { return m_grid; }

    // "添加" and "删除"; false when nothing changed.
    bool add();
    bool remove();

private:
    bool reload();

    const LoginContext& m_login;
    QAction* m_add;
    QAction* m_delete;
    QComboBox* m_kind;
    QLineEdit* m_name;
    DataGrid* m_grid;
};
