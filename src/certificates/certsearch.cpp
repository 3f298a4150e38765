#include "certsearch.h"

namespace certificates {

const documents::Lists &documentLists()
{
    static const documents::Lists lists(records::certificate());
    return lists;
}

} // namespace certificates
