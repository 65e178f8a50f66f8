#include "System/KeyNames.h"

namespace ZV {

const KeyNameTables& GetKeyNameTables()
{
    static const KeyNameTables tables;
    return tables;
}

}  // namespace ZV
