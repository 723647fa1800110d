#pragma once

#include "store/LoginContext.h"
#include "ui/ListWindow.h"
#include "ui/WindowSlot.h"

class TRentAddFm;
class TRentEditFm;
class TRentEditPicFm;

// 出租库: the copies for rent, with search, add, edit, delete, copy into
// the sale catalogue, export, printed list, labels and the picture.
class TRentKuFm : public ListWindow {
    Q_OBJECT
public:
    explicit TRentKuFm(const LoginContext& login, QWidget* parent = nullptr);
    ~TRentKuFm() override;

    void XinZeng();       // "新增商品"
    void BianJi();        // "编辑"
    void ShanChu();       // "删除"
    void Excel();         // "EXCEL"
    void DaYin();         // "打印"
    void ZhuanXiaoShou(); // "转入销售库"
    void TiaoMa();        // "打印条码"
    void XianShiTuPian(); // "显示图片"

private:
    const LoginContext& m_login;
    WindowSlot<TRentAddFm> m_add;
    WindowSlot<TRentEditFm> m_edit;
    WindowSlot<TRentEditPicFm> m_viewer;
};
