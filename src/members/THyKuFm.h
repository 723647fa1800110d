#pragma once

#include "store/LoginContext.h"
#include "ui/ListWindow.h"
#include "ui/WindowSlot.h"

class THyAddFm;
class THyEditFm;

// 会员资料: the member list with search, add, modify, delete, export,
// printed list and card labels.
class THyKuFm : public ListWindow {
    Q_OBJECT
public:
    explicit THyKuFm(const LoginContext& login, QWidget* parent = nullptr);
    ~THyKuFm() override;

    void add();           // "添加"
    void modify();        // "修改"
    void remove();        // "删除"
    void exportToExcel(); // "EXCEL"
    void print();         // "打印"
    void printLabels();   // "打印条码"

private:
    const LoginContext& m_login;
    WindowSlot<THyAddFm> m_add;
    WindowSlot<THyEditFm> m_edit;
};
