#pragma once

// The standard headers first: glib, which libmdb includes inside extern "C", takes
// <type_traits> along when it has not been included yet.
#include <string>

#include <mdbtools.h>

// libmdb reads a page at the very end of a cut-short file as a short read it does not
// check, and goes on with the bytes of the page before (a garbage table name, or a loop
// that never ends). The stream below notices every read past the end.
struct PageReads {
    bool pastTheEnd = false;
};

// Replaces the stream libmdb reads the file at `path` through (opened by mdb_open) with
// one that sets `reads.pastTheEnd` and says so on stderr, as libmdb does for a page
// further out ("offset ... is beyond EOF"). `reads` must outlive the handle. False when
// the file cannot be opened again; the handle keeps its own stream then.
bool WatchPageReads(MdbHandle* mdb, const std::string& path, PageReads& reads);
