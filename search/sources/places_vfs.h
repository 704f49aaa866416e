// SPDX-License-Identifier: MIT
#pragma once

// An SQLite file system for reading a database that another program keeps open
// and may be changing: the database is read where it lies, read-only, and
// never locked; nothing is written, made or deleted beside it. Its write-ahead
// log is read where it lies too; a connection must take the exclusive locking
// mode before its first read, so that SQLite keeps the log's index in its own
// memory instead of a shared-memory file beside the database.
namespace zaptrove {

// The file system's name for sqlite3_open_v2; it is registered on first use.
const char* fnReadInPlaceVfs();

} // namespace zaptrove
