#pragma once

class CADODatabase;

// A book file deleted (or moved away) while a window was open would swallow every row written
// on the old connection. Reopening makes the loss visible: Open reports the missing file, or
// finds the book put back in its place. Opens the usual book when `db` is not open.
void ReopenIfBookGone(CADODatabase& db);
