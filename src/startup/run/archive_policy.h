#pragma once
// Which archives a run opens, and in which order they are searched.

// Registers the patch archive (when the configuration names one), the
// language archive "gfx.ddl" (when a language folder is set) and the main
// archive "VORTHAN.DDL" of the data folder. Raises std::runtime_error naming
// the file that cannot be opened.
void open_archives();
