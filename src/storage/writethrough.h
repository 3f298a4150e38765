#pragma once
// Test seam under every write to the program's files: while a test has set it, the bytes
// of each whole-file save (safesave) and of each record write (RecordFile) go through the
// device it makes around the real file, such as one that gives out part way as a failing
// disk would. A write that device does not take whole fails exactly as a refused write to
// the file does. Unset, as in the program, the bytes go straight to the file.

#include <QIODevice>

#include <functional>
#include <memory>

namespace WriteThrough {

// Called once per save or record write with the file's own device; what it returns
// receives the bytes and passes on what it accepts.
using Wrap = std::function<std::unique_ptr<QIODevice>(QIODevice &file)>;

void setOverride(Wrap wrap); // empty: straight to the file again
const Wrap &current();

} // namespace WriteThrough
