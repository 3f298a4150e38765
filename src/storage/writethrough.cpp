#include "writethrough.h"

namespace WriteThrough {

namespace {
Wrap g_wrap;
} // namespace

void setOverride(Wrap wrap)
{
    g_wrap = std::move(wrap);
}

const Wrap &current()
{
    return g_wrap;
}

} // namespace WriteThrough
