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

    void addNew();      // "新增商品"
    void edit();        // "编辑"
    void remove();      // "删除"
    void exportExcel(); // "EXCEL"
    void print();       // "打印"
    void copyToSale();  // "转入销售库"
    void printLabels(); // "打印条码"
    void showPicture(); // "显示图片"

private:
    const LoginContext& m_login;
    WindowSlot<TRentAddFm> m_add;
    WindowSlot<TRentEditFm> m_edit;
    WindowSlot<TRentEditPicFm> m_viewer;
};
