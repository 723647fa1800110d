#pragma once

#include "store/Db.h"

#include <QStringList>

// The small name lists the catalogue, purchase and member windows offer in
// their drop-downs: the 名称 of every row of the table, in the order read.
// The chosen or typed text is stored as plain text, not as a reference.
namespace ChoiceLists {

enum class List { GoodsTypes, Places, Media, Publishers, Suppliers, Units };

QString tableOf(List list); // 商品类型, 存放位置, 介质, 出版社, 供应商, 单位部门

Result<QStringList> names(const Db& db, List list);

} // namespace ChoiceLists
