#include "reportsearch.h"

namespace reports {

const documents::Lists &documentLists()
{
    static const documents::Lists lists(records::report());
    return lists;
}

} // namespace reports
