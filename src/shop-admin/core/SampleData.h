#pragma once

#include "store/Db.h"

// A small believable shop for trying the program: member types, members,
// goods types, copies for rent, sale items in stock, reference lists and a
// few records of each kind. Refused on a database that already has members,
// copies or sale items.
namespace SampleData {
Status fill(const Db& db);
}
