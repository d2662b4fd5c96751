#pragma once
// The one-line text entry that names saved games.
#include <cstddef>

enum text_entry_result : int { TEXT_ENTRY_CANCEL = 0, TEXT_ENTRY_OK = 1, TEXT_ENTRY_DELETE = 2 };

// Edits the NUL-terminated text in buffer (size bytes, so at most size - 1
// characters) and returns how the window was left; the buffer then holds the
// edited text. Enter is OK; Escape and a right click cancel. With offer_delete
// a third button asks to delete.
int text_entry(char* buffer, size_t size, bool offer_delete);
