#pragma once

#include "store/LoginContext.h"
#include "ui/ListWindow.h"
#include "ui/WindowSlot.h"

class TPurchaseFm;
class TSaleAddFm;
class TSaleEditFm;

// 销售库: the sale catalogue with its stock: search, add with the first
// purchase, purchase, edit with stock correction, delete, copy into the
// rent catalogue, export, printed list and labels.
class TSaleKuFm : public ListWindow {
    Q_OBJECT
public:
    explicit TSaleKuFm(const LoginContext& login, QWidget* parent = nullptr);
    ~TSaleKuFm() override;

    void addNew();      // "新增商品"
    void purchase();    // "商品进货"
    void edit();        // "编辑"
    void remove();      // "删除"
    void exportExcel(); // "EXCEL"
    void print();       // "打印"
    void copyToRent();  // "转入出租库"
    void printLabels(); // "打印条码"

private:
    void showItem(qint64 id);

    const LoginContext& m_login;
    WindowSlot<TSaleAddFm> m_add;
    WindowSlot<TPurchaseFm> m_purchase;
    WindowSlot<TSaleEditFm> m_edit;
};
