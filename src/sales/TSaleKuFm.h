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

    void XinZeng();    // "新增商品"
    void JinHuo();     // "商品进货"
    void BianJi();     // "编辑"
    void ShanChu();    // "删除"
    void Excel();      // "EXCEL"
    void DaYin();      // "打印"
    void ZhuanChuZu(); // "转入出租库"
    void TiaoMa();     // "打印条码"

private:
    void showItem(qint64 id);

    const LoginContext& m_login;
    WindowSlot<TSaleAddFm> m_add;
    WindowSlot<TPurchaseFm> m_purchase;
    WindowSlot<TSaleEditFm> m_edit;
};
